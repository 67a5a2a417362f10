#pragma once

#include <QThread>
#include <memory>

class QTcpServer;

// A forwarding port on loopback in front of another (the test's PostgreSQL server), on a thread
// of its own: closing the gate cuts every connection through it and turns new ones away, as a
// database that stops does; opening it lets connections through again.
class TcpGate {
public:
    explicit TcpGate(quint16 target);
    ~TcpGate();

    quint16 port() const { return m_port; }
    void close();
    void open();

private:
    void run(const std::function<void()> &code);

    QThread m_thread;
    std::unique_ptr<QObject> m_context;
    QTcpServer *m_server = nullptr;
    quint16 m_target;
    quint16 m_port = 0;
    bool m_open = true; // read and written on the gate's thread only
};
