#include "grid/controls/dbcheckbox.h"

#include "grid/controls/fielddatalink.h"
#include "seam/guard.h"

TDBCheckBox::TDBCheckBox(QWidget *parent) : QCheckBox(parent), m_link(new TFieldDataLink(this)) {
    connect(m_link, &TFieldDataLink::dataChange, this, &TDBCheckBox::showField);
    connect(this, &QCheckBox::clicked, this, &TDBCheckBox::clickedByUser);
    showField();
}

void TDBCheckBox::SetDataSource(TDataSource *source) {
    m_link->SetDataSource(source);
}

void TDBCheckBox::SetDataField(const QString &fieldName) {
    m_link->SetFieldName(fieldName);
}

void TDBCheckBox::SetReadOnly(bool readOnly) {
    m_link->SetReadOnly(readOnly);
}

void TDBCheckBox::showField() {
    const auto field = m_link->Field();
    const QSignalBlocker block(this);
    setChecked(field && field->AsBoolean());
    setEnabled(m_link->Field().has_value());
}

void TDBCheckBox::clickedByUser(bool checked) {
    const bool written = RunGuarded([&] {
        if (m_link->Edit())
            m_link->Field()->SetAsBoolean(checked);
    });
    if (!written || !m_link->Editing())
        showField();
}
