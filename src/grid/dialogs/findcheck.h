#pragma once

#include "wire/fielddef.h"

#include <QString>

// Checks a find text against the type of the searched field before the search runs; raises
// AppError with the matching message (the text in place of "%s") when the text is no valid
// integer, floating-point number, date, time or date and time. Other fields accept any text.
void CheckFindText(const TFieldDef &field, const QString &text);
