#include "server/store/sessionstore.h"

#include "errors/apperror.h"
#include "server/store/sessiontable.h"

#include <QMessageAuthenticationCode>
#include <openssl/crypto.h>
#include <openssl/rand.h>

namespace {

constexpr qint64 kTouchWriteSeconds = 10; // how stale a stored last use may get

// Session ids are 32 lower-case hexadecimal digits (NewId); anything else names no session
// and never reaches the database.
bool IsSessionId(const QString &id) {
    if (id.size() != 32)
        return false;
    return std::all_of(id.cbegin(), id.cend(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
    });
}

bool SameAddress(const QHostAddress &a, const QHostAddress &b) {
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

QByteArray RandomBytes(int count) {
    QByteArray bytes(count, Qt::Uninitialized);
    if (RAND_bytes(reinterpret_cast<unsigned char *>(bytes.data()), count) != 1)
        throw AppError(QStringLiteral("no random session id available"));
    return bytes;
}

// The mac of a relay token: HMAC-SHA256 over the token's family and expiry and the user, keyed
// with the session id, cut to 128 bits in hexadecimal.
QByteArray TokenMac(const QByteArray &signedPart, const Session &session) {
    const QByteArray message = "relay " + signedPart + ' ' + QByteArray::number(session.userId);
    return QMessageAuthenticationCode::hash(message, session.id.toLatin1(),
                                            QCryptographicHash::Sha256)
        .left(16)
        .toHex();
}

// Compares in time that does not depend on where the bytes differ.
bool SameBytes(const QByteArray &a, const QByteArray &b) {
    if (a.size() != b.size())
        return false;
    return CRYPTO_memcmp(a.constData(), b.constData(), size_t(a.size())) == 0;
}

} // namespace

SessionStore::SessionStore(qint64 timeoutSeconds) : m_timeoutSeconds(timeoutSeconds) {}

SessionStore::~SessionStore() = default;

void SessionStore::keepInDatabase(const QString &location) {
    QMutexLocker locker(&m_lock);
    m_table = std::make_unique<SessionTable>(location);
}

QString SessionStore::NewId() {
    return QString::fromLatin1(RandomBytes(16).toHex());
}

// Random, so that server processes sharing one database never hand out the same family.
qint64 SessionStore::NewFamily() {
    const QByteArray bytes = RandomBytes(8);
    quint64 n = 0;
    for (char b : bytes)
        n = (n << 8) | quint8(b);
    return qint64(n >> 2) + 1;
}

bool SessionStore::expired(const Session &session, const QDateTime &now) const {
    return session.lastUsed.secsTo(now) > m_timeoutSeconds;
}

bool SessionStore::Touch(Session &s, const QDateTime &now, const QHostAddress &address) {
    bool changed = s.lastUsed.secsTo(now) >= kTouchWriteSeconds;
    s.lastUsed = now;
    const bool known = std::any_of(s.addresses.cbegin(), s.addresses.cend(),
                                   [&](const QHostAddress &a) { return SameAddress(a, address); });
    if (!known && s.addresses.size() < 16) {
        s.addresses.append(address);
        changed = true;
    }
    return changed;
}

std::shared_ptr<const Session> SessionStore::create(const Session &values, const QDateTime &now,
                                                    const QHostAddress &address) {
    auto session = std::make_shared<Session>(values);
    session->id = NewId();
    session->family = NewFamily();
    session->created = now;
    session->lastUsed = now;
    session->addresses = {address};
    QMutexLocker locker(&m_lock);
    purge(now);
    if (m_table)
        m_table->insert(*session);
    else
        m_sessions.insert(session->id, session);
    return session;
}

std::shared_ptr<const Session> SessionStore::find(const QString &id, const QDateTime &now) {
    if (!IsSessionId(id))
        return nullptr;
    QMutexLocker locker(&m_lock);
    if (m_table) {
        std::shared_ptr<Session> s = m_table->load(id);
        return s && !expired(*s, now) ? s : nullptr;
    }
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
    if (m_table) {
        Session copy = session;
        if (Touch(copy, now, address))
            m_table->save(copy);
        return;
    }
    const auto it = m_sessions.constFind(session.id);
    if (it != m_sessions.constEnd())
        Touch(**it, now, address);
}

std::shared_ptr<const Session> SessionStore::renew(const Session &session, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    auto renewed = std::make_shared<Session>(session);
    renewed->id = NewId();
    renewed->created = now;
    renewed->lastUsed = now;
    if (m_table)
        m_table->insert(*renewed);
    else
        m_sessions.insert(renewed->id, renewed);
    return renewed;
}

void SessionStore::remove(const Session &session) {
    {
        QMutexLocker locker(&m_lock);
        const qint64 family = session.family;
        if (m_table) {
            m_table->removeFamily(family);
        } else {
            for (auto it = m_sessions.begin(); it != m_sessions.end();)
                it = (*it)->family == family ? m_sessions.erase(it) : std::next(it);
        }
    }
    if (m_endListener)
        m_endListener();
}

void SessionStore::removeUser(qint64 userId, qint64 keepFamily) {
    {
        QMutexLocker locker(&m_lock);
        if (m_table) {
            m_table->removeUser(userId, keepFamily);
        } else {
            for (auto it = m_sessions.begin(); it != m_sessions.end();)
                it = (*it)->userId == userId && (*it)->family != keepFamily ? m_sessions.erase(it)
                                                                            : std::next(it);
        }
    }
    if (m_endListener)
        m_endListener();
}

QByteArray SessionStore::relayToken(const Session &session, const QDateTime &now) const {
    // The random part makes every token one of its own, even two of one second.
    const QByteArray signedPart = QByteArray::number(session.family) + '-' +
                                  QByteArray::number(now.toSecsSinceEpoch() + RelayTokenSeconds) +
                                  '-' + RandomBytes(8).toHex();
    return signedPart + '-' + TokenMac(signedPart, session);
}

std::shared_ptr<const Session> SessionStore::relayTokenSession(const QByteArray &token,
                                                               const QDateTime &now) {
    const QList<QByteArray> parts = token.split('-');
    if (parts.size() != 4 || parts[2].size() != 16 || parts[3].size() != 32)
        return nullptr;
    bool familyOk = false, expiryOk = false;
    const qint64 family = parts[0].toLongLong(&familyOk);
    const qint64 expiry = parts[1].toLongLong(&expiryOk);
    const qint64 nowSeconds = now.toSecsSinceEpoch();
    if (!familyOk || !expiryOk || family <= 0 || expiry < nowSeconds ||
        expiry > nowSeconds + RelayTokenSeconds)
        return nullptr;
    const QByteArray signedPart = parts[0] + '-' + parts[1] + '-' + parts[2];
    QMutexLocker locker(&m_lock);
    const QList<std::shared_ptr<Session>> candidates =
        m_table ? m_table->ofFamily(family) : m_sessions.values();
    for (const std::shared_ptr<Session> &s : candidates) {
        if (s->family != family || expired(*s, now))
            continue;
        if (SameBytes(TokenMac(signedPart, *s), parts[3]))
            return s;
    }
    return nullptr;
}

std::shared_ptr<Session> SessionStore::newestOfFamily(qint64 family, const QDateTime &now) {
    const QList<std::shared_ptr<Session>> candidates =
        m_table ? m_table->ofFamily(family) : m_sessions.values();
    std::shared_ptr<Session> newest;
    for (const std::shared_ptr<Session> &s : candidates)
        if (s->family == family && !expired(*s, now) && (!newest || s->created > newest->created))
            newest = s;
    return newest;
}

bool SessionStore::keepFamily(qint64 family, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    const std::shared_ptr<Session> newest = newestOfFamily(family, now);
    if (!newest)
        return false;
    if (m_table) {
        Session copy = *newest;
        copy.lastUsed = now;
        m_table->save(copy);
    } else {
        newest->lastUsed = now;
    }
    return true;
}

qint64 SessionStore::liveSessionFamily(qint64 userId, int jobId, bool student,
                                       const QHostAddress &address, const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    const QList<std::shared_ptr<Session>> candidates =
        m_table ? m_table->ofUser(userId) : m_sessions.values();
    for (const std::shared_ptr<Session> &s : candidates) {
        if (s->userId != userId || s->jobId != jobId || (s->userType == 4) != student ||
            expired(*s, now))
            continue;
        for (const QHostAddress &known : s->addresses)
            if (SameAddress(known, address))
                return s->family;
    }
    return 0;
}

void SessionStore::purge(const QDateTime &now) {
    if (m_lastPurge.isValid() && m_lastPurge.secsTo(now) < 60)
        return;
    m_lastPurge = now;
    if (m_table) {
        m_table->removeIdle(now.addSecs(-m_timeoutSeconds));
        return;
    }
    for (auto it = m_sessions.begin(); it != m_sessions.end();)
        it = expired(**it, now) ? m_sessions.erase(it) : std::next(it);
}
