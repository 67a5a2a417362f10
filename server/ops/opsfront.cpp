#include "server/ops/opsfront.h"

#include "server/http/httpfront.h"
#include "server/ops/servermetrics.h"

#include <QHttpServerRequest>

HealthReply HealthOf(const std::function<bool()> &databaseAnswers) {
    bool up = false;
    try {
        up = databaseAnswers();
    } catch (const std::exception &) {
        up = false;
    }
    return up ? HealthReply{200, "ok\n"} : HealthReply{503, "database unavailable\n"};
}

OpsFront::OpsFront(HealthCheck health, QObject *parent)
    : QAbstractHttpServer(parent), m_health(std::move(health)) {}

bool OpsFront::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    const QString path = request.url().path();
    const bool headOnly = request.method() == QHttpServerRequest::Method::Head;
    const bool read = headOnly || request.method() == QHttpServerRequest::Method::Get;
    ActionReply reply{404, "Not Found", false, "text/plain"};
    if (read && path == QLatin1String("/metrics")) {
        reply = {200, ServerMetrics::instance().text(), false,
                 "text/plain; version=0.0.4; charset=utf-8"};
    } else if (read && path == QLatin1String("/health")) {
        const HealthReply health = HealthOf(m_health);
        reply = {health.status, health.body, false, "text/plain"};
    }
    WriteReply(socket, reply, headOnly, true);
    return true;
}

void OpsFront::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) {
    WriteReply(socket, {404, "Not Found", false, "text/plain"},
               request.method() == QHttpServerRequest::Method::Head, true);
}
