#include "server/booking/lessonchanges.h"

#include "server/booking/lessonmail.h"
#include "server/booking/slotwaits.h"
#include "server/packets/userstatistics.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>

namespace {

bool Held(int status) {
    return status >= 2 && status <= 5;
}

// Everyone reminded of the lesson, with the sequence of what he was sent.
QList<QPair<qint64, int>> RemindedPeople(ActionContext &ctx, qint64 lesson) {
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT IDUSER, SEQUENCE FROM LESSONREMINDERS WHERE IDTIMETABLE = ?"),
        {lesson});
    QList<QPair<qint64, int>> people;
    while (q.next())
        people << qMakePair(q.value(0).toLongLong(), q.value(1).toInt());
    return people;
}

void SendCancellations(ActionContext &ctx, const LessonChange &change, bool everyone) {
    CalendarLesson lesson = LessonById(ctx.db, change.id);
    lesson.when = change.when;
    for (const auto &[person, sequence] : RemindedPeople(ctx, change.id)) {
        if (!everyone && person != change.oldClient)
            continue;
        const MailPerson to = MailPerson::Load(ctx.db, person);
        CalendarLesson version = lesson;
        version.sequence = sequence + 1;
        version.client = to.userType == 4 ? to.name : lesson.client;
        OutboxMail mail = LessonMail::Cancelled(to, version);
        mail.calendar = LessonCalendarText({version}, CalendarMethod::Cancel, to.userType == 4,
                                           to.envLang, CalendarUidDomain(ctx.options), ctx.now());
        mail.calendarMethod = "CANCEL";
        SendToOutbox(
            ctx.db, ctx.options, ctx.now(),
            {to.jobId, to.envLang, QStringLiteral("LESSONCANCEL"), person, ctx.userId(), change.id},
            mail);
        ctx.db.run(
            QStringLiteral("DELETE FROM LESSONREMINDERS WHERE IDTIMETABLE = ? AND IDUSER = ?"),
            {change.id, person});
    }
}

} // namespace

void AfterLessonChange(ActionContext &ctx, const LessonChange &change) {
    const bool wasBooked = Held(change.oldStatus) && change.oldClient != 0;
    const bool stillHeld = Held(change.newStatus) && change.newClient != 0;
    if (wasBooked && !stillHeld)
        SendCancellations(ctx, change, true);
    else if (wasBooked && change.newClient != change.oldClient)
        SendCancellations(ctx, change, false);
    if ((change.oldStatus == 2 || change.oldStatus == 3) && change.newStatus == 1)
        NotifySlotWaiters(ctx, change.id, change.teacher, change.when, change.oldClient);
}

void AfterBooking(ActionContext &ctx, qint64 client) {
    const UserStats stats =
        ComputeUserStatistics(ctx.db, ctx.jobId(), client, ctx.now()).value(client);
    if (stats.hoursBookable() > 1e-9)
        return;
    const MailPerson to = MailPerson::Load(ctx.db, client);
    SendToOutbox(ctx.db, ctx.options, ctx.now(),
                 {to.jobId, to.envLang, QStringLiteral("HOURSOUT"), client, 0, 0},
                 LessonMail::HoursOut(to));
}
