#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Joins a condition to a filter expression: an empty condition changes nothing, an empty
// filter becomes "(" condition ")", otherwise " AND (" condition ")" is appended.
void AddCondition(const QString &condition, QString &filter);

// The filter description line of a date range: label ": " from " - " to, each date in the
// short date form, or "..." for a side that is not set.
QString DateRangeLine(const QString &label, std::optional<QDate> from, std::optional<QDate> to);
