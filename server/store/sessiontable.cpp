#include "server/store/sessiontable.h"

#include "server/packets/packetfields.h"
#include "server/store/schooldatabase.h"

namespace {

const QString kColumns =
    QStringLiteral("SESID, FAMILY, IDUSER, USERTYPE, IDJOB, ENVLANG, CREATED, LASTUSED, ADDRESSES");

QString AddressText(const QList<QHostAddress> &addresses) {
    QStringList texts;
    for (const QHostAddress &a : addresses)
        texts << a.toString();
    return texts.join(QLatin1Char(' '));
}

// Times are stored as the wall-clock values the server's clock gives.
QDateTime Local(const QDateTime &wall) {
    return QDateTime(wall.date(), wall.time());
}

std::shared_ptr<Session> FromRow(const QSqlQuery &q) {
    auto s = std::make_shared<Session>();
    s->id = q.value(0).toString();
    s->family = q.value(1).toLongLong();
    s->userId = q.value(2).toLongLong();
    s->userType = q.value(3).toInt();
    s->jobId = q.value(4).toInt();
    s->envLang = q.value(5).toInt();
    s->created = Local(StoredWallTime(q.value(6)));
    s->lastUsed = Local(StoredWallTime(q.value(7)));
    for (const QString &a : q.value(8).toString().split(QLatin1Char(' '), Qt::SkipEmptyParts))
        s->addresses << QHostAddress(a);
    return s;
}

} // namespace

SchoolDatabase &SessionTable::db() {
    if (!m_connections.hasLocalData())
        m_connections.setLocalData(new SchoolDatabase(m_location));
    return *m_connections.localData();
}

void SessionTable::insert(const Session &s) {
    db().run(QStringLiteral("INSERT INTO SESSIONS (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                 .arg(kColumns),
             {s.id, s.family, s.userId, s.userType, s.jobId, s.envLang, Local(s.created),
              Local(s.lastUsed), AddressText(s.addresses)});
}

std::shared_ptr<Session> SessionTable::load(const QString &id) {
    QSqlQuery q =
        db().run(QStringLiteral("SELECT %1 FROM SESSIONS WHERE SESID = ?").arg(kColumns), {id});
    return q.next() ? FromRow(q) : nullptr;
}

void SessionTable::save(const Session &s) {
    db().run(QStringLiteral("UPDATE SESSIONS SET LASTUSED = ?, ADDRESSES = ? WHERE SESID = ?"),
             {Local(s.lastUsed), AddressText(s.addresses), s.id});
}

void SessionTable::removeFamily(qint64 family) {
    db().run(QStringLiteral("DELETE FROM SESSIONS WHERE FAMILY = ?"), {family});
}

void SessionTable::removeUser(qint64 userId, qint64 keepFamily) {
    db().run(QStringLiteral("DELETE FROM SESSIONS WHERE IDUSER = ? AND FAMILY <> ?"),
             {userId, keepFamily});
}

QList<std::shared_ptr<Session>> SessionTable::ofUser(qint64 userId) {
    QSqlQuery q = db().run(QStringLiteral("SELECT %1 FROM SESSIONS WHERE IDUSER = ?").arg(kColumns),
                           {userId});
    QList<std::shared_ptr<Session>> sessions;
    while (q.next())
        sessions << FromRow(q);
    return sessions;
}

QList<std::shared_ptr<Session>> SessionTable::ofFamily(qint64 family) {
    QSqlQuery q = db().run(
        QStringLiteral("SELECT %1 FROM SESSIONS WHERE FAMILY = ?").arg(kColumns), {family});
    QList<std::shared_ptr<Session>> sessions;
    while (q.next())
        sessions << FromRow(q);
    return sessions;
}

void SessionTable::removeIdle(const QDateTime &before) {
    db().run(QStringLiteral("DELETE FROM SESSIONS WHERE LASTUSED < ?"), {Local(before)});
}
