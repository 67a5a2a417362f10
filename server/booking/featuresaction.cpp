#include "server/booking/featuresaction.h"

#include "server/booking/bookingsettings.h"
#include "server/booking/slotwaits.h"
#include "server/packets/packetfields.h"
#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"
#include "wire/actionnames.h"

#include <QSqlQuery>
#include <QStringList>

namespace {

// A value fit for one name=value line: line breaks would start another line.
QString OneLine(QString text) {
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c == QChar(0x2028) || c == QChar(0x2029))
            c = u' ';
    return text;
}

QByteArray Lines(const QStringList &lines) {
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

} // namespace

ActionReply BookingFeaturesAction(ActionContext &ctx) {
    namespace F = BookingFeatureNames;
    const BookingSettings settings = BookingSettings::Read(ctx.db);
    const QStringList features{F::CancelDeadline, F::LowBalance, F::Repeat,
                               F::Feed,           F::Reminders,  F::Waits};
    QStringList lines{
        QStringLiteral("features=") + features.join(u' '),
        QStringLiteral("canceldeadlinehours=%1").arg(settings.cancelDeadlineHours),
        QStringLiteral("lowbalancehours=%1").arg(settings.lowBalanceHours),
        QStringLiteral("reminderhours=%1").arg(settings.reminderHours),
    };
    if (ctx.isClient()) {
        const QList<FreedSlot> freed = TakeFreedSlots(ctx);
        lines << QStringLiteral("slotfreedcount=%1").arg(freed.size());
        for (int i = 0; i < freed.size(); ++i)
            lines << QStringLiteral("slotfreed%1=%2|%3")
                         .arg(i + 1)
                         .arg(freed[i].when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                              OneLine(freed[i].teacher));
    }
    return ActionReply::Ok(Lines(lines));
}

ActionReply NextLessonAction(ActionContext &ctx) {
    if (!ctx.isClient() && !ctx.isTeacher())
        return ActionReply::Ok();
    const bool client = ctx.isClient();
    const QString partner = client ? QStringLiteral("T.IDTEACHER") : QStringLiteral("T.IDUSER");
    QSqlQuery q =
        ctx.db.run(QStringLiteral("SELECT T.IDTIMETABLE, T.WHENHOUR, %1 FROM TIMETABLE T"
                                  " JOIN USERS U ON U.IDUSER = %2"
                                  " WHERE T.%3 = ? AND T.IDJOB = ? AND T.TIMETABLESTATUS IN (2, 3)"
                                  " AND T.WHENHOUR > ? ORDER BY T.WHENHOUR LIMIT 1")
                       .arg(FullNameSql(QStringLiteral("U")), partner,
                            client ? QStringLiteral("IDUSER") : QStringLiteral("IDTEACHER")),
                   {ctx.userId(), ctx.jobId(), ctx.now()});
    if (!q.next())
        return ActionReply::Ok();
    return ActionReply::Ok(Lines({
        QStringLiteral("idtimetable=%1").arg(q.value(0).toLongLong()),
        QStringLiteral("whenhour=") +
            StoredWallTime(q.value(1)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QStringLiteral("partner=") + OneLine(q.value(2).toString().trimmed()),
    }));
}
