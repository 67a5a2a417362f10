#include "server/guardedlisteners.h"

#include <QPointer>
#include <QSslSocket>
#include <QTimer>

namespace {

constexpr int kIdleMs = 120000;

// The value of a header in the head of a request, or empty.
QByteArray HeaderValue(const QByteArray &head, const QByteArray &name) {
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void Refuse(QTcpSocket *socket, const QByteArray &status) {
    const QByteArray body = "error" + status;
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->flush();
    socket->disconnectFromHost();
    QTimer::singleShot(2000, socket, [socket] { socket->abort(); });
}

// Looks at the head of a request that starts at the socket's read position.
void CheckRequestHead(QTcpSocket *socket, qint64 maxRequestBytes) {
    const QByteArray peeked = socket->peek(65536);
    const qsizetype headEnd = peeked.indexOf("\r\n\r\n");
    const qsizetype firstLineEnd = peeked.indexOf("\r\n");
    if (firstLineEnd < 0 || !peeked.left(firstLineEnd).contains(" HTTP/1."))
        return; // not at the start of a request (the HTTP layer holds part of it)
    const QByteArray head = headEnd < 0 ? peeked : peeked.left(headEnd);
    if (headEnd < 0 && peeked.size() >= 65536) {
        Refuse(socket, "431 Request Header Fields Too Large");
        return;
    }
    if (HeaderValue(head, "transfer-encoding").toLower().contains("chunked")) {
        Refuse(socket, "411 Length Required");
        return;
    }
    bool ok = true;
    const QByteArray length = HeaderValue(head, "content-length");
    const qint64 declared = length.isEmpty() ? 0 : length.toLongLong(&ok);
    if (!ok || declared < 0 || declared > maxRequestBytes)
        Refuse(socket, "413 Payload Too Large");
}

} // namespace

void AttachRequestGuard(QTcpSocket *socket, qint64 maxRequestBytes) {
    socket->setReadBufferSize(maxRequestBytes + 65536);
    auto *idle = new QTimer(socket);
    idle->setSingleShot(true);
    idle->setInterval(kIdleMs);
    QObject::connect(idle, &QTimer::timeout, socket, &QTcpSocket::abort);
    idle->start();
    QObject::connect(socket, &QTcpSocket::bytesWritten, idle, qOverload<>(&QTimer::start));
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, idle, maxRequestBytes] {
        idle->start();
        CheckRequestHead(socket, maxRequestBytes);
    });
}

void GuardedTcpServer::incomingConnection(qintptr handle) {
    auto *socket = new QTcpSocket(this);
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    AttachRequestGuard(socket, m_maxRequestBytes);
    addPendingConnection(socket);
}

GuardedSslServer::GuardedSslServer(const QSslConfiguration &config, qint64 maxRequestBytes,
                                   QObject *parent)
    : QSslServer(parent) {
    setSslConfiguration(config);
    setHandshakeTimeout(20000);
    connect(this, &QSslServer::startedEncryptionHandshake, this,
            [maxRequestBytes](QSslSocket *socket) { AttachRequestGuard(socket, maxRequestBytes); });
}
