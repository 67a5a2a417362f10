#include "server/actions/loginthrottle.h"

namespace {

constexpr qint64 kFirstWaitSeconds = 10;
constexpr qint64 kMaxWaitSeconds = 900;
constexpr qint64 kForgetSeconds = 3600;

QString NameKey(const QString &name) {
    return name.toLower();
}

QString AddressKey(const QHostAddress &address) {
    bool ok = false;
    const quint32 v4 = address.toIPv4Address(&ok);
    return ok ? QHostAddress(v4).toString() : address.toString();
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
    return qMax(Wait(m_names.value(NameKey(name)), m_perName, now),
                Wait(m_addresses.value(AddressKey(address)), m_perAddress, now));
}

void LoginThrottle::recordFailure(const QString &name, const QHostAddress &address,
                                  const QDateTime &now) {
    QMutexLocker locker(&m_lock);
    forgetOld(now);
    for (Failures *f : {&m_names[NameKey(name)], &m_addresses[AddressKey(address)]}) {
        ++f->count;
        f->last = now;
    }
}

void LoginThrottle::recordSuccess(const QString &name) {
    QMutexLocker locker(&m_lock);
    m_names.remove(NameKey(name));
}

void LoginThrottle::forgetOld(const QDateTime &now) {
    if (m_lastCleanup.isValid() && m_lastCleanup.secsTo(now) < 60)
        return;
    m_lastCleanup = now;
    for (QHash<QString, Failures> *table : {&m_names, &m_addresses})
        for (auto it = table->begin(); it != table->end();)
            it = it->last.secsTo(now) > kForgetSeconds ? table->erase(it) : std::next(it);
}
