#include "server/packets/userstatistics.h"

#include "server/packets/packetfields.h"
#include "server/store/schooldatabase.h"

#include <QList>
#include <algorithm>

namespace {

struct PaidOrder {
    double hours;
    QDateTime expiry;
};

QString UserFilter(const char *column, const std::optional<qint64> &onlyUser) {
    return onlyUser ? QStringLiteral(" AND %1 = ?").arg(QLatin1String(column)) : QString();
}

QVariantList Binds(int jobId, const std::optional<qint64> &onlyUser) {
    QVariantList binds{jobId};
    if (onlyUser)
        binds << *onlyUser;
    return binds;
}

void AddLessonHours(UserStats &s, int status, double hours) {
    switch (status) {
    case 2:
        s.hoursUnconfirmed += hours;
        break;
    case 3:
        s.hoursConfirmed += hours;
        break;
    case 4:
        s.hoursLearned += hours;
        break;
    case 5:
        s.hoursMissed += hours;
        break;
    case 6:
        s.hoursStornoPay += hours;
        break;
    default:
        break;
    }
}

void AddTeacherHours(UserStats &s, int status, double hours) {
    switch (status) {
    case 2:
        s.hoursTeachUnconfirm += hours;
        break;
    case 3:
        s.hoursTeachConfirm += hours;
        break;
    case 4:
        s.hoursTeached += hours;
        break;
    case 5:
        s.hoursTeachMissed += hours;
        break;
    case 6:
        s.hoursTeachStornoPay += hours;
        break;
    default:
        break;
    }
}

void ApplyExpiry(UserStats &s, QList<PaidOrder> orders, const QDateTime &now) {
    std::sort(orders.begin(), orders.end(),
              [](const PaidOrder &a, const PaidOrder &b) { return a.expiry < b.expiry; });
    double toConsume = s.hoursSpent();
    for (const PaidOrder &o : orders) {
        const double used = std::min(toConsume, o.hours);
        toConsume -= used;
        const double left = o.hours - used;
        if (left <= 0)
            continue;
        if (o.expiry < now)
            s.hoursExpired += left;
        else if (!s.whenExpireHoursFree.isValid() || o.expiry < s.whenExpireHoursFree)
            s.whenExpireHoursFree = o.expiry;
    }
}

} // namespace

QHash<qint64, UserStats> ComputeUserStatistics(SchoolDatabase &db, int jobId,
                                               std::optional<qint64> onlyUser,
                                               const QDateTime &now) {
    QHash<qint64, UserStats> stats;
    const QVariantList binds = Binds(jobId, onlyUser);

    KeptQuery users =
        db.runKept(QStringLiteral("SELECT IDUSER, HOURDEBIT FROM USERS WHERE IDJOB = ?") +
                       UserFilter("IDUSER", onlyUser),
                   binds);
    while (users->next())
        stats[users->value(0).toLongLong()].hourDebit = users->value(1).toDouble();

    QHash<qint64, QList<PaidOrder>> paid;
    KeptQuery orders = db.runKept(
        QStringLiteral("SELECT IDUSER, ORDERSTATUS, TEACHHOURS, AMOUNT, WHENORDER, EXPIREMONTHS"
                       " FROM ORDERS WHERE IDJOB = ?") +
            UserFilter("IDUSER", onlyUser),
        binds);
    while (orders->next()) {
        const qint64 user = orders->value(0).toLongLong();
        const int status = orders->value(1).toInt();
        const double hours = orders->value(2).toDouble();
        const double amount = orders->value(3).toDouble();
        UserStats &s = stats[user];
        if (status >= 1 && status <= 3) {
            s.hoursOrdered += hours;
            s.amountOrdered += amount;
        }
        if (status == 2 || status == 3) {
            s.hoursPayed += hours;
            s.amountPayed += amount;
            // Wall-clock times like the moment they are compared with.
            paid[user] << PaidOrder{
                hours, StoredWallTime(orders->value(4)).addMonths(orders->value(5).toInt())};
        }
    }

    KeptQuery lessons = db.runKept(
        QStringLiteral("SELECT IDUSER, TIMETABLESTATUS, SUM(HOURS) FROM TIMETABLE"
                       " WHERE IDJOB = ? AND IDUSER > 0") +
            UserFilter("IDUSER", onlyUser) + QStringLiteral(" GROUP BY IDUSER, TIMETABLESTATUS"),
        binds);
    while (lessons->next())
        AddLessonHours(stats[lessons->value(0).toLongLong()], lessons->value(1).toInt(),
                       lessons->value(2).toDouble());

    KeptQuery teaching =
        db.runKept(QStringLiteral("SELECT IDTEACHER, TIMETABLESTATUS, SUM(HOURS) FROM TIMETABLE"
                                  " WHERE IDJOB = ?") +
                       UserFilter("IDTEACHER", onlyUser) +
                       QStringLiteral(" GROUP BY IDTEACHER, TIMETABLESTATUS"),
                   binds);
    while (teaching->next())
        AddTeacherHours(stats[teaching->value(0).toLongLong()], teaching->value(1).toInt(),
                        teaching->value(2).toDouble());

    const QDateTime wallNow = WallTime(now);
    for (auto it = stats.begin(); it != stats.end(); ++it)
        ApplyExpiry(*it, paid.value(it.key()), wallNow);
    return stats;
}
