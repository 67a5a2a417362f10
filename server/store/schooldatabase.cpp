#include "server/store/schooldatabase.h"

#include "errors/apperror.h"
#include "server/ops/servermetrics.h"
#include "server/store/schema.h"
#include "server/store/storelog.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QAtomicInt>
#include <QFileInfo>
#include <QSqlError>
#include <QUrl>
#include <map>

namespace {
QAtomicInt connectionCounter;

// The writers' lock of a database file, shared by the connections of this process.
QMutex *WritersOf(const QString &file) {
    static QMutex registryLock;
    static std::map<QString, std::unique_ptr<QMutex>> registry; // as long as the process
    QMutexLocker guard(&registryLock);
    std::unique_ptr<QMutex> &lock = registry[QFileInfo(file).absoluteFilePath()];
    if (!lock)
        lock = std::make_unique<QMutex>();
    return lock.get();
}

AppError SqlFailure(const QString &what, const QSqlError &error) {
    return AppError(QStringLiteral("database error (%1): %2").arg(what, error.text()));
}
} // namespace

bool SchoolDatabase::IsPostgresLocation(const QString &location) {
    return location.startsWith(QLatin1String("postgresql://")) ||
           location.startsWith(QLatin1String("postgres://"));
}

SchoolDatabase::SchoolDatabase(const QString &location)
    : m_connectionName(QStringLiteral("school-%1").arg(connectionCounter.fetchAndAddOrdered(1))),
      m_postgres(IsPostgresLocation(location)) {
    if (m_postgres)
        openPostgres(location);
    else
        openSqlite(location);
    createSchemaIfMissing();
}

void SchoolDatabase::openSqlite(const QString &file) {
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(file);
    m_writers = WritersOf(file);
    if (!m_db.open())
        throw SqlFailure(QStringLiteral("open ") + file, m_db.lastError());
    run(QStringLiteral("PRAGMA journal_mode=WAL"));
    run(QStringLiteral("PRAGMA synchronous=NORMAL"));
    run(QStringLiteral("PRAGMA busy_timeout=5000"));
    // A page cache large enough for the whole school. Pages are read into it rather than
    // mapped: with sign-ins writing all the time, the mapping is renewed as the file grows and
    // every page faults in again, which cost the request threads more than the reads (about
    // 3.5 against 1.9 ms of CPU per request under 50 clients signing in and fetching).
    run(QStringLiteral("PRAGMA cache_size=-65536"));
    run(QStringLiteral("PRAGMA mmap_size=0"));
    run(QStringLiteral("PRAGMA temp_store=MEMORY"));
}

void SchoolDatabase::openPostgres(const QString &url) {
    const QUrl parsed(url);
    const QString name = parsed.path().mid(1);
    if (!parsed.isValid() || parsed.host().isEmpty() || name.isEmpty())
        throw AppError(QStringLiteral("expected postgresql://user@host/dbname, got %1")
                           .arg(parsed.toString(QUrl::RemovePassword)));
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connectionName);
    if (!m_db.isValid())
        throw AppError(QStringLiteral("this installation has no PostgreSQL driver for QtSql"));
    m_db.setHostName(parsed.host());
    if (parsed.port() > 0)
        m_db.setPort(parsed.port());
    m_db.setUserName(parsed.userName());
    m_db.setPassword(parsed.password());
    m_db.setDatabaseName(name);
    if (!m_db.open())
        throw SqlFailure(QStringLiteral("open ") + parsed.toString(QUrl::RemovePassword),
                         m_db.lastError());
    run(QStringLiteral("SET client_min_messages TO WARNING"));
}

