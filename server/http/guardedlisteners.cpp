#include "server/http/guardedlisteners.h"

#include "server/http/httplog.h"
#include "server/http/requesthead.h"

#include <QPointer>
#include <QSslSocket>
#include <QTimer>

namespace {

QString AddressKey(const QHostAddress &address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

} // namespace

bool CountConnection(QTcpSocket *socket, const RequestLimits &limits) {
    const QHostAddress address = socket->peerAddress();
    if (!limits.counter->acquire(address, limits.maxPerAddress))
        return false;
    // Released once, when the connection ends or its socket goes, whichever comes first.
    auto release = [counter = limits.counter, address, done = std::make_shared<bool>(false)] {
        if (!std::exchange(*done, true))
            counter->release(address);
    };
    QObject::connect(socket, &QAbstractSocket::disconnected, release);
    QObject::connect(socket, &QObject::destroyed, release);
    return true;
}

bool AddressCounter::acquire(const QHostAddress &address, int cap) {
    QMutexLocker locker(&m_lock);
    int &open = m_open[AddressKey(address)];
    if (open >= cap)
        return false;
    ++open;
    return true;
}

void AddressCounter::release(const QHostAddress &address) {
    QMutexLocker locker(&m_lock);
    const auto it = m_open.find(AddressKey(address));
    if (it != m_open.end() && --*it <= 0)
        m_open.erase(it);
}

void AttachRequestGuard(QTcpSocket *socket, const RequestLimits &limits) {
    socket->setReadBufferSize(limits.maxRequestBytes + 65536);
    auto *deadline = new QTimer(socket);
    deadline->setSingleShot(true);
    deadline->setInterval(limits.deadlineMs);
    QObject::connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
    deadline->start();
    // Only the server's own progress in answering counts the time again: bytes that the
    // client trickles in do not.
    QObject::connect(socket, &QTcpSocket::bytesWritten, deadline, qOverload<>(&QTimer::start));
    auto *head = new RequestHead(socket, limits);
    QObject::connect(socket, &QTcpSocket::readyRead, head, [socket, head] {
        try {
            head->look();
        } catch (const std::exception &error) {
            // Nothing may leave an event handler: the connection ends instead.
            qCWarning(lcHttp).noquote() << "request head check failed:" << error.what();
            socket->abort();
        }
    });
}

void FollowRequestReads(QTcpSocket *socket) {
    if (auto *head = socket->findChild<RequestHead *>(QString(), Qt::FindDirectChildrenOnly))
        QObject::connect(socket, &QTcpSocket::readyRead, head, &RequestHead::settle);
}

void PauseOnResourceErrors(QTcpServer *server) {
    QObject::connect(server, &QTcpServer::acceptError, server,
                     [server](QAbstractSocket::SocketError error) {
                         if (error != QAbstractSocket::SocketResourceError)
                             return;
                         server->pauseAccepting();
                         QTimer::singleShot(500, server, [server] { server->resumeAccepting(); });
                     });
}

AcceptingServer::AcceptingServer(Handler handler, QObject *parent)
    : QTcpServer(parent), m_handler(std::move(handler)) {
    PauseOnResourceErrors(this);
}
