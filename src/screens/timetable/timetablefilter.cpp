#include "screens/timetable/timetablefilter.h"

#include "data/usertext.h"
#include "grid/filtertext.h"

namespace {

QString quoted(const QDate &date) {
    return u'\'' + FormatShortDate(date) + u'\'';
}

} // namespace

void AddTimetableConditions(const TTimetableFilterValues &values, QString &filter) {
    AddCondition(values.statusCondition, filter);
    if (values.teacherId != 0)
        AddCondition(QStringLiteral("IDTEACHER=") + QString::number(values.teacherId), filter);
    if (values.clientId != 0)
        AddCondition(QStringLiteral("IDUSER=") + QString::number(values.clientId), filter);
    if (values.from)
        AddCondition(QStringLiteral("WHENHOUR>=") + quoted(*values.from), filter);
    if (values.to)
        AddCondition(QStringLiteral("WHENHOUR<") + quoted(values.to->addDays(1)), filter);
}

QString TimetableFilterText(const TTimetableFilterValues &values) {
    QString filter;
    AddTimetableConditions(values, filter);
    return filter;
}

QString DayFilterText(const QDate &day) {
    return QStringLiteral("WHENHOUR>=") + quoted(day) + QStringLiteral(" AND WHENHOUR<") +
           quoted(day.addDays(1));
}

QString TimetableStatusData(qint64 idTimetable, int newStatus, qint64 clientNew) {
    QString data = QStringLiteral("idtimetable=") + QString::number(idTimetable) +
                   QStringLiteral("&newstatus=") + QString::number(newStatus);
    if (clientNew > 0)
        data += QStringLiteral("&idclientnew=") + QString::number(clientNew);
    return data;
}
