#include "screens/timetable/statuschoices.h"

#include "base/usertypes.h"
#include "grid/controls/lookupitems.h"

#include "data/clienttable.h"

QList<TStatusChoice> TimetableStatusChoices(const TClientTable &statuses, int userType) {
    const int key = LookupField(statuses, QStringLiteral("IDTIMETABLESTATUS"));
    QList<TStatusChoice> choices;
    for (const TCheckedItem &item : LookupItems(statuses, key, QStringLiteral("STATUSNAME_L"))) {
        const bool teacherMay = item.key >= 3 && item.key <= 5;
        if (userType != UserTypes::Teacher || teacherMay)
            choices.append({item.key, item.text});
    }
    return choices;
}
