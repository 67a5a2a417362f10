#include "screens/users/userfilter.h"

#include "data/usertext.h"
#include "grid/filtertext.h"

QString UserFilterText(const TUserFilterValues &values) {
    QString filter;
    AddCondition(values.typeCondition, filter);
    AddCondition(values.levelCondition, filter);
    if (values.activeOnly)
        AddCondition(QStringLiteral("USERACTIVE=1"), filter);
    if (values.debtorsOnly)
        AddCondition(
            QStringLiteral("HOURSPAYED<HOURSLEARNED+HOURSEXPIRED+HOURSMISSED+HOURSSTORNOPAY"),
            filter);
    if (values.from)
        AddCondition(QStringLiteral("LASTLOGWHEN>='") + FormatShortDate(*values.from) + u'\'',
                     filter);
    if (values.to)
        AddCondition(QStringLiteral("LASTLOGWHEN<'") + FormatShortDate(values.to->addDays(1)) +
                         u'\'',
                     filter);
    return filter;
}

QString UserOrdersCondition(qint64 userId) {
    QString filter;
    AddCondition(QStringLiteral("IDUSER=") + QString::number(userId), filter);
    return filter;
}

QString UserTimetableCondition(qint64 userId, bool student) {
    QString filter;
    AddCondition(student ? QStringLiteral("IDUSER=%1 OR IDUSER=0").arg(userId)
                         : QStringLiteral("IDTEACHER=%1").arg(userId),
                 filter);
    return filter;
}
