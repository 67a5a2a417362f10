#include "server/booking/lessoncalendar.h"

#include "server/booking/icstext.h"
#include "server/packets/packetfields.h"
#include "server/packets/providerqueries.h"
#include "server/serveroptions.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>
#include <QTimeZone>

namespace {

QString OffsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    return (seconds < 0 ? QStringLiteral("-") : QStringLiteral("+")) +
           QStringLiteral("%1%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// The zone's definition over the events' years: each change of its offset as a STANDARD or
// DAYLIGHT part, so a reader without a zone database still places every event.
void WriteZone(IcsText &ics, const QTimeZone &zone, const QString &id, int fromYear, int toYear) {
    const QDateTime from(QDate(fromYear, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(toYear + 1, 1, 1), QTime(0, 0), Qt::UTC);
    ics.begin("VTIMEZONE");
    ics.text("TZID", id);
    int before = zone.offsetFromUtc(from);
    const QTimeZone::OffsetDataList changes = zone.transitions(from, to);
    if (changes.isEmpty()) {
        ics.begin("STANDARD");
        ics.raw("DTSTART", "19700101T000000");
        ics.raw("TZOFFSETFROM", OffsetText(before).toLatin1());
        ics.raw("TZOFFSETTO", OffsetText(before).toLatin1());
        ics.end("STANDARD");
    }
    for (const QTimeZone::OffsetData &change : changes) {
        const char *part = change.daylightTimeOffset > 0 ? "DAYLIGHT" : "STANDARD";
        ics.begin(part);
        // The moment of the change in the local time it is left from.
        const QDateTime local = change.atUtc.toUTC().addSecs(before);
        ics.raw("DTSTART", local.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1());
        ics.raw("TZOFFSETFROM", OffsetText(before).toLatin1());
        ics.raw("TZOFFSETTO", OffsetText(change.offsetFromUtc).toLatin1());
        ics.end(part);
        before = change.offsetFromUtc;
    }
    ics.end("VTIMEZONE");
}

QString Title(bool forClient, int envLang, const CalendarLesson &lesson) {
    const QString other = forClient ? lesson.teacher : lesson.client;
    if (envLang == 3)
        return forClient ? QStringLiteral("Lekcia angličtiny - %1").arg(other)
                         : QStringLiteral("Lekcia - %1").arg(other);
    return forClient ? QStringLiteral("Lekce angličtiny - %1").arg(other)
                     : QStringLiteral("Lekce - %1").arg(other);
}

// The same words in both languages.
QString Description(const CalendarLesson &lesson) {
    return QStringLiteral("Lektor: %1\nKlient: %2").arg(lesson.teacher, lesson.client);
}

void WriteEvent(IcsText &ics, const CalendarLesson &lesson, CalendarMethod method, bool forClient,
                int envLang, const QString &zone, const QString &uidDomain, const QDateTime &now) {
    ics.begin("VEVENT");
    ics.text("UID", QStringLiteral("timetable-%1@%2").arg(lesson.id).arg(uidDomain));
    ics.utc("DTSTAMP", now);
    ics.zoned("DTSTART", zone, lesson.when);
    ics.zoned("DTEND", zone, lesson.when.addSecs(qint64(lesson.hours * 3600)));
    ics.raw("SEQUENCE", QByteArray::number(lesson.sequence));
    ics.text("SUMMARY", Title(forClient, envLang, lesson));
    ics.text("DESCRIPTION", Description(lesson));
    ics.raw("STATUS", method == CalendarMethod::Cancel ? "CANCELLED"
                      : lesson.status == 2             ? "TENTATIVE"
                                                       : "CONFIRMED");
    ics.end("VEVENT");
}

CalendarLesson LessonFrom(const QSqlQuery &q) {
    CalendarLesson l;
    l.id = q.value(0).toLongLong();
    l.when = StoredWallTime(q.value(1));
    l.hours = q.value(2).toDouble() > 0 ? q.value(2).toDouble() : 1;
    l.status = q.value(3).toInt();
    l.teacher = q.value(4).toString().trimmed();
    l.client = q.value(5).toString().trimmed();
    return l;
}

QString LessonSelect() {
    return QStringLiteral("SELECT T.IDTIMETABLE, T.WHENHOUR, T.HOURS, T.TIMETABLESTATUS, %1, %2"
                          " FROM TIMETABLE T JOIN USERS P ON P.IDUSER = T.IDTEACHER"
                          " LEFT JOIN USERS C ON C.IDUSER = T.IDUSER ")
        .arg(FullNameSql(QStringLiteral("P")), FullNameSql(QStringLiteral("C")));
}

} // namespace

QByteArray LessonCalendarText(const QList<CalendarLesson> &lessons, CalendarMethod method,
                              bool forClient, int envLang, const QString &uidDomain,
                              const QDateTime &now) {
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QString zoneId = QString::fromUtf8(zone.id());
    int fromYear = now.date().year(), toYear = fromYear;
    for (const CalendarLesson &lesson : lessons) {
        fromYear = std::min(fromYear, lesson.when.date().year());
        toYear = std::max(toYear, lesson.when.date().year());
    }
    IcsText ics;
    ics.begin("VCALENDAR");
    ics.raw("VERSION", "2.0");
    ics.raw("PRODID", "-//Tellavo//School server//CS");
    ics.raw("CALSCALE", "GREGORIAN");
    ics.raw("METHOD", method == CalendarMethod::Cancel ? "CANCEL" : "PUBLISH");
    ics.text("X-WR-TIMEZONE", zoneId);
    WriteZone(ics, zone, zoneId, fromYear, toYear);
    for (const CalendarLesson &lesson : lessons)
        WriteEvent(ics, lesson, method, forClient, envLang, zoneId, uidDomain, now);
    ics.end("VCALENDAR");
    return ics.bytes();
}

QList<CalendarLesson> FeedLessons(SchoolDatabase &db, qint64 userId, bool asTeacher,
                                  const QDateTime &now) {
    QSqlQuery q =
        db.run(LessonSelect() +
                   QStringLiteral("WHERE T.%1 = ? AND T.TIMETABLESTATUS IN (2, 3, 4, 5)"
                                  " AND T.WHENHOUR >= ? AND T.WHENHOUR < ?"
                                  " ORDER BY T.WHENHOUR")
                       .arg(asTeacher ? QStringLiteral("IDTEACHER") : QStringLiteral("IDUSER")),
               {userId, now.addDays(-60), now.addYears(1)});
    QList<CalendarLesson> lessons;
    while (q.next())
        lessons << LessonFrom(q);
    return lessons;
}

CalendarLesson LessonById(SchoolDatabase &db, qint64 idTimetable) {
    QSqlQuery q = db.run(LessonSelect() + QStringLiteral("WHERE T.IDTIMETABLE = ?"), {idTimetable});
    return q.next() ? LessonFrom(q) : CalendarLesson{};
}

QString CalendarUidDomain(const ServerOptions &options) {
    const QString domain = options.mailFrom.section(u'@', 1);
    return domain.isEmpty() ? QStringLiteral("localhost") : domain;
}
