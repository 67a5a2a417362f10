#include "server/sessionstore.h"

#include "lang/apperror.h"

#include <openssl/rand.h>

QString SessionStore::NewId() {
    unsigned char bytes[16];
    if (RAND_bytes(bytes, sizeof bytes) != 1)
        throw AppError(QStringLiteral("no random session id available"));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(bytes), sizeof bytes).toHex());
}

Session &SessionStore::create(const Session &values, const QDateTime &now) {
    purge(now);
    auto session = std::make_shared<Session>(values);
    session->id = NewId();
    session->family = m_nextFamily++;
    session->created = now;
    session->lastUsed = now;
    m_sessions.insert(session->id, session);
    return *session;
}

Session *SessionStore::find(const QString &id, const QDateTime &now) {
    const auto it = m_sessions.constFind(id);
    if (it == m_sessions.constEnd())
        return nullptr;
    if ((*it)->lastUsed.secsTo(now) > m_timeoutSeconds) {
        m_sessions.erase(it);
        return nullptr;
    }
    return it->get();
}

Session &SessionStore::renew(const Session &session, const QDateTime &now) {
    auto renewed = std::make_shared<Session>(session);
    renewed->id = NewId();
    renewed->created = now;
    renewed->lastUsed = now;
    m_sessions.insert(renewed->id, renewed);
    return *renewed;
}

void SessionStore::remove(const Session &session) {
    const qint64 family = session.family;
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = (*it)->family == family ? m_sessions.erase(it) : std::next(it);
}

void SessionStore::purge(const QDateTime &now) {
    if (m_lastPurge.isValid() && m_lastPurge.secsTo(now) < 60)
        return;
    m_lastPurge = now;
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = (*it)->lastUsed.secsTo(now) > m_timeoutSeconds ? m_sessions.erase(it) : std::next(it);
}
