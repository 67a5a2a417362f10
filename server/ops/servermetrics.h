#pragma once

#include "server/ops/histogram.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <atomic>
#include <memory>

// The server's figures for monitoring, counted from every thread of the process: requests by
// action, status and result with their durations, refusals, sign-ins, the relay's connections,
// sign-ons and lines, and the time of database statements. One registry per process.
class ServerMetrics {
public:
    static ServerMetrics &instance();

    // One answered request: what it asked for (the action, or "path=..."), its HTTP status,
    // whether the body was a refusal ("error..."), and the time from arrival to reply.
    void countRequest(QByteArrayView what, int status, bool refused, double seconds);
    // A request refused before any action ran (its head, body size, framing or form).
    void countEarlyRefusal();
    void countSignIn(bool accepted);
    void countRelaySignOn(bool accepted);
    void relayConnectionOpened() { m_relayOpen.fetch_add(1, std::memory_order_relaxed); }
    void relayConnectionClosed() { m_relayOpen.fetch_sub(1, std::memory_order_relaxed); }
    void countRelayLine() { m_relayLines.fetch_add(1, std::memory_order_relaxed); }
    void countDatabaseStatement(double seconds) { m_database.observe(seconds); }

    // Everything in the text format monitoring systems scrape.
    QByteArray text() const;

    // The action label of a request: a known action's name; "other" for any other action and
    // "path" for a request that names none, so that no client can add labels of its own.
    static QByteArray ActionLabel(QByteArrayView what);

private:
    struct RequestKey {
        QByteArray action;
        int status;
        bool refused;
        bool operator==(const RequestKey &o) const {
            return action == o.action && status == o.status && refused == o.refused;
        }
    };
    friend size_t qHash(const RequestKey &key, size_t seed) {
        return qHashMulti(seed, key.action, key.status, key.refused);
    }

    mutable QMutex m_lock;
    QHash<RequestKey, quint64> m_requests;
    QHash<QByteArray, std::shared_ptr<Histogram>> m_durations; // by action
    std::atomic<quint64> m_earlyRefusals{0};
    std::atomic<quint64> m_signIns[2]{};     // refused, accepted
    std::atomic<quint64> m_relaySignOns[2]{}; // refused, accepted
    std::atomic<qint64> m_relayOpen{0};
    std::atomic<quint64> m_relayLines{0};
    Histogram m_database;
};
