#include "server/ops/servermetrics.h"

#include "server/ops/metricstext.h"
#include "wire/actionnames.h"

#include <QSet>
#include <algorithm>

ServerMetrics &ServerMetrics::instance() {
    static ServerMetrics metrics;
    return metrics;
}

QByteArray ServerMetrics::ActionLabel(QByteArrayView what) {
    static const QSet<QByteArray> known{
        ActionNames::Login,          ActionNames::Logout,      ActionNames::GetRecords,
        ActionNames::ApplyUpdates,   ActionNames::NewOrder,    ActionNames::SendEmailOrder,
        ActionNames::SetTimetableStatus, ActionNames::ChangePass, ActionNames::PostTestResult,
        ActionNames::GetBookFile,    ActionNames::GetChatFile, ActionNames::PostChatFile,
        ActionNames::RelayToken};
    if (!what.startsWith("action="))
        return "path";
    const QByteArray action = what.sliced(7).toByteArray();
    return known.contains(action) ? action : QByteArray("other");
}

void ServerMetrics::countRequest(QByteArrayView what, int status, bool refused, double seconds) {
    const QByteArray action = ActionLabel(what);
    std::shared_ptr<Histogram> durations;
    {
        QMutexLocker locker(&m_lock);
        ++m_requests[RequestKey{action, status, refused}];
        std::shared_ptr<Histogram> &slot = m_durations[action];
        if (!slot)
            slot = std::make_shared<Histogram>();
        durations = slot;
    }
    durations->observe(seconds);
}

void ServerMetrics::countEarlyRefusal() {
    m_earlyRefusals.fetch_add(1, std::memory_order_relaxed);
}

void ServerMetrics::countSignIn(bool accepted) {
    m_signIns[accepted ? 1 : 0].fetch_add(1, std::memory_order_relaxed);
}

void ServerMetrics::countRelaySignOn(bool accepted) {
    m_relaySignOns[accepted ? 1 : 0].fetch_add(1, std::memory_order_relaxed);
}

QByteArray ServerMetrics::text() const {
    QList<std::pair<RequestKey, quint64>> requests;
    QList<std::pair<QByteArray, std::shared_ptr<Histogram>>> durations;
    {
        QMutexLocker locker(&m_lock);
        for (auto it = m_requests.cbegin(); it != m_requests.cend(); ++it)
            requests.append({it.key(), it.value()});
        for (auto it = m_durations.cbegin(); it != m_durations.cend(); ++it)
            durations.append({it.key(), it.value()});
    }
    std::sort(requests.begin(), requests.end(), [](const auto &a, const auto &b) {
        return std::tie(a.first.action, a.first.status, a.first.refused) <
               std::tie(b.first.action, b.first.status, b.first.refused);
    });
    std::sort(durations.begin(), durations.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    MetricsText out;
    out.family("tellavo_requests_total", "counter",
               "Requests answered, by action, HTTP status and result (ok or refused).");
    for (const auto &[key, count] : requests)
        out.sample("tellavo_requests_total",
                   {{"action", key.action},
                    {"status", QByteArray::number(key.status)},
                    {"result", key.refused ? "refused" : "ok"}},
                   double(count));
    out.family("tellavo_request_duration_seconds", "histogram",
               "Time from a request's arrival to its reply, by action.");
    for (const auto &[action, histogram] : durations)
        out.histogram("tellavo_request_duration_seconds", {{"action", action}}, *histogram);
    out.family("tellavo_early_refusals_total", "counter",
               "Requests refused before any action ran (head, body size, framing, form).");
    out.sample("tellavo_early_refusals_total", {}, double(m_earlyRefusals.load()));
    out.family("tellavo_signins_total", "counter", "Sign-ins, by result.");
    out.sample("tellavo_signins_total", {{"result", "accepted"}}, double(m_signIns[1].load()));
    out.sample("tellavo_signins_total", {{"result", "refused"}}, double(m_signIns[0].load()));
    out.family("tellavo_relay_connections", "gauge", "Connections open at the lesson relay.");
    out.sample("tellavo_relay_connections", {}, double(m_relayOpen.load()));
    out.family("tellavo_relay_signons_total", "counter", "Relay sign-ons, by result.");
    out.sample("tellavo_relay_signons_total", {{"result", "accepted"}},
               double(m_relaySignOns[1].load()));
    out.sample("tellavo_relay_signons_total", {{"result", "refused"}},
               double(m_relaySignOns[0].load()));
    out.family("tellavo_relay_lines_total", "counter", "Lines the relay received from clients.");
    out.sample("tellavo_relay_lines_total", {}, double(m_relayLines.load()));
    out.family("tellavo_database_statement_seconds", "histogram",
               "Time of the server's database statements.");
    out.histogram("tellavo_database_statement_seconds", {}, m_database);
    return out.text();
}
