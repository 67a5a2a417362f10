#include "server/booking/slotwaits.h"

#include "server/booking/lessonmail.h"
#include "server/packets/packetfields.h"
#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>

namespace {

constexpr int kMaxOpenWaits = 20;

QDateTime DayStart(const QDate &day) {
    return QDateTime(day, QTime(0, 0));
}

} // namespace

ActionReply WaitForSlotAction(ActionContext &ctx) {
    if (!ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 teacher = ctx.intParam("idteacher");
    const QDate day = QDate::fromString(QString::fromLatin1(ctx.request.param("day")),
                                        QStringLiteral("yyyy-MM-dd"));
    const QDate today = ctx.now().date();
    if (!day.isValid() || day < today || day > today.addYears(1))
        throw Refusal(Msg::ValueOutOfRange, QStringLiteral("day"));
    const QVariant type =
        ctx.db.scalar(QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
                      {teacher, ctx.jobId()});
    if (type.toInt() != 3)
        throw Refusal(Msg::RecordNotFound);
    Transaction transaction(ctx.db);
    const QVariantList same{ctx.userId(), teacher, DayStart(day), DayStart(day.addDays(1))};
    if (ctx.db
            .scalar(QStringLiteral("SELECT COUNT(*) FROM SLOTWAITS WHERE IDUSER = ?"
                                   " AND IDTEACHER = ? AND WAITDAY >= ? AND WAITDAY < ?"
                                   " AND WHENFREED IS NULL"),
                    same)
            .toInt() > 0)
        return ActionReply::Ok();
    if (ctx.db
            .scalar(QStringLiteral("SELECT COUNT(*) FROM SLOTWAITS WHERE IDUSER = ?"
                                   " AND WHENFREED IS NULL AND WAITDAY >= ?"),
                    {ctx.userId(), DayStart(today)})
            .toInt() >= kMaxOpenWaits)
        throw Refusal(Msg::TooManyWaits, QString::number(kMaxOpenWaits));
    ctx.db.run(QStringLiteral("INSERT INTO SLOTWAITS (IDSLOTWAIT, IDJOB, IDUSER, IDTEACHER,"
                              " WAITDAY, WHENASKED) VALUES (?, ?, ?, ?, ?, ?)"),
               {ctx.db.nextId(QStringLiteral("SLOTWAITS"), QStringLiteral("IDSLOTWAIT")),
                ctx.jobId(), ctx.userId(), teacher, DayStart(day), ctx.now()});
    transaction.commit();
    return ActionReply::Ok();
}

void NotifySlotWaiters(ActionContext &ctx, qint64 lesson, qint64 teacher, const QDateTime &when,
                       qint64 canceller) {
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT IDSLOTWAIT, IDUSER FROM SLOTWAITS WHERE IDTEACHER = ?"
                       " AND WAITDAY >= ? AND WAITDAY < ? AND WHENFREED IS NULL AND IDUSER <> ?"),
        {teacher, DayStart(when.date()), DayStart(when.date().addDays(1)), canceller});
    QList<QPair<qint64, qint64>> waits;
    while (q.next())
        waits << qMakePair(q.value(0).toLongLong(), q.value(1).toLongLong());
    if (waits.isEmpty())
        return;
    const QString teacherName = MailPerson::Load(ctx.db, teacher).name;
    for (const auto &[wait, client] : waits) {
        const MailPerson to = MailPerson::Load(ctx.db, client);
        SendToOutbox(ctx.db, ctx.options, ctx.now(),
                     {to.jobId, to.envLang, QStringLiteral("SLOTFREED"), client, 0, lesson},
                     LessonMail::SlotFreed(to, when, teacherName));
        ctx.db.run(QStringLiteral("UPDATE SLOTWAITS SET WHENFREED = ?, IDTIMETABLE = ?"
                                  " WHERE IDSLOTWAIT = ?"),
                   {ctx.now(), lesson, wait});
    }
}

QList<FreedSlot> TakeFreedSlots(ActionContext &ctx) {
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT T.WHENHOUR, %1 FROM SLOTWAITS W"
                       " JOIN TIMETABLE T ON T.IDTIMETABLE = W.IDTIMETABLE"
                       " JOIN USERS P ON P.IDUSER = W.IDTEACHER"
                       " WHERE W.IDUSER = ? AND W.WHENFREED IS NOT NULL ORDER BY T.WHENHOUR")
            .arg(FullNameSql(QStringLiteral("P"))),
        {ctx.userId()});
    QList<FreedSlot> freed;
    while (q.next())
        freed << FreedSlot{StoredWallTime(q.value(0)), q.value(1).toString().trimmed()};
    if (!freed.isEmpty())
        ctx.db.run(
            QStringLiteral("DELETE FROM SLOTWAITS WHERE IDUSER = ? AND WHENFREED IS NOT NULL"),
            {ctx.userId()});
    return freed;
}
