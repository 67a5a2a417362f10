#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <utility>
#include <functional>

// Thins the pointer lines of a lesson: a line goes out at once when the last one left at least
// the interval ago; otherwise it waits, replaced by any newer one, until the interval is over.
// So the partner sees the latest position with at most one interval's delay, and no more than
// 1000 / interval lines leave in a second, however fast the mouse moves.
class TPointerThrottle : public QObject {
    Q_OBJECT
public:
    // 34 ms: at most 29 pointer lines a second.
    static constexpr int DefaultInterval = 34;

    explicit TPointerThrottle(std::function<void(const QByteArray &)> send,
                              int intervalMs = DefaultInterval, QObject *parent = nullptr);

    // The newest pointer line: sent now or when the interval allows.
    void post(const QByteArray &line);
    // Forgets a line that waits (the page changed or the lesson ended).
    void drop();
    bool waiting() const { return m_timer.isActive(); }
    qint64 sentCount() const { return m_sent; }

private:
    void sendPending();

    std::function<void(const QByteArray &)> m_send;
    int m_interval;
    QElapsedTimer m_last;
    QTimer m_timer;
    QByteArray m_pending;
    qint64 m_sent = 0;
};
