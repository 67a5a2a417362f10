#pragma once

#include <QList>
#include <array>
#include <atomic>

// Durations counted into fixed buckets (seconds), with their count and sum, from any thread
// without a lock.
class Histogram {
public:
    static constexpr std::array<double, 12> Bounds{0.001, 0.0025, 0.005, 0.01, 0.025, 0.05,
                                                   0.1,   0.25,   0.5,   1,    2.5,   10};

    void observe(double seconds);
    // The counts of observations at most each bound (cumulative), and of all of them.
    QList<quint64> cumulative() const;
    quint64 count() const { return m_count.load(std::memory_order_relaxed); }
    double sum() const { return m_sumNs.load(std::memory_order_relaxed) / 1e9; }

private:
    std::array<std::atomic<quint64>, Bounds.size()> m_buckets{};
    std::atomic<quint64> m_count{0};
    std::atomic<quint64> m_sumNs{0};
};
