#pragma once

#include "grid/controls/checkeditems.h"

#include <QList>
#include <QString>

class TClientTable;

// The field of a lookup table named either by its number (a text reading as a whole number
// of 0 or more) or by its name; raises AppError when there is no such field.
int LookupField(const TClientTable &table, const QString &field);

// One item per record of the lookup table, first to last in its current order: the text
// field's value as text and the key field's value as integer. The table's current record
// does not move.
QList<TCheckedItem> LookupItems(const TClientTable &table, int keyField, const QString &textField);
