#include "server/httpfront.h"

#include <QDebug>
#include <QFile>
#include <QHttpServerRequest>
#include <QHttpServerResponder>
#include <QSslSocket>

namespace {

QByteArray HeaderOf(const QHttpServerRequest &request, const QByteArray &name) {
    for (const auto &header : request.headers())
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return {};
}

ActionRequest ToActionRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    ActionRequest r;
    r.query = ParseFormFields(request.url().query(QUrl::FullyEncoded).toLatin1());
    r.body = request.body();
    r.contentType = HeaderOf(request, "Content-Type");
    // Anything but a multipart body is read as form fields, whatever its declared type.
    if (!r.contentType.trimmed().toLower().startsWith("multipart/"))
        r.form = ParseFormFields(r.body);
    r.remoteAddress = request.remoteAddress();
    r.tls = qobject_cast<QSslSocket *>(socket) != nullptr;
    return r;
}

} // namespace

HttpFront::HttpFront(ServerState &state, QObject *parent)
    : QAbstractHttpServer(parent), m_state(state) {}

bool HttpFront::handleRequest(const QHttpServerRequest &request, QTcpSocket *socket) {
    ActionReply reply;
    try {
        reply = answer(request, socket);
    } catch (const std::exception &error) {
        qWarning().noquote() << "request failed:" << error.what();
        reply = ActionReply::Error(QStringLiteral("internal server error"));
    }
    QHttpServerResponder responder = makeResponder(request, socket);
    const QByteArray type = reply.body.startsWith("ok") || reply.body.startsWith("error")
                                ? QByteArrayLiteral("text/plain")
                                : QByteArrayLiteral("application/octet-stream");
    responder.write(reply.body, {{"Content-Type", type}, {"Cache-Control", "no-store"}},
                    static_cast<QHttpServerResponder::StatusCode>(reply.status));
    return true;
}

void HttpFront::missingHandler(const QHttpServerRequest &request, QTcpSocket *socket) {
    makeResponder(request, socket).write(QHttpServerResponder::StatusCode::NotFound);
}

ActionReply HttpFront::answer(const QHttpServerRequest &request, QTcpSocket *socket) {
    const QString path = request.url().path();
    const bool readMethod = request.method() == QHttpServerRequest::Method::Get ||
                            request.method() == QHttpServerRequest::Method::Post;
    if (path == m_state.options.scriptPath && readMethod)
        return DispatchAction(ToActionRequest(request, socket), m_state);
    if (path == m_state.options.updateLink() && request.method() == QHttpServerRequest::Method::Get)
        return updateProgram();
    return {404, "Not Found", false};
}

ActionReply HttpFront::updateProgram() const {
    QFile file(m_state.options.dataFolder + QStringLiteral("/update/update.exe"));
    if (!file.open(QIODevice::ReadOnly))
        return {404, "Not Found", false};
    return ActionReply::Raw(file.readAll());
}
