#pragma once

#include "server/actions/actiondispatcher.h"
#include "server/http/signinlane.h"

#include <QAbstractHttpServer>
#include <QElapsedTimer>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <deque>
#include <functional>
#include <optional>

// The HTTP side of the server: the script path runs actions, the update program's address
// serves its file, everything else is 404. HEAD is answered as GET without the body. Every
// failure becomes a reply, never a crash. Sign-ins go to the sign-in lane (or, without one,
// are answered as they arrive); the other actions wait in a queue served one at a time
// between looks at the connections, so that a sign-in never waits behind them. Replies on one
// connection keep the order of its requests.
class HttpFront : public QAbstractHttpServer {
    Q_OBJECT
public:
    HttpFront(ServerState &state, SignInLane *lane, QObject *parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    // An action waiting for its turn, with what its reply needs.
    struct Waiting {
        QPointer<QTcpSocket> socket;
        QTcpSocket *key = nullptr; // the socket's entry in m_waitingPerSocket, even once gone
        ActionRequest request;
        bool headOnly = false;
        bool close = false;
        std::optional<ActionReply> ready; // answered at once, written in its turn
        QElapsedTimer arrived;
        QByteArray what; // the action or path, for the request log
    };

    ActionReply answer(const QHttpServerRequest &request, QTcpSocket *socket);
    ActionReply updateProgram() const;
    bool waits(const QHttpServerRequest &request, QTcpSocket *socket) const;
    void toLane(const QHttpServerRequest &request, QTcpSocket *socket, bool headOnly, bool close,
                const QElapsedTimer &arrived);
    void serveNextWaiting();
    void postServing();

    ServerState &m_state;
    SignInLane *m_lane;
    QSet<QTcpSocket *> m_inLane; // connections whose sign-in the lane is answering
    std::deque<Waiting> m_waiting;
    QHash<QTcpSocket *, int> m_waitingPerSocket; // a socket's requests keep their order
    bool m_serving = false;                      // a turn of the queue is posted
};

// Writes a whole reply: status line, headers (with "Connection: close" when the connection
// ends after it) and, unless headOnly, the body; then ends the connection when asked to.
void WriteReply(QTcpSocket *socket, const ActionReply &reply, bool headOnly, bool close);
