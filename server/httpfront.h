#pragma once

#include "server/actiondispatcher.h"

#include <QAbstractHttpServer>
#include <functional>

// The HTTP side of the server: the script path runs actions, the update program's address
// serves its file, everything else is 404. HEAD is answered as GET without the body. Every
// failure becomes a reply, never a crash.
class HttpFront : public QAbstractHttpServer {
    Q_OBJECT
public:
    HttpFront(ServerState &state, QObject *parent = nullptr);

protected:
    bool handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) override;
    void missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) override;

private:
    ActionReply answer(const QHttpServerRequest &request, QTcpSocket *socket);
    ActionReply updateProgram() const;

    ServerState &m_state;
};

// Writes a whole reply: status line, headers (with "Connection: close" when the connection
// ends after it) and, unless headOnly, the body; then ends the connection when asked to.
void WriteReply(QTcpSocket *socket, const ActionReply &reply, bool headOnly, bool close);
