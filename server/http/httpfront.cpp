#include "server/http/httpfront.h"

#include "server/booking/calendarfeed.h"
#include "server/http/guardedlisteners.h"
#include "server/http/httplog.h"
#include "server/ops/logformat.h"
#include "server/ops/opsfront.h"
#include "server/ops/servermetrics.h"
#include "server/store/schooldatabase.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QHttpServerRequest>
#include <QSslSocket>
#include <QUrlQuery>
#include <algorithm>

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
    case 503:
        return "Service Unavailable";
    default:
        return "Error";
    }
}

// The reply of an answer that may fail: a failure is logged and told as the server's own.
template <typename Answer> ActionReply Guarded(Answer answer) {
    try {
        return answer();
    } catch (const std::exception &error) {
        qCWarning(lcHttp).noquote() << "request failed:" << error.what();
        return ActionReply::Error(QStringLiteral("internal server error"));
    }
}

// Counts a request for the metrics before its reply goes out, so that a client that has the
// reply finds it counted.
void CountRequest(const QByteArray &what, const ActionReply &reply, const QElapsedTimer &since) {
    ServerMetrics::instance().countRequest(what, reply.status, reply.body.startsWith("error"),
                                           since.nsecsElapsed() / 1e9);
}

// One line per request: what was asked, by whom, the outcome ("error" when the body is a
// refusal) and how long it took from its arrival to its reply.
void LogRequest(const QByteArray &what, const ActionReply &reply, const QElapsedTimer &since) {
    if (!lcHttp().isInfoEnabled())
        return;
    const bool refused = reply.body.startsWith("error");
    const double seconds = since.nsecsElapsed() / 1e9;
    const qsizetype eq = what.indexOf('=');
    const QString ms = QString::number(seconds * 1000, 'f', 1);
    const LogFields fields({{QString::fromLatin1(what.left(eq)), QString::fromUtf8(what.mid(eq + 1))},
                            {QStringLiteral("user"), QString::number(reply.userId)},
                            {QStringLiteral("status"), QString::number(reply.status)},
                            {QStringLiteral("result"), refused ? QStringLiteral("refused") : QStringLiteral("ok")},
                            {QStringLiteral("ms"), ms}});
    qCInfo(lcHttp).noquote() << "request" << what << "user=" + QString::number(reply.userId)
                             << "status=" + QString::number(reply.status) +
                                    (refused ? " error" : "")
                             << "ms=" + ms;
}

// Whether the request is a sign-in to the script.
bool IsSignIn(const QHttpServerRequest &request, const QString &scriptPath) {
    return request.url().path() == scriptPath && request.method() == Method::Post &&
           QUrlQuery(request.url()).queryItemValue(QStringLiteral("action")) ==
               QLatin1String("login");
}

// The action a request names, or its path when it names none.
QByteArray WhatIsAsked(const QHttpServerRequest &request) {
    const QString action = QUrlQuery(request.url()).queryItemValue(QStringLiteral("action"));
    return action.isEmpty() ? "path=" + request.url().path().toUtf8().left(200)
                            : "action=" + action.toUtf8().left(60);
}

} // namespace

void WriteReply(QTcpSocket *socket, const ActionReply &reply, bool headOnly, bool close) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + ' ' +
                      ReasonPhrase(reply.status) + "\r\nContent-Type: " + reply.contentType +
                      "\r\nContent-Length: " + QByteArray::number(reply.body.size()) +
                      "\r\nCache-Control: no-store\r\n";
    if (reply.retryAfter > 0)
        head += "Retry-After: " + QByteArray::number(reply.retryAfter) + "\r\n";
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

HttpFront::HttpFront(ServerState &state, SignInLane *lane, QObject *parent)
    : QAbstractHttpServer(parent), m_state(state), m_lane(lane) {}

