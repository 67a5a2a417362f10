#include "grid/datepicker.h"

#include "grid/filtertext.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHBoxLayout>

TDatePicker::TDatePicker(QWidget *parent)
    : QWidget(parent), m_tick(new QCheckBox(this)), m_edit(new QDateEdit(this)) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_tick);
    layout->addWidget(m_edit, 1);
    m_edit->setCalendarPopup(true);
    m_edit->setDisplayFormat(QStringLiteral("d.M.yyyy"));
    m_edit->setEnabled(false);
    connect(m_tick, &QCheckBox::toggled, m_edit, &QWidget::setEnabled);
}

bool TDatePicker::Checked() const {
    return m_tick->isChecked();
}

void TDatePicker::SetChecked(bool checked) {
    m_tick->setChecked(checked);
}

QDate TDatePicker::Date() const {
    return m_edit->date();
}

void TDatePicker::SetDate(const QDate &date) {
    m_edit->setDate(date);
}

void DateRangeLine(const QString &label, const TDatePicker &from, const TDatePicker &to,
                   QString &text) {
    const auto end = [](const TDatePicker &picker) {
        return picker.Checked() ? std::optional<QDate>(picker.Date()) : std::nullopt;
    };
    text = DateRangeLine(label, end(from), end(to));
}
