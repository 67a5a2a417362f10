#pragma once

#include "server/actions/actiondispatcher.h"
#include "server/http/certificates.h"
#include "server/http/guardedlisteners.h"
#include "server/actions/loginthrottle.h"
#include "server/store/schooldatabase.h"
#include "server/serverclock.h"
#include "server/serveroptions.h"
#include "server/store/sessionstore.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <memory>
#include <vector>

// What the central server says of a relay sign-on (the relay's SignOnVerdict).
struct RelaySignOnVerdict {
    QByteArray refusal;
    qint64 family = 0;
    bool proved = false;
};

class FreeSlotCache;
class RelayHub;
class RequestThread;
class SignInLane;

// The reference central server: database, sessions, HTTP and HTTPS listeners and, when
// asked for, the lesson relay. Listeners and relay run on the thread that starts it; each
// accepted connection is served by one of a pool of request threads, the least busy one.
// The program and the tests create it the same way.
class CentralServer : public QObject {
    Q_OBJECT
public:
    explicit CentralServer(const ServerOptions &options, QObject *parent = nullptr);
    ~CentralServer() override;

    // Opens (and seeds) the database and starts every listener; returns one line per
    // listening address, e.g. "listening http 127.0.0.1:8080". Raises AppError on failure.
    QStringList start();

    // The actual ports, in the order of the options (port 0 becomes the port chosen).
    QList<quint16> httpPorts() const { return m_httpPorts; }
    QList<quint16> httpsPorts() const { return m_httpsPorts; }
    quint16 relayPort() const;
    quint16 relayTlsPort() const;

    const ServerOptions &options() const { return m_options; }
    ServerClock &clock() { return m_clock; }
    SchoolDatabase &database() { return *m_db; }
    SessionStore &sessions() { return m_sessions; }
    const CertificateFiles &certificates() const { return m_certificates; }
    // Replaces the relay as the source of the client ids on line (tests without a relay).
    void setOnlineClientIds(OnlineClientIds source);

private:
    void prepareDataFolder();
    void seedIfAsked();
    void primeFreeSlots();
    QSslConfiguration tlsConfiguration();
    RequestLimits requestLimits();
    // Judges a relay sign-on under the client id from the address, with its token (if any).
    RelaySignOnVerdict judgeRelaySignOn(const QByteArray &clientId, const QByteArray &token,
                                        const QHostAddress &address);
    bool relayTokenUsed(const QByteArray &token);
    QString listenHttp(const ListenAddress &address, bool tls);
    void startRequestThreads();
    void handOver(qintptr handle, bool tls);
    QStringList onlineClientIds();
    QStringList startRelay();
    QStringList startMetrics();

    ServerOptions m_options;
    ServerClock m_clock;
    SessionStore m_sessions;
    LoginThrottle m_throttle;
    RequestLimits m_limits;
    std::unique_ptr<FreeSlotCache> m_freeSlots;
    std::unique_ptr<SchoolDatabase> m_db;
    std::vector<std::unique_ptr<RequestThread>> m_threads;
    std::unique_ptr<SignInLane> m_signInLane;
    QList<QTcpServer *> m_listeners;
    QMutex m_onlineLock;
    OnlineClientIds m_online;
    RelayHub *m_relay = nullptr;
    QHash<QByteArray, qint64> m_usedRelayTokens; // token -> expiry (relay thread only)
    CertificateFiles m_certificates;
    int m_schoolLock = -1; // held shared while the server runs on an SQLite school
    bool m_tlsReady = false;
    QSslConfiguration m_tls;
    QList<quint16> m_httpPorts;
    QList<quint16> m_httpsPorts;
};
