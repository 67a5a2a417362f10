#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QPointer>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class TransferObserver;

// What one HTTP exchange ended with.
struct ExchangeResult {
    bool failed = true;     // no complete reply: transport or TLS error, HTTP error status
                            // (4xx, 5xx), a reply beyond the size bound, or cancel
    bool cancelled = false; // cancel() was called while the exchange ran
    int status = 0;         // the HTTP status when one arrived
    QByteArray body;        // the reply body (also of failed exchanges, as far as it came)
    QString errorText;      // the transport's description of a failure
};

// Performs one HTTP exchange synchronously on the calling thread: sends the request through
// the given client, runs a local event loop until the reply has ended, reports the progress
// to an optional observer, and can be cancelled from inside that loop (a button, a timer, the
// observer). Replies are held whole in memory, up to kMaxReplySize.
class HttpExchange {
public:
    static constexpr qint64 kMaxReplySize = qint64(1) << 30;

    explicit HttpExchange(QNetworkAccessManager &client, TransferObserver *observer = nullptr);
    HttpExchange(const HttpExchange &) = delete;
    HttpExchange &operator=(const HttpExchange &) = delete;

    // Sends the request with the verb ("GET", "POST", ...) and body and waits for the end.
    // The loop's flags decide which events are processed meanwhile (for example no user input).
    ExchangeResult run(const QNetworkRequest &request, const QByteArray &verb,
                       const QByteArray &body,
                       QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
    // Closes the connection at once; the exchange then ends as cancelled.
    void cancel();
    bool isRunning() const { return !m_reply.isNull(); }

private:
    void wire(QNetworkReply *reply, QEventLoop &loop);
    void markConnected();
    void uploadProgress(qint64 sent, qint64 total);
    void headersReceived();
    void downloadProgress(qint64 received, qint64 total);
    void endDownload();
    void abortTooLarge();

    QNetworkAccessManager &m_client;
    TransferObserver *m_observer;
    QPointer<QNetworkReply> m_reply;
    bool m_cancelled = false;
    bool m_tooLarge = false;
    bool m_connected = false;
    bool m_uploadBegun = false;
    bool m_uploadEnded = false;
    bool m_downloadBegun = false;
    bool m_downloadEnded = false;
};
