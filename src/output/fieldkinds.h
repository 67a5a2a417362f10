#pragma once

#include "wire/fielddef.h"

#include <QString>

// Horizontal alignment of a field's values in an output.
enum class TOutputAlignment { Left, Right, Center };

// Any integer, float, currency or decimal field: it can be summed.
bool IsNumericField(const TFieldDef &field);
// An integer field of 32 bits or less.
bool IsInteger32Field(const TFieldDef &field);
// A float, currency or decimal field.
bool IsFloatField(const TFieldDef &field);
// Numbers are right-aligned, everything else left-aligned.
TOutputAlignment FieldAlignment(const TFieldDef &field);
// The heading a field gives itself: its name.
QString FieldDisplayLabel(const TFieldDef &field);
// The width a field gives itself, in characters.
int FieldDisplayWidth(const TFieldDef &field);
// The same width in screen pixels, as output items measure widths.
int FieldDisplayPixels(const TFieldDef &field);
