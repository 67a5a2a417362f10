#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QSslConfiguration>
#include <QTcpServer>
#include <functional>
#include <memory>

// Open connections per client address, shared by every listener of the server.
class AddressCounter {
public:
    // Counts one more connection from the address; false (and nothing counted) at the cap.
    bool acquire(const QHostAddress &address, int cap);
    void release(const QHostAddress &address);

private:
    QMutex m_lock;
    QHash<QString, int> m_open;
};

// What every connection of the HTTP listeners is held to.
struct RequestLimits {
    qint64 maxRequestBytes = 32 * 1024 * 1024;
    qint64 maxAnonymousBodyBytes = 64 * 1024; // a body whose address names no live session
    int deadlineMs = 60000;  // to send a whole request, counted again after each reply
    int maxPerAddress = 128; // open connections from one address
    std::function<bool(QByteArrayView target)> liveSession; // the request target's session
    std::shared_ptr<AddressCounter> counter = std::make_shared<AddressCounter>();
};

// Judges each request's head before the HTTP layer reads its body (RequestHead); caps the
// socket's read buffer; and closes a connection that does not finish its request within the
// deadline, however slowly it trickles bytes. Marks the socket when its request asks for the
// connection to end. Call before the HTTP layer takes the socket.
void AttachRequestGuard(QTcpSocket *socket, const RequestLimits &limits);
// Lets the guard note what the HTTP layer left unread; call once the HTTP layer has the socket.
void FollowRequestReads(QTcpSocket *socket);
// Counts the connection against its address until it ends; false when the address is at
// its cap (nothing counted then).
bool CountConnection(QTcpSocket *socket, const RequestLimits &limits);
// Whether the request being answered on the socket asked to close the connection after it.
bool ClosesAfterReply(const QTcpSocket *socket);

// Pauses accepting for a moment when the process is out of file handles, instead of
// spinning on a listening socket that stays readable.
void PauseOnResourceErrors(QTcpServer *server);

// An HTTP listener that only accepts: each connection's socket descriptor goes to the
// handler, which hands it to a request thread.
class AcceptingServer : public QTcpServer {
    Q_OBJECT
public:
    using Handler = std::function<void(qintptr handle)>;
    AcceptingServer(Handler handler, QObject *parent = nullptr);

protected:
    void incomingConnection(qintptr handle) override { m_handler(handle); }

private:
    Handler m_handler;
};
