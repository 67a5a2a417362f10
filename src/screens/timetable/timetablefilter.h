#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The choices of the timetable filter dialog as the filter expression needs them.
struct TTimetableFilterValues {
    QString statusCondition; // the status list's OR-form condition on TIMETABLESTATUS
    int teacherId = 0;       // 0: every teacher
    int clientId = 0;        // 0: every client
    std::optional<QDate> from, to;
};

// The filter expression over cd_timetable: each condition in parentheses, joined with
// " AND ", in the order statuses, teacher, client, from-date, day after the to-date (so the
// whole to-day is included). Empty when nothing restricts.
QString TimetableFilterText(const TTimetableFilterValues &values);
// The same conditions added to an existing expression (the users screen starts with the
// selected user's condition).
void AddTimetableConditions(const TTimetableFilterValues &values, QString &filter);

// The restriction of cd_timetable to the lessons of one day.
QString DayFilterText(const QDate &day);

// The data of the "settimetablestatus" action; a client id above 0 adds "&idclientnew=".
QString TimetableStatusData(qint64 idTimetable, int newStatus, qint64 clientNew = 0);
