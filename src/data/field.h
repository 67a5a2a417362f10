#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QDateTime>
#include <QString>

class TClientTable;

// A field of a client table bound to its current row: reads and writes the value through
// the table (the edit buffer while the table is in edit or insert state).
class TField {
public:
    TField(TClientTable &table, int index) : m_table(&table), m_index(index) {}

    int Index() const { return m_index; }
    const TFieldDef &Def() const;
    QString FieldName() const { return Def().name; }
    TFieldType DataType() const { return Def().type; }

    // The three readings of the current row: current, old (before the change log; the
    // current value of an unchanged row) and new (the current value). Null is distinct.
    TValue Value() const;
    TValue OldValue() const;
    TValue NewValue() const { return Value(); }

    bool IsNull() const { return Value().isNull(); }
    qint64 AsInteger() const { return Value().toInteger(); }
    double AsFloat() const { return Value().toFloat(); }
    bool AsBoolean() const { return Value().toBool(); }
    QDateTime AsDateTime() const { return Value().toQDateTime(); }
    // The plain text form of the value (short date and time, decimal comma); "" for null.
    QString AsString() const;
    // The value formatted with the field's display format (AsString when it has none).
    QString DisplayText() const;

    // Writers need edit or insert state (AppError otherwise). A text value given to a field
    // of another kind is converted from its user text form and raises the standard texts
    // for an invalid date or number.
    void SetValue(const TValue &value) const;
    void SetAsString(const QString &text) const;
    void SetAsInteger(qint64 value) const { SetValue(TValue::FromInteger(value)); }
    void SetAsFloat(double value) const { SetValue(TValue::FromFloat(value)); }
    void SetAsBoolean(bool value) const { SetValue(TValue::FromBool(value)); }
    void SetAsDateTime(const QDateTime &value) const { SetValue(TValue::FromDateTime(value)); }
    void Clear() const { SetValue(TValue()); }

private:
    TClientTable *m_table;
    int m_index;
};
