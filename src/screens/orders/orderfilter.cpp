#include "screens/orders/orderfilter.h"

#include "data/usertext.h"
#include "grid/filtertext.h"

void AddOrderConditions(const TOrderFilterValues &values, QString &filter) {
    AddCondition(values.statusCondition, filter);
    if (values.nonZeroOnly)
        AddCondition(QStringLiteral("AMOUNT<>0"), filter);
    if (values.clientId != 0)
        AddCondition(QStringLiteral("IDUSER=") + QString::number(values.clientId), filter);
    if (values.from)
        AddCondition(QStringLiteral("WHENORDER>='") + FormatShortDate(*values.from) + u'\'',
                     filter);
    if (values.to)
        AddCondition(QStringLiteral("WHENORDER<'") + FormatShortDate(values.to->addDays(1)) + u'\'',
                     filter);
}

QString OrderFilterText(const TOrderFilterValues &values) {
    QString filter;
    AddOrderConditions(values, filter);
    return filter;
}
