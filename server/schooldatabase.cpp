#include "server/schooldatabase.h"

#include "lang/apperror.h"
#include "server/schema.h"

#include <QAtomicInt>
#include <QSqlError>

namespace {
QAtomicInt connectionCounter;

AppError SqlFailure(const QString &what, const QSqlError &error) {
    return AppError(QStringLiteral("database error (%1): %2").arg(what, error.text()));
}
} // namespace

SchoolDatabase::SchoolDatabase(const QString &file)
    : m_connectionName(QStringLiteral("school-%1").arg(connectionCounter.fetchAndAddOrdered(1))) {
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(file);
    if (!m_db.open())
        throw SqlFailure(QStringLiteral("open ") + file, m_db.lastError());
    run(QStringLiteral("PRAGMA journal_mode=WAL"));
    run(QStringLiteral("PRAGMA synchronous=NORMAL"));
    run(QStringLiteral("PRAGMA busy_timeout=5000"));
    // A page cache and memory map large enough for the whole school keep reads off the
    // system-call path.
    run(QStringLiteral("PRAGMA cache_size=-65536"));
    run(QStringLiteral("PRAGMA mmap_size=268435456"));
    run(QStringLiteral("PRAGMA temp_store=MEMORY"));
    const QStringList tables = m_db.tables();
    if (!tables.contains(QStringLiteral("USERS"), Qt::CaseInsensitive)) {
        begin();
        for (const QString &statement : SchemaStatements())
            run(statement);
        commit();
    } else if (scalar(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name = ?"),
                      {QStringLiteral("sqlite_stat1")})
                   .toInt() == 0) {
        refreshStatistics(); // a school filled by other means: let the planner see its size
    }
}

SchoolDatabase::~SchoolDatabase() {
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlQuery SchoolDatabase::run(const QString &sql, const QVariantList &binds) {
    QSqlQuery query(m_db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw SqlFailure(sql.left(60), query.lastError());
    for (const QVariant &value : binds)
        query.addBindValue(value);
    if (!query.exec())
        throw SqlFailure(sql.left(60), query.lastError());
    return query;
}

QVariant SchoolDatabase::scalar(const QString &sql, const QVariantList &binds) {
    QSqlQuery query = run(sql, binds);
    return query.next() ? query.value(0) : QVariant();
}

qint64 SchoolDatabase::nextId(const QString &table, const QString &keyColumn) {
    // Table and column names come from the server's own constants, never from a request.
    return scalar(QStringLiteral("SELECT MAX(%1) FROM %2").arg(keyColumn, table)).toLongLong() + 1;
}

void SchoolDatabase::refreshStatistics() {
    run(QStringLiteral("ANALYZE"));
    run(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
}

bool SchoolDatabase::isEmpty() {
    return scalar(QStringLiteral("SELECT COUNT(*) FROM USERS")).toLongLong() == 0;
}

// Every transaction of the server writes, so it takes the write lock when it begins: two
// transactions that first read and then write could otherwise each hold a snapshot that the
// other one's write makes stale. Request threads wait for the lock (busy timeout).
void SchoolDatabase::begin() {
    run(QStringLiteral("BEGIN IMMEDIATE"));
}

void SchoolDatabase::commit() {
    if (!m_db.commit())
        throw SqlFailure(QStringLiteral("commit"), m_db.lastError());
}

void SchoolDatabase::rollback() {
    m_db.rollback();
}

Transaction::~Transaction() {
    if (!m_done)
        m_db.rollback();
}

void Transaction::commit() {
    m_db.commit();
    m_done = true;
}
