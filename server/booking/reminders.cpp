#include "server/booking/reminders.h"

#include "server/booking/bookingsettings.h"
#include "server/booking/lessonmail.h"
#include "server/packets/packetfields.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>

namespace {

struct DueLesson {
    qint64 id = 0, teacher = 0, client = 0;
    QVariant stored;
    QDateTime when, booked; // wall times; booked is null when the history does not say
};

// Lessons within the reminder time that someone in them has not been reminded of.
QList<DueLesson> DueLessons(SchoolDatabase &db, const QDateTime &now, int hours) {
    QSqlQuery q = db.run(
        QStringLiteral(
            "SELECT T.IDTIMETABLE, T.IDTEACHER, T.IDUSER, T.WHENHOUR,"
            " (SELECT MAX(H.WHENCHANGE) FROM TTSTATUSHIST H WHERE H.IDTIMETABLE = T.IDTIMETABLE"
            " AND H.NEWUSER = T.IDUSER AND (H.OLDUSER IS NULL OR H.OLDUSER <> H.NEWUSER))"
            " FROM TIMETABLE T WHERE T.TIMETABLESTATUS IN (2, 3) AND T.IDUSER <> 0"
            " AND T.WHENHOUR > ? AND T.WHENHOUR <= ?"
            " AND (SELECT COUNT(*) FROM LESSONREMINDERS R WHERE R.IDTIMETABLE = T.IDTIMETABLE"
            " AND R.IDUSER IN (T.IDUSER, T.IDTEACHER)) < 2"),
        {now, now.addSecs(qint64(hours) * 3600)});
    QList<DueLesson> due;
    while (q.next())
        due << DueLesson{q.value(0).toLongLong(),    q.value(1).toLongLong(),
                         q.value(2).toLongLong(),    q.value(3),
                         StoredWallTime(q.value(3)), StoredWallTime(q.value(4))};
    return due;
}

bool Reminded(SchoolDatabase &db, qint64 lesson, qint64 person) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM LESSONREMINDERS WHERE IDTIMETABLE = ?"
                                    " AND IDUSER = ?"),
                     {lesson, person})
               .toInt() > 0;
}

// One person's reminder: the row that says it went (its key stops a second process), then
// the message.
int Remind(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now,
           const DueLesson &due, qint64 person) {
    if (Reminded(db, due.id, person))
        return 0;
    const MailPerson to = MailPerson::Load(db, person);
    const CalendarLesson lesson = LessonById(db, due.id);
    Transaction transaction(db);
    db.run(QStringLiteral("INSERT INTO LESSONREMINDERS (IDTIMETABLE, IDUSER, WHENHOUR, WHENSENT,"
                          " SEQUENCE) VALUES (?, ?, ?, ?, 0)"),
           {due.id, person, due.stored, now});
    OutboxMail mail = LessonMail::Reminder(to, lesson);
    mail.calendar = LessonCalendarText({lesson}, CalendarMethod::Publish, to.userType == 4,
                                       to.envLang, CalendarUidDomain(options), now);
    mail.calendarMethod = "PUBLISH";
    const bool sent =
        SendToOutbox(db, options, now,
                     {to.jobId, to.envLang, QStringLiteral("REMINDER"), person, 0, due.id}, mail);
    transaction.commit(); // a person without a usable address is not tried again
    return sent ? 1 : 0;
}

} // namespace

int SendDueReminders(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now) {
    const int hours = BookingSettings::Read(db).reminderHours;
    if (hours <= 0)
        return 0;
    int sent = 0;
    for (const DueLesson &due : DueLessons(db, now, hours)) {
        // Booked within the reminder time: the client knows, and nobody is reminded.
        if (due.booked.isValid() && due.booked.secsTo(due.when) < qint64(hours) * 3600)
            continue;
        sent += Remind(db, options, now, due, due.client);
        sent += Remind(db, options, now, due, due.teacher);
    }
    return sent;
}
