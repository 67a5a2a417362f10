#include "server/actions/loginthrottle.h"

namespace {

constexpr qint64 kFirstWaitSeconds = 10;
constexpr qint64 kMaxWaitSeconds = 900;
constexpr qint64 kForgetSeconds = 3600;
constexpr qint64 kForgetUsualSeconds = 90 * 24 * 3600;

QString NameKey(const QString &name) {
    return name.toLower();
}

QString AddressKey(const QHostAddress &address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
}

QString PairKey(const QString &name, const QHostAddress &address) {
    return NameKey(name) + QLatin1Char('\n') + AddressKey(address);
}

} // namespace

qint64 LoginThrottle::Wait(const Failures &f, int allowed, const QDateTime &now) {
    if (f.count < allowed)
        return 0;
    const int over = f.count - allowed;
    const qint64 wait =
        over >= 7 ? kMaxWaitSeconds : qMin<qint64>(kMaxWaitSeconds, kFirstWaitSeconds << over);
    return qMax<qint64>(0, wait - f.last.secsTo(now));
}

qint64 LoginThrottle::waitSeconds(const QString &name, const QHostAddress &address,
                                  const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    const QString pair = PairKey(name, address);
    const qint64 own = Wait(m_pairs.value(pair), m_perPair, now);
    if (m_usual.contains(pair))
        return own;
    return qMax(own, qMax(Wait(m_names.value(NameKey(name)), m_perName, now),
                          Wait(m_addresses.value(AddressKey(address)), m_perAddress, now)));
}

void LoginThrottle::recordFailure(const QString &name, const QHostAddress &address,
                                  const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    forgetOld(now);
    for (Failures *f : {&m_pairs[PairKey(name, address)], &m_names[NameKey(name)],
                        &m_addresses[AddressKey(address)]}) {
        ++f->count;
        f->last = now;
    }
}

void LoginThrottle::recordSuccess(const QString &name, const QHostAddress &address,
                                  const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    const QString pair = PairKey(name, address);
    m_pairs.remove(pair);
    m_names.remove(NameKey(name));
    m_usual.insert(pair, now);
}

void LoginThrottle::forgetOld(const QDateTime &now) {
    if (m_lastCleanup.isValid() && m_lastCleanup.secsTo(now) < 60)
        return;
    m_lastCleanup = now;
    for (QHash<QString, Failures> *table : {&m_pairs, &m_names, &m_addresses})
        for (auto it = table->begin(); it != table->end();)
            it = it->last.secsTo(now) > kForgetSeconds ? table->erase(it) : std::next(it);
    for (auto it = m_usual.begin(); it != m_usual.end();)
        it = it->secsTo(now) > kForgetUsualSeconds ? m_usual.erase(it) : std::next(it);
}
