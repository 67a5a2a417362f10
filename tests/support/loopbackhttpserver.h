#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QSslCertificate>
#include <QSslKey>
#include <functional>
#include <utility>

class QTcpSocket;

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// One request as it arrived on the wire.
struct LoopbackRequest {
    int connection = 0; // serial number of the connection it came on, from 1
    QByteArray method;
    QByteArray target; // as written in the request line (path and query, or a full address)
    QByteArray version;
    HeaderList headers;
    QByteArray body;

    // The first header of that name (case ignored); empty when there is none.
    QByteArray header(QByteArrayView name) const;
    bool hasHeader(QByteArrayView name) const;
};

// How the server answers one request.
struct LoopbackReply {
    int status = 200;
    QByteArray body = "ok";
    HeaderList headers;             // added after Content-Length and Connection
    int delayMs = 0;                // pause before the status line
    int chunkSize = 0;              // > 0: the body goes out in pieces of this size ...
    int chunkDelayMs = 0;           // ... with this pause between them
    qint64 resetAfter = -1;         // >= 0: drop the connection after this many body bytes
    bool closeWithoutReply = false; // drop the connection instead of answering
};

// A small HTTP/1.1 server on the loopback interface for tests: answers each request with a
// scripted reply (any status, body, delay, pace and size, or a dropped connection), plain or
// over TLS, and records what it received. It runs on the thread that created it and is
// served by whatever event loop runs there. A connection is closed after one reply unless
// keepAlive is set.
class LoopbackHttpServer : public QObject {
    Q_OBJECT
public:
    explicit LoopbackHttpServer(QObject *parent = nullptr);
    ~LoopbackHttpServer() override;

    // Listens on 127.0.0.1 at a free port; with a certificate and key every connection is TLS.
    bool start();
    bool startTls(const QSslCertificate &certificate, const QSslKey &key);
    void stop();
    quint16 port() const;
    // "127.0.0.1:port"
    QString hostAndPort() const;

    // Answers: the handler when set, otherwise the queued replies in order, otherwise "ok".
    std::function<LoopbackReply(const LoopbackRequest &)> handler;
    QQueue<LoopbackReply> replies;

    // Keep connections open for further requests after a reply.
    bool keepAlive = false;

    QList<LoopbackRequest> received;
    int connectionCount() const { return m_connections; }

private:
    class Listener;
    struct Connection;
    void accept(qintptr descriptor);
    void readFrom(Connection *connection);
    void answer(Connection *connection, const LoopbackRequest &request);
    void sendBody(Connection *connection, QByteArray body, qint64 sent, const LoopbackReply &reply);
    void finishReply(Connection *connection);

    Listener *m_listener = nullptr;
    QSslCertificate m_certificate;
    QSslKey m_key;
    int m_connections = 0;
};
