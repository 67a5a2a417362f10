#pragma once

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QString>
#include <functional>
#include <memory>

// One signed-in user's session as the server keeps it. Everything but the last use and the
// addresses is fixed when the session is made; those two change only under the store's lock.
struct Session {
    QString id;
    qint64 family = 0; // every id handed out for one sign-in (renewals included)
    qint64 userId = 0;
    int userType = 4;
    int jobId = 0;
    int envLang = 2; // 2 Czech, 3 Slovak
    QDateTime created;
    QDateTime lastUsed;
    QList<QHostAddress> addresses; // every address the session was used from
};

class SessionTable;

// Sessions by id: creation at sign-in, lookup with idle expiry, renewal and sign-out. Every
// request thread uses the one store; each call holds its lock. On PostgreSQL the sessions
// live in the database, so that several server processes share them.
class SessionStore {
public:
    explicit SessionStore(qint64 timeoutSeconds);
    ~SessionStore();
    // Keeps the sessions in the database at the location from now on.
    void keepInDatabase(const QString &location);

    std::shared_ptr<const Session> create(const Session &values, const QDateTime &now,
                                          const QHostAddress &address);
    // The session of an id, or nullptr when it is unknown or has been idle too long.
    std::shared_ptr<const Session> find(const QString &id, const QDateTime &now);
    // Marks the session as used now from the address.
    void touch(const Session &session, const QDateTime &now, const QHostAddress &address);
    // Hands out a new id for the session; the old id stays valid until it idles out,
    // because a client only picks up a renewal when it looks for one.
    std::shared_ptr<const Session> renew(const Session &session, const QDateTime &now);
    // Ends the sign-in: every id of the session's family.
    void remove(const Session &session);
    // Ends every session of a user but those of one sign-in (0: all of them).
    void removeUser(qint64 userId, qint64 keepFamily = 0);
    // The sign-in (family) of a live session of the user in the job, on the given side of a
    // lesson (student: user type 4), that has been used from the address; 0 when none has.
    qint64 liveSessionFamily(qint64 userId, int jobId, bool student, const QHostAddress &address,
                             const QDateTime &now);

    // How long a relay token proves a sign-on after it was issued.
    static constexpr qint64 RelayTokenSeconds = 120;
    // A token that proves a relay sign-on of the session's user until RelayTokenSeconds have
    // passed: "family-expiry-nonce-mac", the mac keyed with the session's own secret id, so any
    // server process that shares the sessions can check it and it dies with the sign-in.
    QByteArray relayToken(const Session &session, const QDateTime &now) const;
    // The live session a token was issued to; nullptr when the token is malformed, forged or
    // expired, or its sign-in has ended.
    std::shared_ptr<const Session> relayTokenSession(const QByteArray &token,
                                                     const QDateTime &now);
    // Whether the sign-in still has a live session; if so, its newest session counts as used
    // now (a lesson on the relay keeps the sign-in alive).
    bool keepFamily(qint64 family, const QDateTime &now);
    // Called (on the thread that ended them) after sessions were ended by sign-out, password
    // change or a switched-off account.
    void setEndListener(std::function<void()> listener) { m_endListener = std::move(listener); }

private:
    bool expired(const Session &session, const QDateTime &now) const;
    void purge(const QDateTime &now);
    static QString NewId();
    static qint64 NewFamily();
    // Whether the session gains an address or its last use is worth writing down.
    static bool Touch(Session &s, const QDateTime &now, const QHostAddress &address);

    std::shared_ptr<Session> newestOfFamily(qint64 family, const QDateTime &now);

    std::function<void()> m_endListener;
    QMutex m_lock;
    qint64 m_timeoutSeconds;
    qint64 m_nextFamily = 1;
    QDateTime m_lastPurge;
    QHash<QString, std::shared_ptr<Session>> m_sessions;
    std::unique_ptr<SessionTable> m_table;
};
