#pragma once

#include "net/networkfailure.h"

#include <QByteArray>
#include <QEventLoop>
#include <QNetworkRequest>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class TransferObserver;

// A window shown while a direct exchange takes long: it follows the progress and offers the
// way out (its cancel ends the exchange). Made by the factory installed with
// HttpExchange::setSlowWindowFactory; destroyed when the exchange ends.
class SlowExchangeWindow {
public:
    virtual ~SlowExchangeWindow() = default;
    virtual TransferObserver *observer() = 0;
};
using SlowWindowFactory =
    std::function<std::unique_ptr<SlowExchangeWindow>(std::function<void()> cancel)>;

// What one HTTP exchange ended with.
struct ExchangeResult {
    bool failed = true;     // no complete reply: transport or TLS error, HTTP error status
                            // (4xx, 5xx), a reply beyond the size bound, or cancel
    bool cancelled = false; // cancel() was called while the exchange ran
    int status = 0;         // the HTTP status when one arrived
    int retryAfter = 0;     // the reply's "Retry-After" in seconds (0 when none or not a number)
    QByteArray body;        // the reply body (also of failed exchanges, as far as it came)
    QString errorText;      // the transport's description of a failure
    NetworkFailure failure = NetworkFailure::None;
};

// Performs one HTTP exchange synchronously on the calling thread: sends the request through
// the given client, runs a local event loop until the reply has ended, reports the progress
// to an optional observer, and can be cancelled from inside that loop (a button, a timer, the
// observer). Replies are held whole in memory, up to kMaxReplySize. No exchange waits for
// ever: one without any sign of progress (connection, bytes sent or received) for
// requestTimeout() seconds (the RequestTimeout setting) ends as timed out. A direct exchange (one
// that holds user input back) that takes longer than setSlowAfterMs shows the slow window, whose
// cancel ends it.
class HttpExchange {
public:
    static constexpr qint64 kMaxReplySize = qint64(1) << 30;
    static constexpr int kDefaultSlowAfterMs = 2000;

    static constexpr int kDefaultRequestTimeout = 30;

    // Seconds without progress before an exchange ends as timed out; below 1 the default.
    static void setRequestTimeout(int seconds);
    static int requestTimeout();
    static void setSlowWindowFactory(SlowWindowFactory factory);
    static void setSlowAfterMs(int ms);

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
    void waitForEnd(QNetworkReply *reply, QEventLoop &loop, QEventLoop::ProcessEventsFlags flags);
    void showSlowWindow();
    void sawProgress();
    void timedOut();
    void markConnected();
    void uploadProgress(qint64 sent, qint64 total);
    void headersReceived();
    void downloadProgress(qint64 received, qint64 total);
    void endDownload();
    void abortTooLarge();

    QNetworkAccessManager &m_client;
    TransferObserver *m_observer;
    QPointer<QNetworkReply> m_reply;
    QTimer *m_idle = nullptr;
    std::unique_ptr<SlowExchangeWindow> m_slowWindow;
    bool m_slowWanted = false;
    bool m_sslErrors = false;
    bool m_timedOut = false;
    bool m_cancelled = false;
    bool m_tooLarge = false;
    bool m_connected = false;
    bool m_uploadBegun = false;
    bool m_uploadEnded = false;
    bool m_downloadBegun = false;
    bool m_downloadEnded = false;
    qint64 m_uploadTotal = 0;
    qint64 m_downloadTotal = 0;
};
