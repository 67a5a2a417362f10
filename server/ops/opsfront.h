#pragma once

#include <QAbstractHttpServer>
#include <functional>

// The operators' own address: GET /metrics gives the server's figures in the text format
// monitoring systems scrape, GET /health answers 200 "ok" while the database answers and 503
// otherwise; anything else is 404. It runs on the thread that made it.
class OpsFront : public QAbstractHttpServer {
    Q_OBJECT
public:
    using HealthCheck = std::function<bool()>;
    explicit OpsFront(HealthCheck health, QObject *parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    HealthCheck m_health;
};

// The health answer of the server: status and body.
struct HealthReply {
    int status;
    QByteArray body;
};
HealthReply HealthOf(const std::function<bool()> &databaseAnswers);
