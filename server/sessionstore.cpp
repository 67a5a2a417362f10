#include "server/sessionstore.h"

#include "lang/apperror.h"

#include <openssl/rand.h>

namespace {

bool SameAddress(const QHostAddress &a, const QHostAddress &b) {
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

} // namespace

QString SessionStore::NewId() {
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw AppError(QStringLiteral("no random session id available"));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes).toHex());
}

bool SessionStore::expired(const Session &session, const QDateTime &now) const {
    return session.lastUsed.secsTo(now) > m_timeoutSeconds;
}

std::shared_ptr<const Session> SessionStore::create(const Session &values, const QDateTime &now,
                                                    const QHostAddress &address) {
    auto session = std::make_shared<Session>(values);
    session->id = NewId();
    session->created = now;
    session->lastUsed = now;
    session->addresses = {address};
    QMutexLocker locker(&m_lock);
    purge(now);
    session->family = m_nextFamily++;
    m_sessions.insert(session->id, session);
    return session;
}

std::shared_ptr<const Session> SessionStore::find(const QString &id, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    const auto it = m_sessions.constFind(id);
    if (it == m_sessions.constEnd())
        return nullptr;
    if (expired(**it, now)) {
        m_sessions.erase(it);
        return nullptr;
    }
    return *it;
}

void SessionStore::touch(const Session &session, const QDateTime &now,
                         const QHostAddress &address) {
    QMutexLocker locker(&m_lock);
    const auto it = m_sessions.constFind(session.id);
    if (it == m_sessions.constEnd())
        return;
    Session &s = **it;
    s.lastUsed = now;
    for (const QHostAddress &known : s.addresses)
        if (SameAddress(known, address))
            return;
    if (s.addresses.size() < 16)
        s.addresses.append(address);
}

std::shared_ptr<const Session> SessionStore::renew(const Session &session, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    auto renewed = std::make_shared<Session>(session);
    renewed->id = NewId();
    renewed->created = now;
    renewed->lastUsed = now;
    m_sessions.insert(renewed->id, renewed);
    return renewed;
}

void SessionStore::remove(const Session &session) {
    QMutexLocker locker(&m_lock);
    const qint64 family = session.family;
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = (*it)->family == family ? m_sessions.erase(it) : std::next(it);
}

void SessionStore::removeUser(qint64 userId, qint64 keepFamily) {
    QMutexLocker locker(&m_lock);
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = (*it)->userId == userId && (*it)->family != keepFamily ? m_sessions.erase(it)
                                                                    : std::next(it);
}

bool SessionStore::hasLiveSession(qint64 userId, int jobId, bool student,
                                  const QHostAddress &address, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    for (const std::shared_ptr<Session> &s : std::as_const(m_sessions)) {
        if (s->userId != userId || s->jobId != jobId || (s->userType == 4) != student ||
            expired(*s, now))
            continue;
        for (const QHostAddress &known : s->addresses)
            if (SameAddress(known, address))
                return true;
    }
    return false;
}

int SessionStore::count() {
    QMutexLocker locker(&m_lock);
    return static_cast<int>(m_sessions.size());
}

void SessionStore::purge(const QDateTime &now) {
    if (m_lastPurge.isValid() && m_lastPurge.secsTo(now) < 60)
        return;
    m_lastPurge = now;
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = expired(**it, now) ? m_sessions.erase(it) : std::next(it);
}
