#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QDate>
#include <QString>

// The short date form users type and filters quote: day.month.year ("3.3.2009").
QString FormatShortDate(const QDate &date);
// Reads "d.m.yyyy", optionally followed by " h:mm" or " h:mm:ss"; false when invalid.
bool ParseShortDateTime(QStringView text, TDateTimeMs &value);

// The plain text form of a value for a field: short date (and time when not midnight),
// numbers with a decimal comma, "True"/"False", memo text; "" for null.
QString ValueToUserText(const TFieldDef &field, const TValue &value);
// Reads user text for a field; empty text is null. Raises AppError with the standard texts
// for an invalid date or an invalid number for the field.
TValue ValueFromUserText(const TFieldDef &field, const QString &text);
// Converts a value to the field's kind (text through ValueFromUserText); raises AppError
// when it cannot be converted.
TValue ConvertForField(const TFieldDef &field, const TValue &value);
// ConvertForField for a value to be stored in the field: a whole number must also fit the
// field's integer type and a text must hold only characters a packet can carry, so that
// every stored value can be written to a packet and read back unchanged.
TValue ConvertForStoring(const TFieldDef &field, const TValue &value);
// Raises AppError (a message for the user naming the field or parameter) when the text
// holds a character that a packet cannot carry: control characters other than tab and line
// breaks, except in a memo (field given, stored as Base64), and lone surrogates.
void CheckStorableText(const QString &name, const TFieldDef *field, const QString &text);
