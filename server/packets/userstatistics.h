#pragma once

#include <QDateTime>
#include <QHash>
#include <optional>

class SchoolDatabase;

// The hour and money totals of one user, computed from his orders and lessons.
struct UserStats {
    double hourDebit = 0;
    double hoursOrdered = 0, amountOrdered = 0, hoursPayed = 0, amountPayed = 0;
    double hoursLearned = 0, hoursMissed = 0, hoursStornoPay = 0;
    double hoursConfirmed = 0, hoursUnconfirmed = 0, hoursExpired = 0;
    // The next expiry of paid hours still unused (wall time marked UTC); null if none.
    QDateTime whenExpireHoursFree;
    double hoursTeached = 0, hoursTeachMissed = 0, hoursTeachConfirm = 0;
    double hoursTeachUnconfirm = 0, hoursTeachStornoPay = 0;

    double hoursSpent() const { return hoursLearned + hoursMissed + hoursStornoPay; }
    double hoursFree() const { return hoursPayed - hoursExpired - hoursSpent() + hourDebit; }
    double hoursBookable() const { return hoursFree() - hoursUnconfirmed - hoursConfirmed; }
};

// Order statuses that count: 1 ordered, 2 paid, 3 paid and invoiced, 4 cancelled.
// Lesson statuses: 1 free, 2 booked, 3 confirmed, 4 held, 5 missed by the client,
// 6 cancelled late (paid), 7 cancelled, 8 not held by the teacher.
//
// Paid hours are used up oldest expiry first; what an order leaves unused when its
// expiry (ordering date plus its months) has passed counts as expired.
QHash<qint64, UserStats> ComputeUserStatistics(SchoolDatabase &db, int jobId,
                                               std::optional<qint64> onlyUser,
                                               const QDateTime &now);
