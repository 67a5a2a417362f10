#include "server/booking/repeatbooking.h"

#include "server/actions/applyrules.h"
#include "server/booking/lessonchanges.h"
#include "server/booking/lessonmail.h"
#include "server/packets/packetfields.h"
#include "server/packets/userstatistics.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

struct FirstSlot {
    qint64 teacher = 0;
    QDateTime when; // local wall time, fit for binding
    double hours = 1;
};

FirstSlot LoadFirst(ActionContext &ctx, qint64 id) {
    QSqlQuery q = ctx.db.run(QStringLiteral("SELECT IDTEACHER, WHENHOUR, HOURS FROM TIMETABLE"
                                            " WHERE IDTIMETABLE = ? AND IDJOB = ?"),
                             {id, ctx.jobId()});
    if (!q.next())
        throw Refusal(Msg::LessonNotFound);
    const QDateTime wall = StoredWallTime(q.value(1));
    return {q.value(0).toLongLong(), QDateTime(wall.date(), wall.time()), q.value(2).toDouble()};
}

// The teacher's free slot at that time, or 0.
qint64 FreeSlotAt(ActionContext &ctx, const FirstSlot &first, const QDateTime &when) {
    return ctx.db
        .scalar(QStringLiteral("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDJOB = ?"
                               " AND IDTEACHER = ? AND WHENHOUR = ? AND TIMETABLESTATUS = 1"
                               " AND IDUSER = 0 AND HOURS = ?"),
                {ctx.jobId(), first.teacher, when, first.hours})
        .toLongLong();
}

struct Plan {
    QList<qint64> free;         // one per week that has a free slot
    QList<QDateTime> conflicts; // the weeks that have none (wall times)
};

Plan MakePlan(ActionContext &ctx, const FirstSlot &first, int weeks) {
    Plan plan;
    const QDateTime now = ctx.now();
    for (int week = 0; week < weeks; ++week) {
        const QDateTime when = first.when.addDays(7 * week); // the same wall time each week
        const qint64 slot = when > now ? FreeSlotAt(ctx, first, when) : 0;
        if (slot > 0)
            plan.free << slot;
        else
            plan.conflicts << when;
    }
    return plan;
}

int Weeks(ActionContext &ctx) {
    const qint64 weeks = ctx.intParam("weeks");
    if (weeks < 1 || weeks > kMaxRepeatWeeks)
        throw Refusal(Msg::ValueOutOfRange, QStringLiteral("weeks"));
    return int(weeks);
}

QByteArray ConflictLines(const Plan &plan) {
    QStringList lines{QStringLiteral("conflicts=%1").arg(plan.conflicts.size())};
    for (int i = 0; i < plan.conflicts.size(); ++i)
        lines << QStringLiteral("conflict%1=%2")
                     .arg(i + 1)
                     .arg(plan.conflicts[i].toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

void Book(ActionContext &ctx, qint64 slot) {
    ctx.db.run(QStringLiteral("UPDATE TIMETABLE SET TIMETABLESTATUS = 2, IDUSER = ?,"
                              " WHENSTATUSCHANGE = ?, WHOSTATUSCHANGE = ? WHERE IDTIMETABLE = ?"),
               {ctx.userId(), ctx.now(), ctx.userId(), slot});
    const QVariant teacher = ctx.db.scalar(
        QStringLiteral("SELECT IDTEACHER FROM TIMETABLE WHERE IDTIMETABLE = ?"), {slot});
    RecordTimetableHistory(ctx, slot, 1, 2, teacher.toLongLong(), teacher.toLongLong(), 0,
                           ctx.userId());
}

} // namespace

ActionReply RepeatBookingAction(ActionContext &ctx) {
    if (!ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 id = ctx.intParam("idtimetable");
    const int weeks = Weeks(ctx);
    const bool check = ctx.request.param("check") == "1";
    Transaction transaction(ctx.db);
    const FirstSlot first = LoadFirst(ctx, id);
    const Plan plan = MakePlan(ctx, first, weeks);
    if (check)
        return ActionReply::Ok(ConflictLines(plan));
    if (!plan.conflicts.isEmpty()) {
        QStringList times;
        for (const QDateTime &when : plan.conflicts)
            times << LessonMail::LessonTime(when);
        throw Refusal(Msg::RepeatConflicts, times.join(QStringLiteral(", ")));
    }
    const UserStats stats =
        ComputeUserStatistics(ctx.db, ctx.jobId(), ctx.userId(), ctx.now()).value(ctx.userId());
    if (stats.hoursBookable() + 1e-9 < first.hours * weeks)
        throw Refusal(Msg::RepeatTooFewHours, QString::number(stats.hoursBookable()));
    for (const qint64 slot : plan.free)
        Book(ctx, slot);
    AfterBooking(ctx, ctx.userId());
    transaction.commit();
    return ActionReply::Ok(QByteArray::number(plan.free.size()));
}
