#include "net/requestrunner.h"

#include "base/logging.h"
#include "base/session.h"
#include "base/sessionlost.h"
#include "seam/seam.h"
#include "net/settings/applyproxy.h"
#include "net/clienttls.h"
#include "net/formencode.h"
#include "net/httpexchange.h"
#include "net/requestaddress.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkCookie>
#include <QNetworkCookieJar>

namespace {

// A cookie jar that never keeps nor hands out a cookie: the session id travels only in the
// request address.
class NoCookieJar : public QNetworkCookieJar {
public:
    using QNetworkCookieJar::QNetworkCookieJar;
    QList<QNetworkCookie> cookiesForUrl(const QUrl &) const override { return {}; }
    bool setCookiesFromUrl(const QList<QNetworkCookie> &, const QUrl &) override { return false; }
};

QPointer<RequestRunner> g_current;

const QByteArray kAccept = "text/html, */*";
const QByteArray kUserAgent = "Mozilla/3.0 (compatible; Indy Library)";

} // namespace

RequestRunner::RequestRunner(QObject *parent)
    : QObject(parent), m_client(new QNetworkAccessManager(this)) {
    m_client->setCookieJar(new NoCookieJar(m_client));
    m_client->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_client->setStrictTransportSecurityEnabled(false);
    m_lastExchange = CurrentSeam().now();
    m_previous = g_current;
    g_current = this;
}

RequestRunner::~RequestRunner() {
    for (HttpExchange *exchange : std::as_const(m_running))
        exchange->cancel();
    if (g_current == this)
        g_current = m_previous;
}

QString RequestRunner::prepareClient(const AppSettings &settings, const ConnectionTarget &target) {
    m_client->setProxy(ProxyFromSettings(settings));
    m_tls = ClientTlsConfiguration(settings);
    return BaseAddress(target.server, settings.useSsl);
}

QString RequestRunner::prepareClient() {
    return prepareClient(Settings(), CurrentConnectionTarget());
}

QNetworkRequest RequestRunner::clientRequest(const QUrl &url) const {
    QNetworkRequest request(url);
    request.setRawHeader("Accept", kAccept);
    request.setRawHeader("User-Agent", kUserAgent);
    request.setRawHeader("Connection", "close");
    // Set explicitly so that the transport neither asks for nor unpacks compressed bodies.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setSslConfiguration(m_tls);
    return request;
}

RequestOutcome RequestRunner::run(const ServerRequest &call, TransferObserver *observer,
                                  bool excludeUserInput) {
    HttpExchange exchange(*m_client, observer);
    try {
        const QString base = prepareClient();
        const bool raw = IsRawDownload(call.action);
        const bool renewal = !raw && !call.withoutSession &&
                             m_lastExchange.msecsTo(CurrentSeam().now()) > kRenewalAfterMs;
        const QByteArray address =
            RequestAddress(base, CurrentConnectionTarget().path, call, SessionIdParam());
        QNetworkRequest request = clientRequest(QUrl::fromEncoded(address, QUrl::StrictMode));
        QByteArray verb = "GET";
        QByteArray body;
        if (!raw && !call.data.isEmpty()) {
            verb = "POST";
            body = TransportEncodeForm(call.data);
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArray("application/x-www-form-urlencoded"));
        }
        m_running.append(&exchange);
        const ExchangeResult result = exchange.run(
            request, verb, body,
            excludeUserInput ? QEventLoop::ExcludeUserInputEvents : QEventLoop::AllEvents);
        m_running.removeOne(&exchange);
        closeConnections();
        logExchange(call.action, result);
        return judge(result, renewal, !raw && !call.withoutSession);
    } catch (...) {
        qCWarning(lcNet).noquote()
            << "Request" << call.action << "not sent:" << CurrentExceptionText();
        m_running.removeOne(&exchange);
        closeConnections();
        return RequestOutcome{};
    }
}

void RequestRunner::closeConnections() {
    // Another request still waiting (started from an event handler) keeps its connection;
    // the outermost one closes them all.
    if (m_running.isEmpty())
        m_client->clearConnectionCache();
}

void RequestRunner::logExchange(const QString &action, const ExchangeResult &result) const {
    if (result.cancelled) {
        qCInfo(lcNet).noquote() << "Request" << action << "cancelled";
    } else if (result.failed) {
        qCWarning(lcNet).noquote()
            << "Request" << action << "failed: status" << result.status << "-" << result.errorText;
    } else if (result.status != 200) {
        qCWarning(lcNet).noquote()
            << "Request" << action << "answered with status" << result.status;
    } else {
        qCDebug(lcNet).noquote() << "Request" << action << "answered," << result.body.size()
                                 << "bytes";
    }
}

RequestOutcome RequestRunner::judge(const ExchangeResult &result, bool renewal, bool withSession) {
    RequestOutcome outcome;
    if (result.cancelled) {
        outcome.result = rrCancelled;
        return outcome;
    }
    if (result.failed) {
        // rrFailed with an empty reply
        outcome.failure = result.failure;
        outcome.detail = result.errorText;
        return outcome;
    }
    m_lastExchange = CurrentSeam().now();
    QByteArray reply = result.body;
    outcome.result = rrOk;
    if (result.status != 200) {
        outcome.result = -result.status;
        if (result.status == -rrBadLogin && withSession && IsSignedIn()) {
            outcome.sessionLost = true;
            NotifySessionLost();
        }
    } else if (!reply.startsWith("ok")) {
        outcome.result = rrNotOk;
    } else if (renewal && reply.startsWith("oksesid=")) {
        const qsizetype end = reply.indexOf("endsesid", 8);
        if (end < 0) {
            // A renewal without its end marker is a broken reply, not a success.
            outcome.result = rrNotOk;
        } else {
            SetSessionId(QString::fromLatin1(reply.sliced(8, end - 8)));
            reply.remove(0, end + 8);
            if (!reply.startsWith("ok"))
                outcome.result = rrNotOk;
        }
    }
    if (outcome.result == rrBadLogin)
        outcome.retryAfter = result.retryAfter;
    if (outcome.result != rrOk && reply.startsWith("error")) {
        reply.remove(0, 5);
        outcome.errorPrefix = true;
    }
    outcome.reply = reply;
    return outcome;
}

void RequestRunner::cancel() {
    if (!m_running.isEmpty())
        m_running.last()->cancel();
}

RequestRunner &AppRequestRunner() {
    if (!g_current)
        new RequestRunner(QCoreApplication::instance());
    return *g_current;
}

QNetworkAccessManager *HttpClient() {
    return AppRequestRunner().httpClient();
}

QString PrepareClient() {
    return AppRequestRunner().prepareClient();
}
