#pragma once

#include "screens/timetable/icalendarwriter.h"

#include <QList>

class TClientTable;

// A lesson of cd_timetable as a calendar needs it.
struct TLessonRow {
    qint64 id = 0;
    QDateTime when;
    double hours = 0;
    QString teacher, client, status;
    qint64 idUser = 0;
    int statusId = 0;
};

// The lessons of the table's current list, in its order (a walk of the visible rows).
QList<TLessonRow> ListedLessons(TClientTable &timetable);
// The lessons a client has booked (statuses 2 and 3) in the whole table, whatever its
// filter, in time order.
QList<TLessonRow> BookedLessons(const TClientTable &timetable, qint64 idUser);

// A lesson as an event: its id makes the UID (with the school's host, so that two schools'
// lessons never meet), the summary names the other side (the teacher for a client, the
// client for a teacher, both for staff) and the status.
TCalendarEvent LessonEvent(const TLessonRow &lesson, int userType, const QString &host);
