#include "grid/controls/dbdatetimepicker.h"

#include "grid/controls/fielddatalink.h"
#include "seam/guard.h"
#include "seam/seam.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kButtonWidth = 18;

} // namespace

TDBDateEdit::TDBDateEdit(QWidget *parent) : TDBEdit(parent) {}

void TDBDateEdit::focusInEvent(QFocusEvent *event) {
    m_mask = m_applyMask ? ParseDateMask(m_maskText) : TDateMask();
    setInputMask(m_mask.inputMask);
    TDBEdit::focusInEvent(event);
}

void TDBDateEdit::focusOutEvent(QFocusEvent *event) {
    TDBEdit::focusOutEvent(event);
    if (!Modified()) {
        m_mask = TDateMask();
        setInputMask(QString());
        ShowField();
    }
}

void TDBDateEdit::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier) {
        emit dropDownRequested();
        event->accept();
        return;
    }
    TDBEdit::keyPressEvent(event);
}

QString TDBDateEdit::fieldText(bool editing) const {
    const auto field = DataLink()->Field();
    if (editing && field && m_mask.usable())
        return field->IsNull() ? QString() : FormatMaskedDate(m_mask, field->AsDateTime().date());
    return TDBEdit::fieldText(editing);
}

void TDBDateEdit::writeText(const QString &text) {
    const auto field = DataLink()->Field();
    if (!field)
        return;
    if (!m_mask.usable()) {
        TDBEdit::writeText(text);
        return;
    }
    const std::optional<QDate> date =
        ReadMaskedDate(m_mask, text, CurrentSeam().now().date().year());
    if (!date) {
        field->Clear();
        return;
    }
    const QTime time = field->IsNull() ? QTime(0, 0) : field->AsDateTime().time();
    field->SetValue(TValue::FromDateTime(ToDateTimeMs(*date, time)));
}

TDBEditDateTimePicker::TDBEditDateTimePicker(QWidget *parent)
    : QFrame(parent), m_edit(new TDBDateEdit(this)), m_button(new QToolButton(this)),
      m_popup(new QFrame(this, Qt::Popup)), m_calendar(new QCalendarWidget(m_popup)) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_edit->setFrame(false);
    m_edit->SetMask(m_defaultEditMask);
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setFixedWidth(kButtonWidth);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(2); // the edit is the picker's width minus the button and 2 pixels
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    setFocusProxy(m_edit);

    auto *popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(0, 0, 0, 0);
    popupLayout->addWidget(m_calendar);
    m_popup->setFrameStyle(QFrame::Box | QFrame::Plain);

    connect(m_button, &QToolButton::clicked, this, [this] { RunGuarded([this] { DropDown(); }); });
    connect(m_edit, &TDBDateEdit::dropDownRequested, this,
            [this] { RunGuarded([this] { DropDown(); }); });
    for (auto signal : {&QCalendarWidget::clicked, &QCalendarWidget::activated})
        connect(m_calendar, signal, this, [this](QDate date) {
            m_popup->hide();
            RunGuarded([&] { PickDate(date); });
        });
}

void TDBEditDateTimePicker::SetDataSource(TDataSource *source) {
    m_edit->SetDataSource(source);
}

TDataSource *TDBEditDateTimePicker::DataSource() const {
    return m_edit->DataLink()->DataSource();
}

void TDBEditDateTimePicker::SetDataField(const QString &fieldName) {
    m_edit->SetDataField(fieldName);
}

QString TDBEditDateTimePicker::DataField() const {
    return m_edit->DataLink()->FieldName();
}

void TDBEditDateTimePicker::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
    m_edit->SetReadOnly(readOnly);
}

void TDBEditDateTimePicker::SetDefaultEditMask(const QString &mask) {
    m_defaultEditMask = mask;
    m_edit->SetMask(mask);
}

void TDBEditDateTimePicker::SetAutoApplyEditMask(bool on) {
    m_autoApplyEditMask = on;
    m_edit->SetApplyMask(on);
}

bool TDBEditDateTimePicker::CalendarShown() const {
    return m_popup->isVisible();
}

void TDBEditDateTimePicker::DropDown() {
    const auto field = m_edit->DataLink()->Field();
    const QDate date =
        field && !field->IsNull() ? field->AsDateTime().date() : CurrentSeam().now().date();
    m_calendar->setVerticalHeaderFormat(m_weekNumbers ? QCalendarWidget::ISOWeekNumbers
                                                      : QCalendarWidget::NoVerticalHeader);
    m_calendar->setSelectedDate(date);
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    m_calendar->setFocus();
}

void TDBEditDateTimePicker::PickDate(const QDate &date) {
    TFieldDataLink *link = m_edit->DataLink();
    if (m_readOnly || !link->Edit())
        return;
    const TField field = *link->Field();
    const TValue old = field.Value();
    const QTime time = old.isNull() ? QTime(0, 0) : TimePart(old.toDateTime());
    const TValue picked = TValue::FromDateTime(ToDateTimeMs(date, time));
    if (!(old == picked))
        field.SetValue(picked);
    m_edit->ShowField();
}
