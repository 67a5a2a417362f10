#include "grid/filtertext.h"

#include "data/usertext.h"

void AddCondition(const QString &condition, QString &filter) {
    if (condition.isEmpty())
        return;
    if (filter.isEmpty())
        filter = u'(' + condition + u')';
    else
        filter += QStringLiteral(" AND (") + condition + u')';
}

QString DateRangeLine(const QString &label, std::optional<QDate> from, std::optional<QDate> to) {
    const auto side = [](std::optional<QDate> date) {
        return date ? FormatShortDate(*date) : QStringLiteral("...");
    };
    return label + QStringLiteral(": ") + side(from) + QStringLiteral(" - ") + side(to);
}
