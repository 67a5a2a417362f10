#include "grid/controls/dblookupcombobox.h"

#include "grid/controls/datasource.h"
#include "grid/controls/fielddatalink.h"
#include "grid/controls/lookupitems.h"
#include "seam/guard.h"

TDBLookupComboBox::TDBLookupComboBox(QWidget *parent)
    : QComboBox(parent), m_link(new TFieldDataLink(this)) {
    connect(m_link, &TFieldDataLink::dataChange, this, &TDBLookupComboBox::showField);
    connect(this, &QComboBox::activated, this, &TDBLookupComboBox::chosenByUser);
}

void TDBLookupComboBox::SetDataSource(TDataSource *source) {
    m_link->SetDataSource(source);
}

void TDBLookupComboBox::SetDataField(const QString &fieldName) {
    m_link->SetFieldName(fieldName);
}

void TDBLookupComboBox::SetReadOnly(bool readOnly) {
    m_link->SetReadOnly(readOnly);
}

void TDBLookupComboBox::SetListSource(TDataSource *source, const QString &keyField,
                                      const QString &listField) {
    for (const auto &connection : m_listConnections)
        disconnect(connection);
    m_listConnections.clear();
    m_listSource = source;
    m_keyField = keyField;
    m_listField = listField;
    if (source)
        for (auto signal :
             {&TDataSource::dataSetChanged, &TDataSource::dataChanged, &TDataSource::recordChanged})
            m_listConnections.append(
                connect(source, signal, this, &TDBLookupComboBox::RefreshList));
    RefreshList();
}

void TDBLookupComboBox::RefreshList() {
    const QSignalBlocker block(this);
    clear();
    if (m_listSource && m_listSource->Active()) {
        const TClientTable &table = *m_listSource->DataSet();
        const int key = LookupField(table, m_keyField);
        for (const TCheckedItem &item : LookupItems(table, key, m_listField))
            addItem(item.text, item.key);
    }
    showField();
}

void TDBLookupComboBox::showField() {
    const QSignalBlocker block(this);
    const auto field = m_link->Field();
    setCurrentIndex(field && !field->IsNull() ? findData(int(field->AsInteger())) : -1);
    setEnabled(m_link->CanModify());
}

void TDBLookupComboBox::chosenByUser(int index) {
    const bool written = RunGuarded([&] {
        if (index >= 0 && m_link->Edit())
            m_link->Field()->SetAsInteger(itemData(index).toInt());
    });
    if (!written || !m_link->Editing())
        showField();
}
