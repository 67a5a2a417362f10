#include "net/httpexchange.h"

#include "net/transferobserver.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>

HttpExchange::HttpExchange(QNetworkAccessManager &client, TransferObserver *observer)
    : m_client(client), m_observer(observer) {}

ExchangeResult HttpExchange::run(const QNetworkRequest &request, const QByteArray &verb,
                                 const QByteArray &body, QEventLoop::ProcessEventsFlags flags) {
    m_cancelled = m_tooLarge = m_connected = false;
    m_uploadBegun = m_uploadEnded = m_downloadBegun = m_downloadEnded = false;

    QNetworkReply *reply = verb == "GET"    ? m_client.get(request)
                           : verb == "POST" ? m_client.post(request, body)
                                            : m_client.sendCustomRequest(request, verb, body);
    m_reply = reply;
    QEventLoop loop;
    wire(reply, loop);
    if (!reply->isFinished())
        loop.exec(flags);
    endDownload();

    ExchangeResult result;
    result.cancelled = m_cancelled;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    result.status = status.isValid() ? status.toInt() : 0;
    if (reply->isOpen())
        result.body = reply->readAll();
    result.failed =
        m_cancelled || m_tooLarge || reply->error() != QNetworkReply::NoError || result.status <= 0;
    if (m_tooLarge)
        result.errorText = QStringLiteral("The reply exceeds %1 bytes").arg(kMaxReplySize);
    else if (result.failed)
        result.errorText = reply->errorString();
    m_reply = nullptr;
    reply->disconnect();
    reply->deleteLater();
    return result;
}

void HttpExchange::cancel() {
    m_cancelled = true;
    if (m_reply && !m_reply->isFinished())
        m_reply->abort();
}

void HttpExchange::wire(QNetworkReply *reply, QEventLoop &loop) {
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
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
