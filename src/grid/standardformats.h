#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QString>

// The value as a grid cell shows it: with the field's display format; a memo as one line of
// at most 100 characters.
QString GridCellText(const TFieldDef &field, const TValue &value);
// The value as an editor starts editing it: with the field's edit format, memos in full.
QString FieldEditText(const TFieldDef &field, const TValue &value);

// Gives the field the lists' standard display and edit formats for its type: 32-bit
// integers "#,##0" / "0", floats "#,##0.00" / "0.00", dates "dd.mm.yyyy", times
// "hh:nn:ss", dates with time "dd.mm.yyyy hh:nn:ss". Other fields keep their formats.
void ApplyStandardFormats(TFieldDef &field);
