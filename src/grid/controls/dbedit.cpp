#include "grid/controls/dbedit.h"

#include "grid/controls/fielddatalink.h"
#include "grid/standardformats.h"
#include "seam/guard.h"

#include <QKeyEvent>

TDBEdit::TDBEdit(QWidget *parent) : QLineEdit(parent), m_link(new TFieldDataLink(this)) {
    connect(m_link, &TFieldDataLink::dataChange, this, [this] {
        if (!m_modified || !m_link->Editing())
            showField();
    });
    connect(m_link, &TFieldDataLink::updateData, this, &TDBEdit::UpdateRecord);
    connect(this, &QLineEdit::textEdited, this, &TDBEdit::textEditedByUser);
    showField();
}

void TDBEdit::SetDataSource(TDataSource *source) {
    m_link->SetDataSource(source);
}

void TDBEdit::SetDataField(const QString &fieldName) {
    m_link->SetFieldName(fieldName);
}

void TDBEdit::SetReadOnly(bool readOnly) {
    m_link->SetReadOnly(readOnly);
}

QString TDBEdit::fieldText(bool editing) const {
    const auto field = m_link->Field();
    if (!field)
        return QString();
    return editing ? FieldEditText(field->Def(), field->Value()) : field->DisplayText();
}

void TDBEdit::writeText(const QString &text) {
    if (const auto field = m_link->Field())
        field->SetAsString(text);
}

void TDBEdit::showField() {
    m_showing = true;
    m_modified = false;
    setText(fieldText(hasFocus()));
    showStart();
    QLineEdit::setReadOnly(!m_link->CanModify());
    m_showing = false;
}

void TDBEdit::textEditedByUser() {
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

void TDBEdit::UpdateRecord() {
    if (!m_modified || !m_link->Editing())
        return;
    writeText(text());
    m_modified = false;
}

void TDBEdit::focusInEvent(QFocusEvent *event) {
    if (!m_modified) {
        m_showing = true;
        setText(fieldText(true));
        m_showing = false;
    }
    QLineEdit::focusInEvent(event);
}

void TDBEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    if (RunGuarded([this] { UpdateRecord(); }) && !m_modified) {
        m_showing = true;
        setText(fieldText(false));
        showStart();
        m_showing = false;
    }
}

// A text longer than the box shows its beginning while the box is not being edited (the
// cursor would otherwise sit at the end and hide the start, as of an e-mail address).
void TDBEdit::showStart() {
    if (!hasFocus())
        setCursorPosition(0);
}

void TDBEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (m_modified) {
            RunGuarded([this] { UpdateRecord(); });
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}
