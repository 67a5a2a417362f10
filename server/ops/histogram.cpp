#include "server/ops/histogram.h"

#include <algorithm>

void Histogram::observe(double seconds) {
    seconds = std::max(seconds, 0.0);
    const auto bound = std::lower_bound(Bounds.begin(), Bounds.end(), seconds);
    if (bound != Bounds.end())
        m_buckets[size_t(bound - Bounds.begin())].fetch_add(1, std::memory_order_relaxed);
    m_sumNs.fetch_add(quint64(seconds * 1e9), std::memory_order_relaxed);
    m_count.fetch_add(1, std::memory_order_relaxed);
}

QList<quint64> Histogram::cumulative() const {
    QList<quint64> counts;
    quint64 running = 0;
    for (const auto &bucket : m_buckets) {
        running += bucket.load(std::memory_order_relaxed);
        counts.append(running);
    }
    return counts;
}
