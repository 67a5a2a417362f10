#include "net/httpexchange.h"

#include "net/transferobserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

int g_requestTimeout = HttpExchange::kDefaultRequestTimeout;
SlowWindowFactory g_slowWindowFactory;
int g_slowAfterMs = HttpExchange::kDefaultSlowAfterMs;

NetworkFailure classify(QNetworkReply::NetworkError error, bool sslErrors) {
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return NetworkFailure::Refused;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return NetworkFailure::Unreachable;
    case QNetworkReply::TimeoutError:
        return NetworkFailure::TimedOut;
    case QNetworkReply::SslHandshakeFailedError:
        return sslErrors ? NetworkFailure::Certificate : NetworkFailure::Other;
    default:
        return NetworkFailure::Other;
    }
}

} // namespace

void HttpExchange::setRequestTimeout(int seconds) {
    g_requestTimeout = seconds < 1 ? kDefaultRequestTimeout : seconds;
}

int HttpExchange::requestTimeout() {
    return g_requestTimeout;
}

void HttpExchange::setSlowWindowFactory(SlowWindowFactory factory) {
    g_slowWindowFactory = std::move(factory);
}

void HttpExchange::setSlowAfterMs(int ms) {
    g_slowAfterMs = ms;
}

HttpExchange::HttpExchange(QNetworkAccessManager &client, TransferObserver *observer)
    : m_client(client), m_observer(observer) {}

ExchangeResult HttpExchange::run(const QNetworkRequest &request, const QByteArray &verb,
                                 const QByteArray &body, QEventLoop::ProcessEventsFlags flags) {
    m_cancelled = m_tooLarge = m_connected = m_timedOut = m_sslErrors = m_slowWanted = false;
    m_uploadBegun = m_uploadEnded = m_downloadBegun = m_downloadEnded = false;
    TransferObserver *const observer = m_observer;

    QNetworkReply *reply = verb == "GET"    ? m_client.get(request)
                           : verb == "POST" ? m_client.post(request, body)
                                            : m_client.sendCustomRequest(request, verb, body);
    m_reply = reply;
    QEventLoop loop;
    QTimer idle;
    idle.setSingleShot(true);
    idle.setInterval(g_requestTimeout * 1000);
    QObject::connect(&idle, &QTimer::timeout, &idle, [this] { timedOut(); });
    m_idle = &idle;
    wire(reply, loop);
    idle.start();
    if (!reply->isFinished())
        waitForEnd(reply, loop, flags);
    m_idle = nullptr;
    endDownload();
    m_slowWindow.reset();
    m_observer = observer;

    ExchangeResult result;
    result.cancelled = m_cancelled;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.status = status.isValid() ? status.toInt() : 0;
    if (reply->isOpen())
        result.body = reply->readAll();
    result.retryAfter = qBound(0, reply->rawHeader("Retry-After").trimmed().toInt(), 86400);
    result.failed =
        m_cancelled || m_tooLarge || reply->error() != QNetworkReply::NoError || result.status <= 0;
    if (m_tooLarge)
        result.errorText = QStringLiteral("The reply exceeds %1 bytes").arg(kMaxReplySize);
    else if (m_timedOut)
        result.errorText = QStringLiteral("No reply within %1 s").arg(g_requestTimeout);
    else if (result.failed)
        result.errorText = reply->errorString();
    if (result.failed && !m_cancelled)
        result.failure = m_timedOut   ? NetworkFailure::TimedOut
                         : m_tooLarge ? NetworkFailure::Other
                                      : classify(reply->error(), m_sslErrors);
    m_reply = nullptr;
    reply->disconnect();
    reply->deleteLater();
    return result;
}

void HttpExchange::waitForEnd(QNetworkReply *reply, QEventLoop &loop,
                              QEventLoop::ProcessEventsFlags flags) {
    // Only a direct exchange (no observer, user input held back) gets the slow window.
    QTimer slow;
    if (!m_observer && g_slowWindowFactory && (flags & QEventLoop::ExcludeUserInputEvents)) {
        slow.setSingleShot(true);
        QObject::connect(&slow, &QTimer::timeout, &loop, [this, &loop] {
            m_slowWanted = true;
            loop.quit();
        });
        slow.start(g_slowAfterMs);
    }
    loop.exec(flags);
    if (!m_slowWanted || reply->isFinished())
        return;
    showSlowWindow();
    // The window's cancel button needs the user's input from now on.
    if (!reply->isFinished())
        loop.exec(QEventLoop::AllEvents);
}

