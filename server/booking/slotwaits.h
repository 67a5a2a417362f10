#pragma once

#include "server/actions/actioncontext.h"

// A slot a client waited for that has come free.
struct FreedSlot {
    QDateTime when; // wall time
    QString teacher;
};

// "waitforslot": the signed-in client asks to be told when a booked slot of a teacher
// ("idteacher") on a day ("day", yyyy-MM-dd, from today to a year ahead) comes free. At most
// 20 open requests per client; asking again for the same day and teacher changes nothing.
ActionReply WaitForSlotAction(ActionContext &ctx);

// A booked slot came free: every client waiting for that teacher's day (other than the one
// who cancelled) gets an e-mail and the news at his next sign-in.
void NotifySlotWaiters(ActionContext &ctx, qint64 lesson, qint64 teacher, const QDateTime &when,
                       qint64 canceller);

// The signed-in client's freed slots not yet told in the program; they are told now.
QList<FreedSlot> TakeFreedSlots(ActionContext &ctx);
