#pragma once

#include "net/requestoutcome.h"
#include "net/serverrequest.h"
#include "net/settings/settings.h"

#include <QDateTime>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QPointer>
#include <QSslConfiguration>

class QNetworkAccessManager;
class HttpExchange;
class TransferObserver;
struct ConnectionTarget;
struct ExchangeResult;

// Runs requests to the central server: owns the one HTTP client (shared with the remote data
// component), applies the connection settings to it, composes request addresses, judges the
// replies into result codes, and takes over a renewed session id. Requests are synchronous
// and run one inside the other at most when an event handler starts one while another waits.
class RequestRunner : public QObject {
    Q_OBJECT
public:
    // A session renewal is looked for only after this much time without a completed exchange.
    static constexpr qint64 kRenewalAfterMs = 20 * 60 * 1000;

    // The newest runner alive serves the application (see AppRequestRunner).
    explicit RequestRunner(QObject *parent = nullptr);
    ~RequestRunner() override;

    QNetworkAccessManager *httpClient() const { return m_client; }

    // Applies the proxy and TLS settings to the client and returns the base address
    // ("https://host:443"). Without arguments it reads the program's settings and connection
    // target.
    QString prepareClient(const AppSettings &settings, const ConnectionTarget &target);
    QString prepareClient();

    // A request to the address with the client's fixed settings: no cookies, the Accept header
    // and user agent of the client, redirects not followed, a new connection closed after the
    // reply, HTTP/1.1 only, no transfer compression, and the TLS configuration of the last
    // prepareClient.
    QNetworkRequest clientRequest(const QUrl &url) const;

    // Runs one request and hands back its outcome; never raises. The observer (may be null)
    // sees the progress; a direct request excludes user input while it waits.
    RequestOutcome run(const ServerRequest &call, TransferObserver *observer,
                       bool excludeUserInput);

    // Closes the connection of the running request (the innermost one) at once; it then ends
    // with result -2.
    void cancel();
    bool isRunning() const { return !m_running.isEmpty(); }

    // Closes the client's idle connections, so that the next request opens a new one with the
    // settings then in force; requests of the remote data component call it after each reply.
    void closeConnections();

    // The time of the last completed exchange by the seam's clock (settable in tests); starts
    // at the runner's creation time.
    QDateTime lastExchange() const { return m_lastExchange; }

private:
    RequestOutcome judge(const ExchangeResult &result, bool renewal, bool withSession);
    void logExchange(const QString &action, const ExchangeResult &result) const;

    QNetworkAccessManager *m_client;
    QSslConfiguration m_tls;
    QDateTime m_lastExchange;
    QList<HttpExchange *> m_running;
    QPointer<RequestRunner> m_previous;
};

// The runner of the application: the newest RequestRunner alive, or one created on first use
// as a child of the application object.
RequestRunner &AppRequestRunner();
// The application runner's HTTP client, for the remote data component.
QNetworkAccessManager *HttpClient();
// Applies the program's connection settings to the shared client; the base address.
QString PrepareClient();
