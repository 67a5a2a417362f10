#pragma once

#include "wire/fielddef.h"

#include <QDateTime>
#include <QString>

// The date and time of an output's time stamp: short date and long time ("15.1.2026 10:00:00").
QString OutputTimeStamp(const QDateTime &when);
// A column's sum with the field's display format; the general number form for fields without
// one or that are not 32-bit integer, float, currency or decimal fields.
QString FormatSum(const TFieldDef &field, double sum);
// A record count with thousands grouped ("#,##0").
QString FormatCount(qint64 count);
