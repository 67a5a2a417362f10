#include "server/actions/timetableactions.h"

#include "server/actions/applyrules.h"
#include "server/booking/bookingsettings.h"
#include "server/booking/lessonchanges.h"
#include "server/packets/packetfields.h"
#include "server/store/schooldatabase.h"
#include "server/packets/userstatistics.h"

namespace {

struct Lesson {
    qint64 id = 0, teacher = 0, client = 0;
    int status = 0;
    QVariant stored; // WHENHOUR as stored, for binding
    QDateTime when;  // its wall time, for comparisons
    double hours = 0;
};

Lesson LoadLesson(ActionContext &ctx, qint64 id) {
    QSqlQuery q =
        ctx.db.run(QStringLiteral("SELECT IDTEACHER, IDUSER, TIMETABLESTATUS, WHENHOUR,"
                                  " HOURS FROM TIMETABLE WHERE IDTIMETABLE = ? AND IDJOB = ?"),
                   {id, ctx.jobId()});
    if (!q.next())
        throw Refusal(Msg::LessonNotFound);
    return {id,         q.value(0).toLongLong(),    q.value(1).toLongLong(), q.value(2).toInt(),
            q.value(3), StoredWallTime(q.value(3)), q.value(4).toDouble()};
}

void RequireBookableHours(ActionContext &ctx, qint64 client, double hours) {
    const UserStats stats =
        ComputeUserStatistics(ctx.db, ctx.jobId(), client, ctx.now()).value(client);
    if (stats.hoursBookable() + 1e-9 < hours)
        throw Refusal(Msg::NoBookableHours);
}

// A client cancels no later than the school's deadline before the lesson (staff always may).
void RequireBeforeCancelDeadline(ActionContext &ctx, const Lesson &lesson) {
    if (!ctx.options.bookingFeatures)
        return;
    const int hours = BookingSettings::Read(ctx.db).cancelDeadlineHours;
    if (WallTime(ctx.now()).secsTo(lesson.when) < qint64(hours) * 3600)
        throw Refusal(Msg::CancelTooLate, QString::number(hours));
}

// The client the lesson has after a client's own request.
qint64 ClientChange(ActionContext &ctx, const Lesson &lesson, int newStatus) {
    if (newStatus == 2) {
        if (lesson.status != 1 || lesson.client != 0)
            throw Refusal(Msg::SlotNotFree);
        if (lesson.when < WallTime(ctx.now()))
            throw Refusal(Msg::LessonInPast);
        RequireBookableHours(ctx, ctx.userId(), lesson.hours);
        return ctx.userId();
    }
    if (newStatus == 1) {
        if (lesson.client != ctx.userId() || (lesson.status != 2 && lesson.status != 3))
            throw Refusal(Msg::StatusNotAllowed);
        if (lesson.when < WallTime(ctx.now()))
            throw Refusal(Msg::LessonInPast);
        RequireBeforeCancelDeadline(ctx, lesson);
        return 0;
    }
    throw Refusal(Msg::StatusNotAllowed);
}

qint64 TeacherChange(ActionContext &ctx, const Lesson &lesson, int newStatus) {
    if (lesson.teacher != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    if (newStatus < 3 || newStatus > 5)
        throw Refusal(Msg::StatusNotAllowed);
    if (lesson.client == 0)
        throw Refusal(Msg::ClientRequired);
    return lesson.client;
}

qint64 StaffChange(ActionContext &ctx, const Lesson &lesson, int newStatus) {
    qint64 client = lesson.client;
    if (ctx.request.has("idclientnew")) {
        const qint64 wanted = ctx.intParam("idclientnew");
        if (wanted != client) {
            if (lesson.status != 1 || client != 0)
                throw Refusal(Msg::SlotNotFree);
            const QVariant type = ctx.db.scalar(
                QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
                {wanted, ctx.jobId()});
            if (type.toInt() != 4)
                throw Refusal(Msg::NotAClient);
            client = wanted;
        }
    }
    if (newStatus == 1)
        return 0;
    if (client == 0 && newStatus >= 2 && newStatus <= 6)
        throw Refusal(Msg::ClientRequired);
    if (client != 0 && lesson.client == 0 && newStatus <= 6)
        RequireBookableHours(ctx, client, lesson.hours);
    return client;
}

// A cancelled slot that comes back must not double-book its teacher's hour.
void RequireHourFree(ActionContext &ctx, const Lesson &lesson) {
    const QVariant other = ctx.db.scalar(
        QStringLiteral("SELECT IDTIMETABLE FROM TIMETABLE WHERE IDJOB = ? AND IDTEACHER = ?"
                       " AND WHENHOUR = ? AND TIMETABLESTATUS <> 7 AND IDTIMETABLE <> ?"),
        {ctx.jobId(), lesson.teacher, lesson.stored, lesson.id});
    if (other.isValid())
        throw Refusal(Msg::SlotTaken, lesson.when.toString(QStringLiteral("d.M.yyyy H:mm")));
}

} // namespace

ActionReply SetTimetableStatusAction(ActionContext &ctx) {
    const qint64 id = ctx.intParam("idtimetable");
    const qint64 newStatus = ctx.intParam("newstatus");
    if (newStatus < 1 || newStatus > 8)
        throw Refusal(Msg::StatusNotAllowed);
    Transaction transaction(ctx.db);
    const Lesson lesson = LoadLesson(ctx, id);
    const int status = static_cast<int>(newStatus);
    const qint64 client = ctx.isClient()    ? ClientChange(ctx, lesson, status)
                          : ctx.isTeacher() ? TeacherChange(ctx, lesson, status)
                                            : StaffChange(ctx, lesson, status);
    // Held (4) and missed by the client (5) tell what happened: not before the lesson began.
    if ((status == 4 || status == 5) && status != lesson.status && lesson.when > ctx.now())
        throw Refusal(Msg::LessonNotYetHeld);
    if (status == lesson.status && client == lesson.client)
        return ActionReply::Ok(); // nothing changes
    if (lesson.status == 7 && status != 7)
        RequireHourFree(ctx, lesson);
    ctx.db.run(QStringLiteral("UPDATE TIMETABLE SET TIMETABLESTATUS = ?, IDUSER = ?,"
                              " WHENSTATUSCHANGE = ?, WHOSTATUSCHANGE = ? WHERE IDTIMETABLE = ?"),
               {status, client, ctx.now(), ctx.userId(), id});
    RecordTimetableHistory(ctx, id, lesson.status, status, lesson.teacher, lesson.teacher,
                           lesson.client, client);
    if (ctx.options.bookingFeatures) {
        AfterLessonChange(ctx, {id, lesson.teacher, lesson.when, lesson.status, status,
                                lesson.client, client});
        if (ctx.isClient() && status == 2)
            AfterBooking(ctx, client);
    }
    transaction.commit();
    return ActionReply::Ok();
}
