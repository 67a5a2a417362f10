#include "server/centralserver.h"

#include "errors/apperror.h"
#include "server/booking/bookingschema.h"
#include "server/booking/remindertimer.h"
#include "server/http/guardedlisteners.h"
#include "server/http/httplog.h"
#include "server/http/requestthread.h"
#include "server/http/signinlane.h"
#include "server/ops/opsfront.h"
#include "server/ops/schoolbackup.h"
#include "server/packets/clienttimetable.h"
#include "server/packets/freeslotcache.h"
#include "server/seed/demoseed.h"
#include "server/seed/largeseed.h"

#include <QDir>
#include <QPointer>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QTcpServer>
#include <QThread>
#include <QTimer>
#include <malloc.h>
#include <unistd.h>

#ifdef TELLAVO_WITH_RELAY
#include "server/relay/relayhub.h"
#include "server/relay/relaylog.h"
#endif

namespace {

// Memory a request frees stays with the process for the next one instead of going back to
// the system at once: requests free their database pages (every other connection's write
// empties a connection's page cache) and reply buffers all the time, and taking the memory
// back from the system made each request fault its pages in again (about a fifth of the
// request threads' time under 50 clients signing in and fetching).
void KeepFreedMemory() {
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
    mallopt(M_TOP_PAD, 16 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
}

// What is kept stays only for a while: every half minute the memory freed in every thread's
// heap goes back to the system, so that a spike of large requests does not hold its memory
// for the rest of the process's life.
constexpr int kTrimIntervalMs = 30000;

} // namespace

CentralServer::CentralServer(const ServerOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_sessions(options.sessionTimeoutSeconds),
      m_throttle(options.signInFailuresPerName, options.signInFailuresPerAddress) {
    m_options.dataFolder = QDir(m_options.dataFolder).absolutePath();
    if (m_options.relayHost.isEmpty())
        m_options.relayHost = DefaultRelayHost(m_options);
    if (m_options.databaseFile.isEmpty())
        m_options.databaseFile = m_options.dataFolder + QStringLiteral("/school.sqlite");
    KeepFreedMemory();
    if (m_options.freeSlotPieceRows > 0)
        m_freeSlots = std::make_unique<FreeSlotCache>(m_options.freeSlotPieceRows);
}

CentralServer::~CentralServer() {
    qDeleteAll(m_listeners); // no more connections first, then the threads that serve them
    m_listeners.clear();
    m_signInLane.reset(); // its sign-ins hand their replies to the request threads
    m_threads.clear();
    if (m_schoolLock >= 0)
        ::close(m_schoolLock);
}

QStringList CentralServer::start() {
    prepareDataFolder();
    m_db = std::make_unique<SchoolDatabase>(m_options.databaseFile);
    if (m_db->isPostgres())
        m_sessions.keepInDatabase(m_options.databaseFile);
    CreateBookingTables(*m_db);
    seedIfAsked();
    primeFreeSlots();
    if (m_options.bookingFeatures)
        StartReminderTimer(this, *m_db, m_options, m_clock);
    m_limits = requestLimits();
    if (!m_options.tlsListen.isEmpty())
        tlsConfiguration();
    startRequestThreads();
    auto *trim = new QTimer(this);
    connect(trim, &QTimer::timeout, this, [] { malloc_trim(0); });
    trim->start(kTrimIntervalMs);
    // The relay first: it hooks itself to the sessions before any request can end one.
    const QStringList relayLines = startRelay();
    QStringList lines;
    for (const ListenAddress &address : m_options.listen)
        lines << listenHttp(address, false);
    for (const ListenAddress &address : m_options.tlsListen)
        lines << listenHttp(address, true);
    return lines + relayLines + startMetrics();
}

// The free slots of every job are read before the first request, in both languages, so that
// the first students after a start do not wait for them.
void CentralServer::primeFreeSlots() {
    if (!m_freeSlots)
        return;
    QList<int> jobs;
    {
        QSqlQuery q = m_db->run(
            QStringLiteral("SELECT DISTINCT IDJOB FROM USERS WHERE USERTYPE = 4 ORDER BY IDJOB"));
        while (q.next())
            jobs << q.value(0).toInt();
    }
    const ActionRequest request;
    const OnlineClientIds none = [] { return QStringList(); };
    for (const int job : jobs) {
        for (const int language : {2, 3}) {
            Session student;
            student.userType = 4;
            student.jobId = job;
            student.envLang = language;
            ActionContext ctx{request,
                              std::make_shared<const Session>(student),
                              *m_db,
                              m_sessions,
                              m_throttle,
                              m_options,
                              m_clock,
                              none,
                              m_freeSlots.get()};
            PrimeFreeSlots(ctx, *m_freeSlots);
        }
    }
}

void CentralServer::prepareDataFolder() {
    const QString root = m_options.dataFolder;
    // The school's data is for the server's own user only: folders it creates are 0700, and
    // the database is created 0600 before SQLite opens it (its WAL files take that mode).
    constexpr QFileDevice::Permissions ownerOnly =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    for (const QString &sub : {QString(), QStringLiteral("/outbox"), QStringLiteral("/books"),
                               QStringLiteral("/update")}) {
        const bool existed = QDir(root + sub).exists();
        if (!QDir().mkpath(root + sub))
            throw AppError(QStringLiteral("cannot create the folder %1").arg(root + sub));
        if (!existed || sub == QLatin1String("/outbox"))
            QFile::setPermissions(root + sub, ownerOnly);
    }
    if (!m_options.databaseFile.contains(QLatin1String("://"))) {
        // Held while the server runs, so that a restore never replaces a school in use.
        m_schoolLock = SchoolBackup::TakeLock(m_options.databaseFile, false);
        if (m_schoolLock < 0)
            throw AppError(QStringLiteral("%1 is being restored").arg(m_options.databaseFile));
    }
    if (!m_options.databaseFile.contains(QLatin1String("://")) &&
        !QFile::exists(m_options.databaseFile)) {
        QFile db(m_options.databaseFile);
        if (db.open(QIODevice::WriteOnly))
            db.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    // A stand-in for the update program, so the download works in a fresh installation;
    // a real installation replaces it with its installer.
    const QString update = root + QStringLiteral("/update/update.exe");
    if (!QFile::exists(update)) {
        QSaveFile file(update);
        if (file.open(QIODevice::WriteOnly)) {
            file.write("#!/bin/sh\necho \"Tellavo update stand-in\" \"$@\"\n");
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
            file.commit();
        }
    }
}

void CentralServer::seedIfAsked() {
    if (m_options.seed.isEmpty())
        return;
    if (!m_db->isEmpty()) {
        QTextStream(stdout) << "database already holds a school; --seed " << m_options.seed
                            << " skipped" << Qt::endl;
        return;
    }
    if (m_options.seed == QLatin1String("large"))
        SeedLargeSchool(*m_db, m_options, m_clock.now());
    else
        SeedDemoSchool(*m_db, m_options, m_clock.now());
    m_db->refreshStatistics();
}

QSslConfiguration CentralServer::tlsConfiguration() {
    if (m_tlsReady)
        return m_tls;
    if (!m_options.certificateFile.isEmpty() || !m_options.keyFile.isEmpty()) {
        if (m_options.certificateFile.isEmpty() || m_options.keyFile.isEmpty())
            throw AppError(QStringLiteral("--cert and --key must be given together"));
        m_certificates = {QString(), m_options.certificateFile, m_options.keyFile};
    } else {
        QStringList names{QStringLiteral("localhost"), QStringLiteral("127.0.0.1"),
                          QStringLiteral("::1")};
        for (const ListenAddress &a : m_options.tlsListen + m_options.relayTls)
            names << a.host.toString();
        if (!m_options.relayHost.isEmpty())
            names << m_options.relayHost;
        m_certificates =
            EnsureServerCertificates(m_options.dataFolder + QStringLiteral("/certs"), names);
    }
    m_tls = LoadServerTlsConfiguration(m_certificates);
    m_tlsReady = true;
    return m_tls;
}

RequestLimits CentralServer::requestLimits() {
    RequestLimits limits;
    limits.maxRequestBytes = m_options.maxRequestBytes;
    limits.maxAnonymousBodyBytes = m_options.maxAnonymousBodyBytes;
    limits.deadlineMs = m_options.requestDeadlineSeconds * 1000;
    limits.maxPerAddress = m_options.maxConnectionsPerAddress;
    SessionStore *sessions = &m_sessions;
    ServerClock *clock = &m_clock;
    limits.liveSession = [sessions, clock](QByteArrayView target) {
        const qsizetype query = target.indexOf('?');
        if (query < 0)
            return false;
        const FormFields fields = ParseFormFields(target.sliced(query + 1).toByteArray());
        try {
            return sessions->find(QString::fromLatin1(fields.value("PHPSESSID")), clock->now()) !=
                   nullptr;
        } catch (const std::exception &error) {
            // The database is away: no session can be proved, so the body is not read.
            qCWarning(lcRefusal).noquote() << "session check failed:" << error.what();
            return false;
        }
    };
    return limits;
}

// One request thread per core for the embedded database, whose requests never wait: more
// threads only share the cores, and a sign-in answered first in its thread still waited for
// its turn of the core (sign-in p99 under load 56-84 ms with two per core, 49-60 ms with
// one). Two per core for PostgreSQL, whose requests wait for its answers.
void CentralServer::startRequestThreads() {
    const int perCore = m_db->isPostgres() ? 2 : 1;
    const int count =
        m_options.threads > 0 ? m_options.threads : qMax(2, perCore * QThread::idealThreadCount());
    const OnlineClientIds online = [this] { return onlineClientIds(); };
    if (m_options.signInThreads > 0)
        m_signInLane = std::make_unique<SignInLane>(
            SignInLane::Shared{m_options.databaseFile, m_sessions, m_throttle, m_options,
                               m_clock, online, m_freeSlots.get()},
            m_options.signInThreads);
    const RequestThread::Shared shared{
        m_options.databaseFile, m_sessions,        m_throttle, m_options, m_clock, online, m_limits,
        m_freeSlots.get(),      m_signInLane.get()};
    for (int i = 0; i < count; ++i) {
        m_threads.push_back(std::make_unique<RequestThread>(shared));
        m_threads.back()->startServing();
    }
}

void CentralServer::handOver(qintptr handle, bool tls) {
    RequestThread *least = m_threads.front().get();
    for (const auto &thread : m_threads)
        if (thread->load() < least->load())
            least = thread.get();
    least->adopt(handle, tls ? &m_tls : nullptr);
}

QStringList CentralServer::onlineClientIds() {
    OnlineClientIds source;
    {
        QMutexLocker locker(&m_onlineLock);
        source = m_online;
    }
    return source ? source() : QStringList();
}

QString CentralServer::listenHttp(const ListenAddress &address, bool tls) {
    auto *server = new AcceptingServer([this, tls](qintptr handle) { handOver(handle, tls); });
    m_listeners << server;
    if (!server->listen(address.host, address.port))
        throw AppError(
            QStringLiteral("cannot listen on %1: %2").arg(address.text(), server->errorString()));
    ListenAddress actual{address.host, server->serverPort()};
    (tls ? m_httpsPorts : m_httpPorts) << actual.port;
    return QStringLiteral("listening %1 %2").arg(tls ? "https" : "http", actual.text());
}

QStringList CentralServer::startRelay() {
    if (m_options.relay.isEmpty() && m_options.relayTls.isEmpty())
        return {};
#ifdef TELLAVO_WITH_RELAY
    m_relay = new RelayHub(this);
    QStringList lines;
    for (const ListenAddress &address : m_options.relay) {
        if (!m_relay->listen(address.host, address.port))
            throw AppError(QStringLiteral("cannot listen on %1: %2")
                               .arg(address.text(), m_relay->errorString()));
        lines << QStringLiteral("listening relay %1")
                     .arg(ListenAddress{address.host, m_relay->serverPort()}.text());
    }
    for (const ListenAddress &address : m_options.relayTls) {
        if (!m_relay->listenTls(address.host, address.port, tlsConfiguration()))
            throw AppError(QStringLiteral("cannot listen on %1: %2")
                               .arg(address.text(), m_relay->errorString()));
        lines << QStringLiteral("listening relay-tls %1")
                     .arg(ListenAddress{address.host, m_relay->tlsServerPort()}.text());
    }
    m_relay->setLimits(m_options.relayMaxPerGroup, m_options.relayMaxPerAddress);
    m_relay->setStudentsNeedTeacher(true);
    m_relay->setSignOnCheck(
        [this](const QByteArray &clientId, const QByteArray &token, const QHostAddress &address) {
            const RelaySignOnVerdict v = judgeRelaySignOn(clientId, token, address);
            return RelayHub::SignOnVerdict{v.refusal, v.family, v.proved};
        });
    m_relay->setSessionCheck(
        [this](qint64 family) {
            try {
                return m_sessions.keepFamily(family, m_clock.now());
            } catch (const std::exception &error) {
                // The database is away: nothing is known to have ended, so nothing is closed.
                qCWarning(lcRelay).noquote() << "relay session check failed:" << error.what();
                return true;
            }
        },
        m_options.relaySessionCheckMs);
    // A sign-out here ends its relay connections at once; one in another process sharing the
    // database is found by the next regular check.
    m_sessions.setEndListener([relay = QPointer<RelayHub>(m_relay)] {
        QMetaObject::invokeMethod(
            relay, [relay] { if (relay) relay->checkSessions(); }, Qt::QueuedConnection);
    });
    RelayHub *relay = m_relay;
    setOnlineClientIds([relay] { return relay->onlineClientIds(); });
    return lines;
#else
    throw AppError(QStringLiteral("this build has no lesson relay"));
#endif
}

// The operators' listener on this thread, with the health answered from its own connection.
QStringList CentralServer::startMetrics() {
    QStringList lines;
    for (const ListenAddress &address : m_options.metrics) {
        auto *front = new OpsFront(
            [this] {
                m_db->run(QStringLiteral("SELECT 1"));
                return true;
            },
            this);
        auto *server = new QTcpServer(front);
        if (!server->listen(address.host, address.port))
            throw AppError(QStringLiteral("cannot listen on %1: %2")
                               .arg(address.text(), server->errorString()));
        front->bind(server);
        lines << QStringLiteral("listening metrics %1")
                     .arg(ListenAddress{address.host, server->serverPort()}.text());
    }
    return lines;
}

quint16 CentralServer::relayPort() const {
#ifdef TELLAVO_WITH_RELAY
    return m_relay ? m_relay->serverPort() : 0;
#else
    return 0;
#endif
}

quint16 CentralServer::relayTlsPort() const {
#ifdef TELLAVO_WITH_RELAY
    return m_relay ? m_relay->tlsServerPort() : 0;
#else
    return 0;
#endif
}

// A teacher's id (job_teacher) needs a live teacher-side session of that user in that job; a
// student's id (job_teacher_student) a live session of the student himself. A token the
// server issued to that session proves it, once, from any address; without a token (clients
// before tokens) and only when the server is told to allow it, a session that has been used
// from the address the relay connection comes from does.
RelaySignOnVerdict CentralServer::judgeRelaySignOn(const QByteArray &clientId,
                                                   const QByteArray &token,
                                                   const QHostAddress &address) {
    const QList<QByteArray> parts = clientId.split('_');
    if (parts.size() < 2 || parts.size() > 3)
        return {"badclientid"};
    const int job = parts[0].toInt();
    const bool student = parts.size() == 3;
    const qint64 user = parts.last().toLongLong();
    try {
        const QDateTime now = m_clock.now();
        if (token.isEmpty()) {
            if (!m_options.relaySignOnByAddress)
                return {"tokenrequired"};
            const qint64 family = m_sessions.liveSessionFamily(user, job, student, address, now);
            return family ? RelaySignOnVerdict{{}, family, false}
                          : RelaySignOnVerdict{"nosession"};
        }
        const std::shared_ptr<const Session> s = m_sessions.relayTokenSession(token, now);
        if (!s || relayTokenUsed(token))
            return {"badtoken"};
        if (s->userId != user || s->jobId != job || (s->userType == 4) != student)
            return {"notyourid"};
        m_usedRelayTokens.insert(token, now.toSecsSinceEpoch() + SessionStore::RelayTokenSeconds);
        return {{}, s->family, true};
    } catch (const std::exception &error) {
        // Without the sessions nobody can be proved: a refusal, never the end of the process.
        qCWarning(lcRelay).noquote() << "relay sign-on check failed:" << error.what();
        return {"nosession"};
    }
}

// A token proves one sign-on: one seen on the wire cannot be used again while it is valid.
bool CentralServer::relayTokenUsed(const QByteArray &token) {
    const qint64 now = m_clock.now().toSecsSinceEpoch();
    for (auto it = m_usedRelayTokens.begin(); it != m_usedRelayTokens.end();)
        it = it.value() < now ? m_usedRelayTokens.erase(it) : std::next(it);
    return m_usedRelayTokens.contains(token);
}

void CentralServer::setOnlineClientIds(OnlineClientIds source) {
    QMutexLocker locker(&m_onlineLock);
    m_online = std::move(source);
}