// Several connections (threads, or server processes on one PostgreSQL database) may start
// at once: on PostgreSQL the creation runs under a lock and looks again once it holds it.
void SchoolDatabase::createSchemaIfMissing() {
    auto hasUsers = [this] {
        return m_db.tables().contains(QStringLiteral("USERS"), Qt::CaseInsensitive);
    };
    if (hasUsers()) {
        addSchemaAdditionsIfMissing();
        if (!m_postgres &&
            scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                   {QStringLiteral("sqlite_stat1")})
                    .toInt() == 0)
            refreshStatistics(); // a school filled by other means: let the planner see its size
        return;
    }
    Transaction transaction(*this);
    if (!m_postgres || !hasUsers()) {
        for (QString statement : SchemaStatements()) {
            if (m_postgres)
                statement.replace(QLatin1String(" BLOB"), QLatin1String(" BYTEA"));
            run(statement);
        }
        for (const QString &statement : SchemaAdditions(m_postgres))
            run(statement);
        for (const QString &statement : LaterIndexes())
            run(statement);
    }
    transaction.commit();
}

// Schools created before the additions get them: the version table and its triggers (when
// there is no DATAVERSIONS table), the later indexes, and the table of lesson notes.
void SchoolDatabase::addSchemaAdditionsIfMissing() {
    auto hasVersions = [this] {
        return m_db.tables().contains(QStringLiteral("DATAVERSIONS"), Qt::CaseInsensitive);
    };
    // The last of the later indexes tells whether they are all there.
    const QString lastIndex = QStringLiteral("TIMETABLE_USERHOURS");
    const bool indexed =
        (m_postgres ? scalar(QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE indexname = ?"),
                             {lastIndex.toLower()})
                    : scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                             {lastIndex}))
            .toInt() > 0;
    const bool hasNotes =
        m_db.tables().contains(QStringLiteral("LESSONNOTES"), Qt::CaseInsensitive);
    if (hasVersions() && indexed && hasNotes)
        return;
    Transaction transaction(*this);
    if (!hasNotes) {
        QString table = LessonNotesTable();
        if (m_postgres)
            table.replace(QLatin1String(" BLOB"), QLatin1String(" BYTEA"));
        run(table);
        run(LessonNotesIndex());
    }
    if (!hasVersions()) {
        for (const QString &statement : SchemaAdditions(m_postgres))
            run(statement);
    }
    for (const QString &statement : LaterIndexes())
        run(statement);
    transaction.commit();
}

SchoolDatabase::~SchoolDatabase() {
    m_kept.clear(); // the statements go before their connection
    m_db.close();
    releaseWriter();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlQuery SchoolDatabase::run(const QString &sql, const QVariantList &binds) {
    if (m_lost)
        reconnect();
    try {
        return execute(sql, binds);
    } catch (const AppError &) {
        if (!connectionLost())
            throw;
        // The server went away and is back: a statement outside a transaction runs once
        // more on the new connection (the old one could not run it to its end).
        reconnect();
        return execute(sql, binds);
    }
}

QSqlQuery SchoolDatabase::execute(const QString &sql, const QVariantList &binds) {
    QElapsedTimer timer;
    timer.start();
    const auto counted = qScopeGuard(
        [&] { ServerMetrics::instance().countDatabaseStatement(timer.nsecsElapsed() / 1e9); });
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    // PostgreSQL prepares only data statements; the others (BEGIN, SET, CREATE, ANALYZE)
    // never carry parameters and run as they are.
    if (m_postgres && binds.isEmpty()) {
        if (!query.exec(sql))
            throw SqlFailure(sql.left(60), query.lastError());
        return query;
    }
    if (!query.prepare(sql))
        throw SqlFailure(sql.left(60), query.lastError());
    for (const QVariant &value : binds)
        query.addBindValue(value);
    if (!query.exec())
        throw SqlFailure(sql.left(60), query.lastError());
    return query;
}

// A failed statement on PostgreSQL may mean the server went away (a restart, a network
// outage); the connection is then dead for good. Whether it still answers is asked at once,
// outside a transaction only (inside one, every statement after a failure fails, and the
// transaction's work is lost anyway). A lost connection is opened anew before the next
// statement, so the server needs no restart of its own when the database is back.
bool SchoolDatabase::connectionLost() {
    if (!m_postgres || m_inTransaction)
        return false;
    QSqlQuery probe(m_db);
    if (probe.exec(QStringLiteral("SELECT 1")))
        return false;
    if (!m_lost)
        qCWarning(lcStore).noquote() << "database connection lost:" << probe.lastError().text();
    m_lost = true;
    return true;
}

void SchoolDatabase::reconnect() {
    m_db.close();
    if (!m_db.open())
        throw SqlFailure(QStringLiteral("database unavailable"), m_db.lastError());
    m_lost = false;
    qCInfo(lcStore) << "database connection opened again";
    QSqlQuery(m_db).exec(QStringLiteral("SET client_min_messages TO WARNING"));
}

// Statements past this many run unkept: texts that vary with a request's values.
constexpr size_t kMaxKept = 256;

KeptQuery SchoolDatabase::runKept(const QString &sql, const QVariantList &binds) {
    if (m_postgres)
        return KeptQuery(run(sql, binds));
    auto it = m_kept.find(sql);
    if (it == m_kept.end()) {
        if (m_kept.size() >= kMaxKept)
            return KeptQuery(run(sql, binds));
        auto kept = std::make_unique<Kept>();
        kept->query = QSqlQuery(m_db);
        kept->query.setForwardOnly(true);
        if (!kept->query.prepare(sql))
            throw SqlFailure(sql.left(60), kept->query.lastError());
        it = m_kept.emplace(sql, std::move(kept)).first;
    }
    Kept &kept = *it->second;
    if (kept.busy) // the same text run again while its first run is still read
        return KeptQuery(run(sql, binds));
    for (int i = 0; i < binds.size(); ++i)
        kept.query.bindValue(i, binds[i]);
    if (!kept.query.exec()) {
        const QSqlError error = kept.query.lastError();
        kept.query.finish();
        throw SqlFailure(sql.left(60), error);
    }
    kept.busy = true;
    return KeptQuery(kept.query, kept.busy);
}

QVariant SchoolDatabase::scalar(const QString &sql, const QVariantList &binds) {
    KeptQuery query = runKept(sql, binds);
    return query->next() ? query->value(0) : QVariant();
}

qint64 SchoolDatabase::nextId(const QString &table, const QString &keyColumn) {
    // Table and column names come from the server's own constants, never from a request.
    return scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(keyColumn, table)).toLongLong() + 1;
}

