#pragma once

#include "server/booking/lessoncalendar.h"
#include "server/booking/outboxmessage.h"

// A person the booking e-mails go to: his address, name, and the language he last signed in
// with.
struct MailPerson {
    qint64 id = 0;
    int jobId = 0;
    int userType = 4;
    QString email, name;
    int envLang = 2;

    static MailPerson Load(SchoolDatabase &db, qint64 id);
};

// The texts of the booking e-mails in the person's language. The lesson's calendar file is
// added by the caller.
namespace LessonMail {

OutboxMail Reminder(const MailPerson &to, const CalendarLesson &lesson);
OutboxMail Cancelled(const MailPerson &to, const CalendarLesson &lesson);
// Sent when a client's bookable hours are used up: how to order more.
OutboxMail HoursOut(const MailPerson &to);
OutboxMail SlotFreed(const MailPerson &to, const QDateTime &when, const QString &teacher);

// "14. 12. 2026 9:00"
QString LessonTime(const QDateTime &wall);

} // namespace LessonMail
