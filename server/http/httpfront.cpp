#include "server/http/httpfront.h"

#include "server/http/guardedlisteners.h"

#include <QDebug>
#include <QFile>
#include <QHttpServerRequest>
#include <QSslSocket>
#include <QUrlQuery>

namespace {

using Method = QHttpServerRequest::Method;

QByteArray HeaderOf(const QHttpServerRequest &request, const QByteArray &name) {
    for (const auto &header : request.headers())
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return {};
}

// The request as the actions see it; the body's fields are read only once the session is
// known (DispatchAction).
ActionRequest ToActionRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    ActionRequest r;
    r.query = ParseFormFields(request.url().query(QUrl::FullyEncoded).toLatin1());
    r.body = request.body();
    r.contentType = HeaderOf(request, "Content-Type");
    r.remoteAddress = request.remoteAddress();
    r.tls = qobject_cast<QSslSocket *>(socket) != nullptr;
    return r;
}

QByteArray ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 203:
        return "Non-Authoritative Information";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    default:
        return "Error";
    }
}

// The reply of an answer that may fail: a failure is logged and told as the server's own.
template <typename Answer> ActionReply Guarded(Answer answer) {
    try {
        return answer();
    } catch (const std::exception &error) {
        qWarning().noquote() << "request failed:" << error.what();
        return ActionReply::Error(QStringLiteral("internal server error"));
    }
}

} // namespace

void WriteReply(QTcpSocket *socket, const ActionReply &reply, bool headOnly, bool close) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      ReasonPhrase(reply.status) + "\r\nContent-Type: " + reply.contentType +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nCache-Control: no-store\r\n";
    if (close)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    if (!headOnly)
        socket->write(reply.body);
    // Out now: the thread may go on with further requests before its event loop would send.
    socket->flush();
    if (close)
        socket->disconnectFromHost(); // after the reply has been sent
}

HttpFront::HttpFront(ServerState &state, QObject *parent)
    : QAbstractHttpServer(parent), m_state(state) {}

bool HttpFront::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    const bool close =
        ClosesAfterReply(socket) || HeaderOf(request, "Connection").toLower().contains("close");
    const bool headOnly = request.method() == Method::Head;
    if (waits(request, socket)) {
        Waiting waiting{socket, socket, {}, headOnly, close, {}};
        // Other paths are answered now and only written in turn, behind the connection's
        // earlier requests.
        if (request.url().path() == m_state.options.scriptPath)
            waiting.request = ToActionRequest(request, socket);
        else
            waiting.ready = Guarded([&] { return answer(request, socket); });
        m_waiting.push_back(std::move(waiting));
        ++m_waitingPerSocket[socket];
        if (!m_serving) {
            m_serving = true;
            QMetaObject::invokeMethod(this, &HttpFront::serveNextWaiting, Qt::QueuedConnection);
        }
        return true;
    }
    WriteReply(socket, Guarded([&] { return answer(request, socket); }), headOnly, close);
    return true;
}

bool HttpFront::waits(const QHttpServerRequest &request, QTcpSocket *socket) const {
    if (m_waitingPerSocket.contains(socket))
        return true; // replies on one connection keep the order of its requests
    if (request.url().path() != m_state.options.scriptPath)
        return false;
    const Method method = request.method();
    if (method != Method::Get && method != Method::Head && method != Method::Post)
        return false;
    return QUrlQuery(request.url()).queryItemValue(QStringLiteral("action")) !=
           QLatin1String("login");
}

// One waiting action per turn; the next turn is posted behind whatever the connections
// brought meanwhile.
void HttpFront::serveNextWaiting() {
    m_serving = false;
    if (m_waiting.empty())
        return;
    Waiting next = std::move(m_waiting.front());
    m_waiting.pop_front();
    if (--m_waitingPerSocket[next.key] == 0)
        m_waitingPerSocket.remove(next.key);
    if (next.socket)
        WriteReply(next.socket, next.ready ? *next.ready : Guarded([&] {
                       return DispatchAction(std::move(next.request), m_state);
                   }),
                   next.headOnly, next.close);
    if (!m_waiting.empty() && !m_serving) {
        m_serving = true;
        QMetaObject::invokeMethod(this, &HttpFront::serveNextWaiting, Qt::QueuedConnection);
    }
}

void HttpFront::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) {
    WriteReply(socket, {404, "Not Found", false, "text/plain"}, request.method() == Method::Head,
               true);
}

ActionReply HttpFront::answer(const QHttpServerRequest &request, QTcpSocket *socket) {
    const QString path = request.url().path();
    const Method method = request.method();
    const bool read = method == Method::Get || method == Method::Head;
    if (path == m_state.options.scriptPath) {
        if (read || method == Method::Post)
            return DispatchAction(ToActionRequest(request, socket), m_state);
        return {405, "Method Not Allowed", false, "text/plain"};
    }
    if (path == m_state.options.updateLink() && read)
        return updateProgram();
    return {404, "Not Found", false, "text/plain"};
}

ActionReply HttpFront::updateProgram() const {
    QFile file(m_state.options.dataFolder + QStringLiteral("/update/update.exe"));
    if (!file.open(QIODevice::ReadOnly))
        return {404, "Not Found", false, "text/plain"};
    return ActionReply::Raw(file.readAll());
}
