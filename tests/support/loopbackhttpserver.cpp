#include "loopbackhttpserver.h"

#include <QHostAddress>
#include <QPointer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTimer>

QByteArray LoopbackRequest::header(QByteArrayView name) const {
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool LoopbackRequest::hasHeader(QByteArrayView name) const {
    for (const auto &entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class LoopbackHttpServer::Listener : public QTcpServer {
public:
    explicit Listener(LoopbackHttpServer *owner) : QTcpServer(owner), m_owner(owner) {}

protected:
    void incomingConnection(qintptr descriptor) override { m_owner->accept(descriptor); }

private:
    LoopbackHttpServer *m_owner;
};

struct LoopbackHttpServer::Connection {
    int serial = 0;
    QPointer<QTcpSocket> socket;
    QByteArray buffer;
    bool answered = false;
};

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 201:
        return "Created";
    case 203:
        return "Non-Authoritative Information";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 407:
        return "Proxy Authentication Required";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    }
    return "Status";
}

// Parses a complete request from the front of the buffer; false while it is incomplete.
bool parseRequest(QByteArray &buffer, LoopbackRequest &request) {
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    request.version = requestLine.value(2);
    request.headers.clear();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    const qint64 length = request.header("Content-Length").toLongLong();
    if (buffer.size() < headEnd + 4 + length)
        return false;
    request.body = buffer.mid(headEnd + 4, length);
    buffer.remove(0, headEnd + 4 + length);
    return true;
}

} // namespace

LoopbackHttpServer::LoopbackHttpServer(QObject *parent) : QObject(parent) {}

LoopbackHttpServer::~LoopbackHttpServer() {
    stop();
}

bool LoopbackHttpServer::start() {
    stop();
    m_listener = new Listener(this);
    return m_listener->listen(QHostAddress::LocalHost, 0);
}

bool LoopbackHttpServer::startTls(const QSslCertificate &certificate, const QSslKey &key) {
    m_certificate = certificate;
    m_key = key;
    return start();
}

void LoopbackHttpServer::stop() {
    if (m_listener) {
        m_listener->close();
        delete m_listener;
        m_listener = nullptr;
    }
}

quint16 LoopbackHttpServer::port() const {
    return m_listener ? m_listener->serverPort() : 0;
}

QString LoopbackHttpServer::hostAndPort() const {
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

void LoopbackHttpServer::accept(qintptr descriptor) {
    QTcpSocket *socket = nullptr;
    if (!m_certificate.isNull()) {
        auto *ssl = new QSslSocket(this);
        ssl->setLocalCertificate(m_certificate);
        ssl->setPrivateKey(m_key);
        ssl->setPeerVerifyMode(QSslSocket::VerifyNone);
        socket = ssl;
    } else {
        socket = new QTcpSocket(this);
    }
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    auto *connection = new Connection;
    connection->serial = ++m_connections;
    connection->socket = socket;
    connect(socket, &QTcpSocket::readyRead, this, [this, connection] { readFrom(connection); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    // Without a context object: the server's own connections are cut before its child
    // sockets are deleted, and the record must still go with its socket then.
    connect(socket, &QObject::destroyed, [connection] { delete connection; });
    if (auto *ssl = qobject_cast<QSslSocket *>(socket))
        ssl->startServerEncryption();
}

void LoopbackHttpServer::readFrom(Connection *connection) {
    if (!connection->socket || connection->answered)
        return;
    connection->buffer += connection->socket->readAll();
    LoopbackRequest request;
    if (!parseRequest(connection->buffer, request))
        return;
    request.connection = connection->serial;
    received.append(request);
    connection->answered = true;
    answer(connection, request);
}

void LoopbackHttpServer::answer(Connection *connection, const LoopbackRequest &request) {
    LoopbackReply reply = handler              ? handler(request)
                          : !replies.isEmpty() ? replies.dequeue()
                                               : LoopbackReply();
    QPointer<QTcpSocket> socket = connection->socket;
    QTimer::singleShot(reply.delayMs, this, [this, socket, connection, reply] {
        if (!socket)
            return;
        if (reply.closeWithoutReply) {
            socket->abort();
            return;
        }
        QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                          reasonPhrase(reply.status) + "\r\n";
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        if (!keepAlive)
            head += "Connection: close\r\n";
        for (const auto &[name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        head += "\r\n";
        socket->write(head);
        sendBody(connection, reply.body, 0, reply);
    });
}

void LoopbackHttpServer::sendBody(Connection *connection, QByteArray body, qint64 sent,
                                  const LoopbackReply &reply) {
    QPointer<QTcpSocket> socket = connection->socket;
    if (!socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    qint64 piece = reply.chunkSize > 0 ? reply.chunkSize : body.size() - sent;
    if (reply.resetAfter >= 0)
        piece = qMin(piece, reply.resetAfter - sent);
    piece = qMin(piece, body.size() - sent);
    if (piece > 0)
        socket->write(body.constData() + sent, piece);
    sent += piece;
    if (reply.resetAfter >= 0 && sent >= reply.resetAfter) {
        socket->flush();
        socket->abort();
        return;
    }
    if (sent >= body.size()) {
        finishReply(connection);
        return;
    }
    QTimer::singleShot(reply.chunkDelayMs, this, [this, connection, socket, body, sent, reply] {
        if (socket)
            sendBody(connection, body, sent, reply);
    });
}

void LoopbackHttpServer::finishReply(Connection *connection) {
    if (!keepAlive) {
        connection->socket->disconnectFromHost();
        return;
    }
    connection->answered = false;
    readFrom(connection); // a request that came meanwhile
}
