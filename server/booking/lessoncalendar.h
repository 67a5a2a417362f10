#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

class SchoolDatabase;
struct ServerOptions;

// One lesson as a calendar event: wall times in the school's zone.
struct CalendarLesson {
    qint64 id = 0;
    QDateTime when; // wall time (marked UTC, as the server reads stored times)
    double hours = 1;
    int status = 0;
    QString teacher, client;
    int sequence = 0; // raised for every later version of the same event
};

// What the document is for: a feed or an attachment that shows lessons, or one that takes
// them out of the receiver's calendar.
enum class CalendarMethod { Publish, Cancel };

// An iCalendar document of lessons, times in the school's zone (with its definition, so any
// reader places them), for the person named by his side: a client sees his teacher in the
// title, a teacher his client. uidDomain makes the events' ids the same in every document.
QByteArray LessonCalendarText(const QList<CalendarLesson> &lessons, CalendarMethod method,
                              bool forClient, int envLang, const QString &uidDomain,
                              const QDateTime &now);

// The lessons a user has as client (or as teacher) in the feed's window: booked, confirmed,
// held and missed lessons from 60 days back to a year ahead.
QList<CalendarLesson> FeedLessons(SchoolDatabase &db, qint64 userId, bool asTeacher,
                                  const QDateTime &now);
// One lesson by id with both names.
CalendarLesson LessonById(SchoolDatabase &db, qint64 idTimetable);

// The domain events are named in, the same in feeds and e-mails: the sender's domain of the
// school's e-mails.
QString CalendarUidDomain(const ServerOptions &options);
