#pragma once

#include "server/store/sessionstore.h"

#include <QThreadStorage>

class SchoolDatabase;

// Sessions kept in the school database, so that every server process on one PostgreSQL
// database knows every sign-in. Each thread reads and writes through its own connection.
class SessionTable {
public:
    explicit SessionTable(QString location) : m_location(std::move(location)) {}

    void insert(const Session &session);
    std::shared_ptr<Session> load(const QString &id);
    void save(const Session &session); // last use and addresses
    void removeFamily(qint64 family);
    void removeUser(qint64 userId, qint64 keepFamily);
    QList<std::shared_ptr<Session>> ofUser(qint64 userId);
    QList<std::shared_ptr<Session>> ofFamily(qint64 family);
    void removeIdle(const QDateTime &before);

private:
    SchoolDatabase &db();

    QString m_location;
    QThreadStorage<SchoolDatabase *> m_connections;
};
