#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <memory>

// One signed-in user's session as the server keeps it.
struct Session {
    QString id;
    qint64 family = 0; // every id handed out for one sign-in (renewals included)
    qint64 userId = 0;
    int userType = 4;
    int jobId = 0;
    int envLang = 2; // 2 Czech, 3 Slovak
    QDateTime created;
    QDateTime lastUsed;
};

// Sessions by id: creation at sign-in, lookup with idle expiry, renewal and sign-out.
class SessionStore {
public:
    SessionStore(qint64 timeoutSeconds) : m_timeoutSeconds(timeoutSeconds) {}

    Session &create(const Session &values, const QDateTime &now);
    // The session of an id, or nullptr when it is unknown or has been idle too long.
    Session *find(const QString &id, const QDateTime &now);
    // Hands out a new id for the session; the old id stays valid until it idles out,
    // because a client only picks up a renewal when it looks for one.
    Session &renew(const Session &session, const QDateTime &now);
    // Ends the sign-in: every id of the session's family.
    void remove(const Session &session);
    int count() const { return static_cast<int>(m_sessions.size()); }

private:
    void purge(const QDateTime &now);
    static QString NewId();

    qint64 m_timeoutSeconds;
    qint64 m_nextFamily = 1;
    QDateTime m_lastPurge;
    QHash<QString, std::shared_ptr<Session>> m_sessions;
};
