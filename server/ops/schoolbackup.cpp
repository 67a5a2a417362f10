#include "server/ops/schoolbackup.h"

#include "errors/apperror.h"

#include <QFile>
#include <QThread>
#include <cstdio>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// One SQLite connection, closed when it goes.
class Connection {
public:
    Connection(const QString &path, int flags) {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr);
        if (rc != SQLITE_OK)
            throw AppError(QStringLiteral("cannot open %1: %2").arg(path, message()));
        sqlite3_busy_timeout(m_db, 30000);
    }
    ~Connection() { sqlite3_close(m_db); }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    sqlite3 *handle() const { return m_db; }
    QString message() const {
        return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QStringLiteral("out of memory");
    }
    // The first column of the first row of a statement; empty when there is none.
    QString value(const char *sql) const {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw AppError(QStringLiteral("cannot read the database: %1").arg(message()));
        QString result;
        if (sqlite3_step(statement) == SQLITE_ROW)
            result = QString::fromUtf8(
                reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        return result;
    }

private:
    sqlite3 *m_db = nullptr;
};

void RequireSqlite(const QString &database) {
    if (database.contains(QLatin1String("://")))
        throw AppError(QStringLiteral("--backup and --restore copy an SQLite school; a PostgreSQL "
                                      "school is copied with pg_dump and pg_restore"));
}

// Copies every page of the source's main database into the target's in one step, so the copy
// is one consistent state of the source; waits while another connection holds a lock.
void CopyPages(const Connection &from, const Connection &to) {
    sqlite3_backup *backup = sqlite3_backup_init(to.handle(), "main", from.handle(), "main");
    if (!backup)
        throw AppError(QStringLiteral("cannot start the copy: %1").arg(to.message()));
    int rc = SQLITE_OK;
    for (int tries = 0; tries < 600; ++tries) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        QThread::msleep(50);
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE)
        throw AppError(QStringLiteral("the copy failed: %1").arg(QString::fromUtf8(sqlite3_errstr(rc))));
}

// A copy must pass SQLite's own check and hold a school.
void CheckSchool(const Connection &db, const QString &path) {
    const QString integrity = db.value("PRAGMA integrity_check");
    if (integrity != QLatin1String("ok"))
        throw AppError(QStringLiteral("%1 is damaged: %2").arg(path, integrity.left(200)));
    if (db.value("SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'USERS'").isEmpty())
        throw AppError(QStringLiteral("%1 holds no school").arg(path));
}

} // namespace

int SchoolBackup::TakeLock(const QString &database, bool alone) {
    const int fd = ::open(QFile::encodeName(LockFile(database)).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        throw AppError(QStringLiteral("cannot open the lock file %1").arg(LockFile(database)));
    if (::flock(fd, (alone ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void SchoolBackup::Backup(const QString &database, const QString &file) {
    RequireSqlite(database);
    if (!QFile::exists(database))
        throw AppError(QStringLiteral("there is no school at %1").arg(database));
    const QString part = file + QStringLiteral(".part");
    QFile::remove(part);
    {
        QFile created(part);
        if (!created.open(QIODevice::WriteOnly) ||
            !created.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw AppError(QStringLiteral("cannot write %1").arg(part));
    }
    try {
        const Connection source(database, SQLITE_OPEN_READWRITE);
        const Connection copy(part, SQLITE_OPEN_READWRITE);
        CopyPages(source, copy);
        CheckSchool(copy, part);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(file).constData()) != 0) {
        QFile::remove(part);
        throw AppError(QStringLiteral("cannot write %1").arg(file));
    }
}

void SchoolBackup::Restore(const QString &file, const QString &database) {
    RequireSqlite(database);
    if (!QFile::exists(file))
        throw AppError(QStringLiteral("there is no copy at %1").arg(file));
    const int lock = TakeLock(database, true);
    if (lock < 0)
        throw AppError(QStringLiteral("a server is running on %1: stop it first").arg(database));
    try {
        const Connection copy(file, SQLITE_OPEN_READONLY);
        CheckSchool(copy, file);
        if (!QFile::exists(database)) {
            QFile created(database);
            if (!created.open(QIODevice::WriteOnly) ||
                !created.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
                throw AppError(QStringLiteral("cannot write %1").arg(database));
        }
        const Connection school(database, SQLITE_OPEN_READWRITE);
        CopyPages(copy, school);
        CheckSchool(school, database);
    } catch (...) {
        ::close(lock);
        throw;
    }
    ::close(lock);
}