void HttpExchange::showSlowWindow() {
    m_slowWindow = g_slowWindowFactory([this] { cancel(); });
    if (!m_slowWindow)
        return;
    m_observer = m_slowWindow->observer();
    if (!m_observer)
        return;
    // The window joins midway: it learns what has happened so far.
    if (m_connected)
        m_observer->connected();
    if (m_uploadBegun && !m_uploadEnded)
        m_observer->transferBegins(m_uploadTotal, true);
    if (m_downloadBegun && !m_downloadEnded)
        m_observer->transferBegins(m_downloadTotal, false);
}

void HttpExchange::sawProgress() {
    if (m_idle)
        m_idle->start();
}

void HttpExchange::timedOut() {
    m_timedOut = true;
    if (m_reply && !m_reply->isFinished())
        m_reply->abort();
}

void HttpExchange::cancel() {
    m_cancelled = true;
    if (m_reply && !m_reply->isFinished())
        m_reply->abort();
}

void HttpExchange::wire(QNetworkReply *reply, QEventLoop &loop) {
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::sslErrors, reply, [this] { m_sslErrors = true; });
    // Any sign of life restarts the bounded wait.
    QObject::connect(reply, &QNetworkReply::encrypted, reply, [this] { sawProgress(); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] { sawProgress(); });
    QObject::connect(reply, &QNetworkReply::requestSent, reply, [this] { sawProgress(); });
    QObject::connect(reply, &QNetworkReply::uploadProgress, reply, [this] { sawProgress(); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [this] { sawProgress(); });
    QObject::connect(reply, &QNetworkReply::encrypted, reply, [this] { markConnected(); });
    QObject::connect(reply, &QNetworkReply::requestSent, reply, [this] { markConnected(); });
    QObject::connect(reply, &QNetworkReply::uploadProgress, reply,
                     [this](qint64 sent, qint64 total) { uploadProgress(sent, total); });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] { headersReceived(); });
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply,
                     [this](qint64 received, qint64 total) { downloadProgress(received, total); });
}

void HttpExchange::markConnected() {
    if (m_connected)
        return;
    m_connected = true;
    if (m_observer)
        m_observer->connected();
}

void HttpExchange::uploadProgress(qint64 sent, qint64 total) {
    if (total <= 0 || m_uploadEnded)
        return;
    markConnected();
    if (!m_uploadBegun) {
        m_uploadBegun = true;
        m_uploadTotal = total;
        if (m_observer)
            m_observer->transferBegins(total, true);
    }
    if (m_observer)
        m_observer->transferProgress(sent);
    if (sent >= total) {
        m_uploadEnded = true;
        if (m_observer)
            m_observer->transferEnds(true);
    }
}

void HttpExchange::headersReceived() {
    markConnected();
    if (m_uploadBegun && !m_uploadEnded) {
        m_uploadEnded = true;
        if (m_observer)
            m_observer->transferEnds(true);
    }
    const QVariant length =
        m_reply ? m_reply->header(QNetworkRequest::ContentLengthHeader) : QVariant();
    if (length.isValid() && length.toLongLong() > kMaxReplySize)
        abortTooLarge();
}

void HttpExchange::downloadProgress(qint64 received, qint64 total) {
    if (m_downloadEnded)
        return;
    if (!m_downloadBegun) {
        if (received <= 0 && total <= 0)
            return; // nothing of the body yet
        markConnected();
        m_downloadBegun = true;
        m_downloadTotal = qMax<qint64>(total, 0);
        if (m_observer)
            m_observer->transferBegins(qMax<qint64>(total, 0), false);
    }
    if (received > kMaxReplySize) {
        abortTooLarge();
        return;
    }
    if (m_observer)
        m_observer->transferProgress(received);
}

void HttpExchange::endDownload() {
    if (!m_downloadBegun || m_downloadEnded)
        return;
    m_downloadEnded = true;
    if (m_observer)
        m_observer->transferEnds(false);
}

void HttpExchange::abortTooLarge() {
    m_tooLarge = true;
    if (m_reply && !m_reply->isFinished())
        m_reply->abort();
}
