#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The choices of the orders filter dialog as the filter expression needs them.
struct TOrderFilterValues {
    QString statusCondition; // the status list's OR-form condition on ORDERSTATUS; may be empty
    bool nonZeroOnly = false;
    int clientId = 0; // 0: every client
    std::optional<QDate> from, to;
};

// The filter expression over cd_order: each condition in parentheses, joined with " AND ",
// in the order statuses, non-zero amounts, client, from-date, day after the to-date (so the
// whole to-day is included). Empty when nothing restricts.
QString OrderFilterText(const TOrderFilterValues &values);
// The same conditions added to an existing expression (the users screen starts with its
// "IDUSER=" condition).
void AddOrderConditions(const TOrderFilterValues &values, QString &filter);
