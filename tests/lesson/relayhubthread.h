#pragma once

#include <QHostAddress>
#include <QSslConfiguration>
#include <QThread>
#include <functional>

class RelayHub;

// The reference relay on a thread of its own, listening on private loopback ports, as the
// lesson clients meet it; it can be stopped and started again on the same ports.
class RelayHubThread {
public:
    RelayHubThread();
    ~RelayHubThread();

    // Listens in clear, and with TLS when the configuration has a certificate.
    bool start(const QSslConfiguration &tls = {});
    // Drops every connection and stops listening.
    void stop();
    // Listens again on the ports of the first start.
    bool restart();
    quint16 port() const { return m_port; }
    quint16 tlsPort() const { return m_tlsPort; }
    // Runs on the relay's thread and waits for it.
    void run(const std::function<void(RelayHub &)> &work);

private:
    bool listen(quint16 port, quint16 tlsPort);

    QThread m_thread;
    RelayHub *m_hub = nullptr;
    QSslConfiguration m_tls;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
};
