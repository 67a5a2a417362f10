#pragma once

#include <QDateTime>
#include <atomic>

// The server's notion of "now": the system clock moved by an offset that tests may set.
class ServerClock {
public:
    QDateTime now() const;
    // Moves the clock by the given number of seconds (may be negative); thread-safe.
    void advance(qint64 seconds);

private:
    std::atomic<qint64> m_offsetMs{0};
};
