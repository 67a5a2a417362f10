#pragma once

#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpServer>

// Refuses a request whose declared body is larger than the limit (413) or that announces a
// chunked body (411) before the HTTP layer reads it, caps the socket's read buffer, and
// closes a connection that stays silent for two minutes.
void AttachRequestGuard(QTcpSocket *socket, qint64 maxRequestBytes);

// A clear HTTP listener whose connections carry the request guard.
class GuardedTcpServer : public QTcpServer {
    Q_OBJECT
public:
    GuardedTcpServer(qint64 maxRequestBytes, QObject *parent = nullptr)
        : QTcpServer(parent), m_maxRequestBytes(maxRequestBytes) {}

protected:
    void incomingConnection(qintptr handle) override;

private:
    qint64 m_maxRequestBytes;
};

// A TLS listener (handshake by QSslServer) whose connections carry the request guard.
class GuardedSslServer : public QSslServer {
    Q_OBJECT
public:
    GuardedSslServer(const QSslConfiguration &config, qint64 maxRequestBytes,
                     QObject *parent = nullptr);
};