bool HttpFront::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    QElapsedTimer arrived;
    arrived.start();
    const bool close =
        ClosesAfterReply(socket) || HeaderOf(request, "Connection").toLower().contains("close");
    const bool headOnly = request.method() == Method::Head;
    if (m_lane && !waits(request, socket) && IsSignIn(request, m_state.options.scriptPath)) {
        toLane(request, socket, headOnly, close, arrived);
        return true;
    }
    if (waits(request, socket)) {
        Waiting waiting{socket, socket, {}, headOnly, close, {}, arrived, WhatIsAsked(request)};
        // Other paths are answered now and only written in turn, behind the connection's
        // earlier requests.
        if (request.url().path() == m_state.options.scriptPath)
            waiting.request = ToActionRequest(request, socket);
        else
            waiting.ready = Guarded([&] { return answer(request, socket); });
        m_waiting.push_back(std::move(waiting));
        ++m_waitingPerSocket[socket];
        postServing();
        return true;
    }
    const ActionReply reply = Guarded([&] { return answer(request, socket); });
    CountRequest(WhatIsAsked(request), reply, arrived);
    WriteReply(socket, reply, headOnly, close);
    LogRequest(WhatIsAsked(request), reply, arrived);
    return true;
}

bool HttpFront::waits(const QHttpServerRequest &request, QTcpSocket *socket) const {
    if (m_waitingPerSocket.contains(socket) || m_inLane.contains(socket))
        return true; // replies on one connection keep the order of its requests
    if (request.url().path() != m_state.options.scriptPath)
        return false;
    const Method method = request.method();
    if (method != Method::Get && method != Method::Head && method != Method::Post)
        return false;
    return QUrlQuery(request.url()).queryItemValue(QStringLiteral("action")) !=
           QLatin1String("login");
}

// The sign-in goes to the lane; its connection's later requests wait until its reply is out.
void HttpFront::toLane(const QHttpServerRequest &request, QTcpSocket *socket, bool headOnly,
                       bool close, const QElapsedTimer &arrived) {
    m_inLane.insert(socket);
    m_lane->run(ToActionRequest(request, socket), this,
                [this, guard = QPointer(socket), key = socket, headOnly, close, arrived,
                 what = WhatIsAsked(request)](const ActionReply &reply) {
                    m_inLane.remove(key);
                    if (guard) {
                        CountRequest(what, reply, arrived);
                        WriteReply(guard, reply, headOnly, close);
                        LogRequest(what, reply, arrived);
                    }
                    postServing();
                });
}

void HttpFront::postServing() {
    if (m_waiting.empty() || m_serving)
        return;
    m_serving = true;
    QMetaObject::invokeMethod(this, &HttpFront::serveNextWaiting, Qt::QueuedConnection);
}

// One waiting action per turn, the first one whose connection has no sign-in in the lane; the
// next turn is posted behind whatever the connections brought meanwhile.
void HttpFront::serveNextWaiting() {
    m_serving = false;
    const auto ready = std::find_if(m_waiting.begin(), m_waiting.end(),
                                    [this](const Waiting &w) { return !m_inLane.contains(w.key); });
    if (ready == m_waiting.end())
        return; // the lane's reply posts the next turn
    Waiting next = std::move(*ready);
    m_waiting.erase(ready);
    if (--m_waitingPerSocket[next.key] == 0)
        m_waitingPerSocket.remove(next.key);
    if (next.socket) {
        const ActionReply reply =
            next.ready ? *next.ready
                       : Guarded([&] { return DispatchAction(std::move(next.request), m_state); });
        CountRequest(next.what, reply, next.arrived);
        WriteReply(next.socket, reply, next.headOnly, next.close);
        LogRequest(next.what, reply, next.arrived);
    }
    postServing();
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
    if (path == QLatin1String("/health") && read) {
        const HealthReply health = HealthOf([this] {
            m_state.db.run(QStringLiteral("SELECT 1"));
            return true;
        });
        return {health.status, health.body, false, "text/plain"};
    }
    if (read && m_state.options.bookingFeatures) {
        if (std::optional<ActionReply> feed = CalendarFeedReply(path, m_state))
            return *feed;
    }
    return {404, "Not Found", false, "text/plain"};
}

ActionReply HttpFront::updateProgram() const {
    QFile file(m_state.options.dataFolder + QStringLiteral("/update/update.exe"));
    if (!file.open(QIODevice::ReadOnly))
        return {404, "Not Found", false, "text/plain"};
    return ActionReply::Raw(file.readAll());
}