void SchoolDatabase::refreshStatistics() {
    run(QStringLiteral("ANALYZE"));
    if (!m_postgres)
        run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool SchoolDatabase::isEmpty() {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM USERS")).toLongLong() == 0;
}

// Every transaction of the server writes, so it takes the write lock when it begins: two
// transactions that first read and then write could otherwise each hold a snapshot that the
// other one's write makes stale. Request threads wait for the lock (busy timeout).
//
// On PostgreSQL the same holds across server processes: every writing transaction takes
// one transaction-scoped advisory lock, so keys taken as MAX + 1 never collide.
//
// The request threads of this process first queue on a lock of their own: SQLite's busy
// handler would make a waiting writer sleep in steps of up to 100 ms, while the lock wakes
// it as soon as the writer before it is done. Other processes still meet the busy timeout.
void SchoolDatabase::begin() {
    if (!m_postgres) {
        const bool took = !m_writing; // a second begin fails below, as SQLite refuses it
        if (took) {
            m_writers->lock();
            m_writing = true;
        }
        try {
            run(QStringLiteral("BEGIN IMMEDIATE"));
        } catch (...) {
            if (took)
                releaseWriter();
            throw;
        }
        return;
    }
    run(QStringLiteral("BEGIN"));
    m_inTransaction = true;
    run(QStringLiteral("SELECT pg_advisory_xact_lock(7482001)"));
}

void SchoolDatabase::beginRead() {
    run(m_postgres ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ, READ ONLY")
                   : QStringLiteral("BEGIN DEFERRED"));
    m_inTransaction = true;
}

void SchoolDatabase::commit() {
    m_inTransaction = false;
    const bool done = m_db.commit();
    if (done)
        releaseWriter();
    else
        throw SqlFailure(QStringLiteral("commit"), m_db.lastError());
}

void SchoolDatabase::rollback() {
    m_inTransaction = false;
    m_db.rollback();
    releaseWriter();
}

void SchoolDatabase::releaseWriter() {
    if (m_writing) {
        m_writing = false;
        m_writers->unlock();
    }
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit() {
    m_db.commit();
    m_done = true;
}
