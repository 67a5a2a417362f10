#pragma once

#include "server/http/guardedlisteners.h"

#include <QSslConfiguration>
#include <QTcpServer>
#include <atomic>

// The listener side of one request thread: takes connections that the accepting thread hands
// over as socket descriptors, counts them against their address, runs the TLS handshake where
// needed, attaches the request guard and offers them to the HTTP front bound to it. The HTTP
// layer expects a listening server, so it holds a loopback port of its own; whatever connects
// there directly is closed at once.
class HandoffServer : public QTcpServer {
    Q_OBJECT
public:
    HandoffServer(const RequestLimits &limits, QObject *parent = nullptr);

    // Counts a connection that is on its way to adopt (called by the accepting thread, so
    // that the next choice of thread already sees it).
    void reserve() { ++m_open; }
    // Takes over an accepted and reserved connection; TLS when a configuration is given.
    // Runs on the server's own thread.
    void adopt(qintptr handle, const QSslConfiguration *tls);
    // Connections taken over and not yet closed (read from any thread).
    int openConnections() const { return m_open.load(); }

protected:
    void incomingConnection(qintptr handle) override;

private:
    RequestLimits m_limits;
    std::atomic<int> m_open{0};
};
