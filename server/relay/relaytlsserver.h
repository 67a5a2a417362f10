#pragma once

#include <QSslConfiguration>
#include <QTcpServer>

// A listening socket whose accepted connections are TLS server sockets with one configuration.
// Each connection is handed out at once, with its handshake under way; what the client writes
// becomes readable once the handshake is done.
class RelayTlsServer : public QTcpServer {
    Q_OBJECT
public:
    explicit RelayTlsServer(const QSslConfiguration &configuration, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QSslConfiguration m_configuration;
};
