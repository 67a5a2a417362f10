#include "grid/controls/dbmemo.h"

#include "grid/controls/fielddatalink.h"
#include "seam/guard.h"

TDBMemo::TDBMemo(QWidget *parent) : QPlainTextEdit(parent), m_link(new TFieldDataLink(this)) {
    connect(m_link, &TFieldDataLink::dataChange, this, [this] {
        if (!m_modified || !m_link->Editing())
            showField();
    });
    connect(m_link, &TFieldDataLink::updateData, this, &TDBMemo::UpdateRecord);
    connect(this, &QPlainTextEdit::textChanged, this, &TDBMemo::changedByUser);
    showField();
}

void TDBMemo::SetDataSource(TDataSource *source) {
    m_link->SetDataSource(source);
}

void TDBMemo::SetDataField(const QString &fieldName) {
    m_link->SetFieldName(fieldName);
}

void TDBMemo::SetReadOnly(bool readOnly) {
    m_link->SetReadOnly(readOnly);
}

void TDBMemo::showField() {
    m_showing = true;
    m_modified = false;
    const auto field = m_link->Field();
    QString text = field ? field->Value().toText() : QString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(text);
    QPlainTextEdit::setReadOnly(!m_link->CanModify());
    m_showing = false;
}

void TDBMemo::changedByUser() {
    if (m_showing)
        return;
    // Marked first: starting the edit announces a state change, which must not replace the
    // text being typed.
    const bool first = !m_modified;
    m_modified = true;
    bool started = false;
    RunGuarded([&] { started = m_link->Edit(); });
    if (!started && first)
        showField();
}

void TDBMemo::UpdateRecord() {
    if (!m_modified || !m_link->Editing())
        return;
    if (const auto field = m_link->Field()) {
        QString text = toPlainText();
        text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
        field->SetValue(TValue::FromText(text));
    }
    m_modified = false;
}

void TDBMemo::focusOutEvent(QFocusEvent *event) {
    QPlainTextEdit::focusOutEvent(event);
    RunGuarded([this] { UpdateRecord(); });
}
