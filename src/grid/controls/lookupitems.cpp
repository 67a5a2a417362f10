#include "grid/controls/lookupitems.h"

#include "data/clienttable.h"
#include "data/usertext.h"
#include "errors/apperror.h"

int LookupField(const TClientTable &table, const QString &field) {
    bool number = !field.isEmpty();
    for (QChar c : field)
        number = number && c.isDigit() && c.unicode() < 128;
    // A number too large for an int names no field (toInt would give 0, the first field).
    bool inRange = true;
    const int index = number ? field.toInt(&inRange) : table.FieldIndex(field);
    if (!inRange || index < 0 || index >= table.FieldCount())
        throw AppError(QStringLiteral("%1: Field '%2' not found").arg(table.Name(), field));
    return index;
}

QList<TCheckedItem> LookupItems(const TClientTable &table, int keyField, const QString &textField) {
    if (keyField < 0 || keyField >= table.FieldCount())
        throw AppError(QStringLiteral("%1: Field '%2' not found").arg(table.Name()).arg(keyField));
    const int text = LookupField(table, textField);
    const TFieldDef &textDef = table.FieldDefs()[text];
    QList<TCheckedItem> items;
    const int rows = table.Active() ? table.RecordCount() : 0;
    items.reserve(rows);
    for (int pos = 0; pos < rows; ++pos)
        items.append({ValueToUserText(textDef, table.ValueAt(pos, text)),
                      qint32(table.ValueAt(pos, keyField).toInteger())});
    return items;
}
