#pragma once

#include "server/actiondispatcher.h"

#include <QAbstractHttpServer>
#include <functional>

// The HTTP side of the server: the script path runs actions, the update program's address
// serves its file, everything else is 404. Every failure becomes a reply, never a crash.
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
