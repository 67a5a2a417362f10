#pragma once

#include "server/actions/actioncontext.h"

// A lesson's status or client as it was before a change and as it is after it.
struct LessonChange {
    qint64 id = 0, teacher = 0;
    QDateTime when; // wall time
    int oldStatus = 0, newStatus = 0;
    qint64 oldClient = 0, newClient = 0;
};

// What follows a lesson's change beyond the timetable, inside the change's transaction: people
// reminded of a lesson that is no longer theirs (or no longer held) are sent its cancellation;
// a booked slot that comes free tells the clients waiting for that teacher's day.
void AfterLessonChange(ActionContext &ctx, const LessonChange &change);

// After a client's booking: an e-mail saying how to order when his bookable hours are used up.
void AfterBooking(ActionContext &ctx, qint64 client);
