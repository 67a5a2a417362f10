#pragma once

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QString>

// Slows down password guessing: after a number of failed sign-ins for one name, or from one
// address, further attempts wait ten seconds, twice as long after every further failure (up
// to a quarter of an hour). Shared by every request thread.
class LoginThrottle {
public:
    LoginThrottle(int failuresPerName, int failuresPerAddress)
        : m_perName(failuresPerName), m_perAddress(failuresPerAddress) {}

    // Seconds until the name or the address may try again; 0 when it may try now.
    qint64 waitSeconds(const QString &name, const QHostAddress &address, const QDateTime &now);
    void recordFailure(const QString &name, const QHostAddress &address, const QDateTime &now);
    // A successful sign-in clears the name's failures (the address keeps its own).
    void recordSuccess(const QString &name);

private:
    struct Failures {
        int count = 0;
        QDateTime last;
    };
    static qint64 Wait(const Failures &f, int allowed, const QDateTime &now);
    void forgetOld(const QDateTime &now);

    QMutex m_lock;
    int m_perName;
    int m_perAddress;
    QDateTime m_lastCleanup;
    QHash<QString, Failures> m_names;
    QHash<QString, Failures> m_addresses;
};
