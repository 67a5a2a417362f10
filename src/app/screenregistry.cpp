#include "app/screenregistry.h"

#include "base/usertypes.h"
#include "lesson/screen/tfrlearn.h"
#include "screens/orders/tfrorder.h"
#include "screens/timetable/tfrtimetable.h"
#include "screens/users/tfrusers.h"

using namespace UserTypes;

const QList<ScreenEntry> &ScreenRegistry() {
    static const QList<ScreenEntry> entries{
        {.id = QStringLiteral("orders"),
         .buttonName = QStringLiteral("im_order"),
         .captionText = 1018,
         .userTypes = {Administrator, Manager, Client},
         .create = [](const TServices &s) -> TScreen * { return new Tfrorder(s); }},
        {.id = QStringLiteral("timetable"),
         .buttonName = QStringLiteral("im_timetable"),
         .captionText = 1019,
         .userTypes = {Administrator, Manager, Teacher, Client},
         .create = [](const TServices &s) -> TScreen * { return new Tfrtimetable(s); }},
        {.id = QStringLiteral("learn"),
         .buttonName = QStringLiteral("im_learn"),
         .captionText = 1020,
         .userTypes = {Administrator, Manager, Teacher, Client},
         .focusOnSelect = true,
         .create = [](const TServices &services) -> TScreen * { return new Tfrlearn(services); }},
        {.id = QStringLiteral("users"),
         .buttonName = QStringLiteral("im_users"),
         .captionText = 1021,
         .userTypes = {Administrator, Manager},
         .hiddenFromOthers = true,
         .create = [](const TServices &s) -> TScreen * { return new Tfrusers(s); }},
    };
    return entries;
}
