#include "server/http/guardedlisteners.h"

#include <QPointer>
#include <QSslSocket>
#include <QTimer>

namespace {

constexpr char kCloseProperty[] = "tellavoCloseAfterReply";

QString AddressKey(const QHostAddress &address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

// The value of a header in the head of a request, or empty.
QByteArray HeaderValue(const QByteArray &head, const QByteArray &name) {
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

void Refuse(QTcpSocket *socket, const QByteArray &status, const QByteArray &body) {
    socket->write("HTTP/1.1 " + status +
                  "\r\nContent-Type: text/plain; charset=windows-1250\r\nContent-Length: " +
                  QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    socket->flush();
    socket->disconnectFromHost();
    QTimer::singleShot(2000, socket, [socket] { socket->abort(); });
}

// Whether the request asks to end the connection after its reply: "Connection: close", or
// HTTP/1.0 without "keep-alive".
bool WantsClose(const QByteArray &requestLine, const QByteArray &head) {
    const QByteArray connection = HeaderValue(head, "connection").toLower();
    if (connection.contains("close"))
        return true;
    return requestLine.trimmed().endsWith("HTTP/1.0") && !connection.contains("keep-alive");
}

// Looks at the head of a request that starts at the socket's read position.
void CheckRequestHead(QTcpSocket *socket, const RequestLimits &limits) {
    const QByteArray peeked = socket->peek(65536);
    const qsizetype headEnd = peeked.indexOf("\r\n\r\n");
    const qsizetype firstLineEnd = peeked.indexOf("\r\n");
    const QByteArray requestLine = peeked.left(firstLineEnd);
    if (firstLineEnd < 0 || !requestLine.contains(" HTTP/1."))
        return; // not at the start of a request (the HTTP layer holds part of it)
    const QByteArray head = headEnd < 0 ? peeked : peeked.left(headEnd);
    if (headEnd < 0 && peeked.size() >= 65536) {
        Refuse(socket, "431 Request Header Fields Too Large", "error");
        return;
    }
    if (headEnd < 0)
        return; // the rest of the head is still on its way
    socket->setProperty(kCloseProperty, WantsClose(requestLine, head));
    if (HeaderValue(head, "transfer-encoding").toLower().contains("chunked")) {
        Refuse(socket, "411 Length Required", "error");
        return;
    }
    bool ok = true;
    const QByteArray length = HeaderValue(head, "content-length");
    const qint64 declared = length.isEmpty() ? 0 : length.toLongLong(&ok);
    if (!ok || declared < 0 || declared > limits.maxRequestBytes) {
        Refuse(socket, "413 Payload Too Large", "error");
        return;
    }
    // Only a signed-in user sends large bodies: nobody else makes the server read them.
    const QList<QByteArray> parts = requestLine.split(' ');
    if (declared > limits.maxAnonymousBodyBytes &&
        (parts.size() < 2 || !limits.liveSession || !limits.liveSession(parts[1])))
        Refuse(socket, "203 Non-Authoritative Information", "error");
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
    QObject::connect(socket, &QTcpSocket::readyRead, socket,
                     [socket, limits] { CheckRequestHead(socket, limits); });
}

bool ClosesAfterReply(const QTcpSocket *socket) {
    return socket->property(kCloseProperty).toBool();
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
