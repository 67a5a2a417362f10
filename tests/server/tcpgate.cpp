#include "tcpgate.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

// Joins two sockets both ways; either end closing closes the other.
void Splice(QTcpSocket *a, QTcpSocket *b) {
    QObject::connect(a, &QTcpSocket::readyRead, b, [a, b] { b->write(a->readAll()); });
    QObject::connect(b, &QTcpSocket::readyRead, a, [a, b] { a->write(b->readAll()); });
    QObject::connect(a, &QTcpSocket::disconnected, b, &QTcpSocket::disconnectFromHost);
    QObject::connect(b, &QTcpSocket::disconnected, a, &QTcpSocket::disconnectFromHost);
    QObject::connect(a, &QTcpSocket::disconnected, a, &QObject::deleteLater);
    QObject::connect(b, &QTcpSocket::disconnected, b, &QObject::deleteLater);
}

} // namespace

TcpGate::TcpGate(quint16 target) : m_target(target) {
    m_thread.start();
    m_context = std::make_unique<QObject>();
    m_context->moveToThread(&m_thread);
    run([this] {
        m_server = new QTcpServer(m_context.get());
        m_server->listen(QHostAddress::LocalHost, 0);
        m_port = m_server->serverPort();
        QObject::connect(m_server, &QTcpServer::newConnection, m_server, [this] {
            while (QTcpSocket *inner = m_server->nextPendingConnection()) {
                inner->setParent(m_context.get());
                if (!m_open) {
                    inner->abort();
                    inner->deleteLater();
                    continue;
                }
                auto *outer = new QTcpSocket(m_context.get());
                outer->connectToHost(QHostAddress::LocalHost, m_target);
                Splice(inner, outer);
            }
        });
    });
}

TcpGate::~TcpGate() {
    run([this] { m_context.reset(); });
    m_thread.quit();
    m_thread.wait();
}

void TcpGate::run(const std::function<void()> &code) {
    QMetaObject::invokeMethod(m_context.get(), code, Qt::BlockingQueuedConnection);
}

void TcpGate::close() {
    run([this] {
        m_open = false;
        for (QTcpSocket *socket :
             m_context->findChildren<QTcpSocket *>(QString(), Qt::FindDirectChildrenOnly))
            socket->abort();
    });
}

void TcpGate::open() {
    run([this] { m_open = true; });
}
