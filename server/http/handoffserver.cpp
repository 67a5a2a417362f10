#include "server/http/handoffserver.h"

#include <QSslSocket>
#include <QTimer>

namespace {

constexpr int kHandshakeMs = 20000;

} // namespace

HandoffServer::HandoffServer(const RequestLimits &limits, QObject *parent)
    : QTcpServer(parent), m_limits(limits) {
    listen(QHostAddress::LocalHost, 0);
}

void HandoffServer::incomingConnection(qintptr handle) {
    QTcpSocket stray;
    if (stray.setSocketDescriptor(handle))
        stray.abort();
}

void HandoffServer::adopt(qintptr handle, const QSslConfiguration *tls) {
    QTcpSocket *socket = tls ? new QSslSocket(this) : new QTcpSocket(this);
    connect(socket, &QObject::destroyed, this, [this] { --m_open; });
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (!CountConnection(socket, m_limits)) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
    if (!tls) {
        AttachRequestGuard(socket, m_limits);
        addPendingConnection(socket);
        FollowRequestReads(socket);
        return;
    }
    auto *secure = static_cast<QSslSocket *>(socket);
    secure->setSslConfiguration(*tls);
    QTimer::singleShot(kHandshakeMs, secure, [secure] {
        if (!secure->isEncrypted())
            secure->abort();
    });
    connect(secure, &QSslSocket::encrypted, this, [this, secure] {
        AttachRequestGuard(secure, m_limits);
        addPendingConnection(secure);
        FollowRequestReads(secure);
    });
    connect(secure, &QSslSocket::errorOccurred, secure, [secure] {
        if (!secure->isEncrypted())
            secure->abort();
    });
    secure->startServerEncryption();
}
