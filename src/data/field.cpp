#include "data/field.h"

#include "data/clienttable.h"
#include "data/displayformat.h"
#include "data/usertext.h"

const TFieldDef &TField::Def() const {
    return m_table->FieldDefs()[m_index];
}

TValue TField::Value() const {
    return m_table->currentValue(m_index);
}

TValue TField::OldValue() const {
    return m_table->oldValue(m_index);
}

QString TField::AsString() const {
    return ValueToUserText(Def(), Value());
}

QString TField::DisplayText() const {
    return FormatDisplayText(Def(), Value());
}

void TField::SetValue(const TValue &value) const {
    m_table->setBufferValue(m_index, value);
}

void TField::SetAsString(const QString &text) const {
    SetValue(ValueFromUserText(Def(), text));
}
