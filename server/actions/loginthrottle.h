#pragma once

#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QMutex>
#include <QSet>
#include <QString>

// Slows down password guessing without letting anyone lock an owner out. Failures are counted
// per name and address pair: after a number of them that pair waits ten seconds, twice as long
// after every further failure (up to a quarter of an hour). Beside it, softer bounds: a name
// that failed ten times as often from everywhere together, and an address that failed for many
// names (guessing across names), wait as well, but never from an address the name has signed
// in from successfully before, so the owner from his usual address (a classroom behind one
// NAT included) still gets in. Shared by every request thread.
class LoginThrottle {
public:
    LoginThrottle(int failuresPerName, int failuresPerAddress)
        : m_perPair(failuresPerName), m_perName(failuresPerName * 10),
          m_perAddress(failuresPerAddress) {}

    // Seconds until the name may try again from the address; 0 when it may try now.
    qint64 waitSeconds(const QString &name, const QHostAddress &address, const QDateTime &now);
    void recordFailure(const QString &name, const QHostAddress &address, const QDateTime &now);
    // A successful sign-in clears the pair's and the name's failures and makes the address one
    // of the name's usual ones (the address keeps its own count).
    void recordSuccess(const QString &name, const QHostAddress &address, const QDateTime &now);

private:
    struct Failures {
        int count = 0;
        QDateTime last;
    };
    static qint64 Wait(const Failures &f, int allowed, const QDateTime &now);
    void forgetOld(const QDateTime &now);

    QMutex m_lock;
    int m_perPair;
    int m_perName;
    int m_perAddress;
    QDateTime m_lastCleanup;
    QHash<QString, Failures> m_pairs;
    QHash<QString, Failures> m_names;
    QHash<QString, Failures> m_addresses;
    QHash<QString, QDateTime> m_usual; // name and address pairs that signed in, by last success
};
