#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

struct TBookingFeatures;

// The booking features' rules as the timetable applies them before asking the server.
namespace BookingRules {

// Why a client may not cancel his lesson now (the school's deadline, in his language), or an
// empty text when he may (or the server has no deadline).
QString CancelBlockedReason(const TBookingFeatures &features, const QDateTime &lesson,
                            const QDateTime &now);
// Whether bookable hours are at or below the school's warning level.
bool IsLowBalance(const TBookingFeatures &features, double bookable);
// The weeks a repeating booking may cover with these bookable hours (0 when not even two).
int MaxRepeatWeeks(double bookable, double hoursPerLesson);
// The weeks without a free slot in the server's check reply ("conflicts=", "conflict1=" ...).
QList<QDateTime> RepeatConflicts(const QString &replyLines);

} // namespace BookingRules
