#include "net/quietrequest.h"

#include "base/logging.h"
#include "base/session.h"
#include "net/settings/applyproxy.h"
#include "net/formencode.h"
#include "net/httpexchange.h"
#include "net/requestaddress.h"
#include "net/requestrunner.h"
#include "net/settings/settings.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <utility>

QuietRequest::QuietRequest(QObject *parent)
    : QObject(parent), m_client(new QNetworkAccessManager(this)), m_idle(new QTimer(this)) {
    m_client->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_client->setStrictTransportSecurityEnabled(false);
    m_idle->setSingleShot(true);
    connect(m_idle, &QTimer::timeout, this, [this] {
        qCInfo(lcNet) << "Background request ended without progress";
        abortReply();
    });
}

QuietRequest::~QuietRequest() {
    cancel();
}

void QuietRequest::start(const ServerRequest &call, Done done) {
    cancel();
    const AppSettings &settings = Settings();
    const ConnectionTarget target = CurrentConnectionTarget();
    m_client->setProxy(ProxyFromSettings(settings));
    const QByteArray address = RequestAddress(BaseAddress(target.server, settings.useSsl),
                                              target.path, call, SessionIdParam());
    // The runner's request carries the client's headers and the TLS settings in force.
    QNetworkRequest request =
        AppRequestRunner().clientRequest(QUrl::fromEncoded(address, QUrl::StrictMode));
    QNetworkReply *reply = nullptr;
    if (call.data.isEmpty() || IsRawDownload(call.action)) {
        reply = m_client->get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArray("application/x-www-form-urlencoded"));
        reply = m_client->post(request, TransportEncodeForm(call.data));
    }
    m_reply = reply;
    m_done = std::move(done);
    const auto progress = [this] { m_idle->start(); };
    connect(reply, &QNetworkReply::uploadProgress, this, progress);
    connect(reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64) {
        m_idle->start();
        if (received > HttpExchange::kMaxReplySize)
            abortReply();
    });
    connect(reply, &QNetworkReply::finished, this, [this] { finish(); });
    m_idle->start(HttpExchange::requestTimeout() * 1000);
}

void QuietRequest::cancel() {
    m_done = nullptr;
    abortReply();
}

void QuietRequest::abortReply() {
    if (m_reply)
        m_reply->abort(); // finishes the reply at once; finish() hands it on when still wanted
}

void QuietRequest::finish() {
    m_idle->stop();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    if (!reply)
        return;
    reply->deleteLater();
    const bool completed =
        reply->error() == QNetworkReply::NoError &&
        reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() == 200;
    const QByteArray body = completed ? reply->readAll() : QByteArray();
    if (Done done = std::exchange(m_done, nullptr))
        done(completed, body);
}
