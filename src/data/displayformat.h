#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QString>

// Formats a value with a display or edit format: numbers with "#,##0", "0.00", "#,##0.00"
// (group separator U+00A0, decimal comma), date-times with "dd.mm.yyyy", "hh:nn:ss" and
// the like (d, dd, m, mm, yy, yyyy, h, hh, n, nn, s, ss). An empty format gives the plain
// text form; a null gives "".
QString FormatValue(const QString &format, const TFieldDef &field, const TValue &value);

// The value formatted with the field's display format.
QString FormatDisplayText(const TFieldDef &field, const TValue &value);

// A memo as one line: every CR LF pair becomes a blank, cut to the first 100 characters.
QString MemoDisplayText(const QString &text);
