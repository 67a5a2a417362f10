#include "testdatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

namespace {

QString FileNamed() {
    return qEnvironmentVariable("TELLAVO_TEST_PG_FILE");
}

// The administrative address of the private server, or empty.
QString AdminUrl() {
    QFile file(FileNamed());
    if (FileNamed().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

// Runs one statement on the server's administrative database.
bool Admin(const QString &statement, QString *error = nullptr) {
    const QUrl url(AdminUrl());
    const QString name = QStringLiteral("testadmin-") + QUuid::createUuid().toString();
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(url.host());
        db.setPort(url.port());
        db.setUserName(url.userName());
        db.setDatabaseName(url.path().mid(1));
        ok = db.open() && QSqlQuery(db).exec(statement);
        if (!ok && error)
            *error = db.lastError().text();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

} // namespace

namespace TestDatabase {

bool UsesPostgres() {
    return !FileNamed().isEmpty();
}

QString PostgresUnavailable() {
    if (!UsesPostgres())
        return {};
    if (AdminUrl().isEmpty()) {
        QFile reason(QFileInfo(FileNamed()).path() + QStringLiteral("/skipped"));
        return reason.open(QIODevice::ReadOnly)
                   ? QString::fromUtf8(reason.readAll()).trimmed()
                   : QStringLiteral("no PostgreSQL server was started");
    }
    QString error;
    if (!Admin(QStringLiteral("SELECT 1"), &error))
        return QStringLiteral("the PostgreSQL server does not answer: ") + error;
    return {};
}

QString Create() {
    if (!UsesPostgres())
        return {};
    const QString name = QStringLiteral("t") + QUuid::createUuid().toString(QUuid::Id128).left(16);
    QString error;
    if (!Admin(QStringLiteral("CREATE DATABASE ") + name, &error))
        qWarning("cannot create a test database: %s", qPrintable(error));
    QUrl url(AdminUrl());
    url.setPath(QLatin1Char('/') + name);
    return url.toString();
}

void Drop(const QString &location) {
    if (location.isEmpty())
        return;
    Admin(QStringLiteral("DROP DATABASE IF EXISTS ") + QUrl(location).path().mid(1) +
          QStringLiteral(" WITH (FORCE)"));
}

} // namespace TestDatabase
