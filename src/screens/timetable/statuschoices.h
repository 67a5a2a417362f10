#pragma once

#include <QList>
#include <QString>

class TClientTable;

// One entry of the timetable's status menu.
struct TStatusChoice {
    int status = 0;
    QString name;
    friend bool operator==(const TStatusChoice &, const TStatusChoice &) = default;
};

// The entries of the status menu: one per row of cd_ttstatus in table order, named by
// STATUSNAME_L and carrying IDTIMETABLESTATUS; a teacher gets only the statuses 3, 4 and 5.
QList<TStatusChoice> TimetableStatusChoices(const TClientTable &statuses, int userType);
