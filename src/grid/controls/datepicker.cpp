#include "grid/controls/datepicker.h"

#include "grid/filtertext.h"
#include "errors/apperror.h"
#include "lang/texts.h"

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

std::optional<QDate> TDatePicker::Picked() const {
    return Checked() ? std::optional<QDate>(Date()) : std::nullopt;
}

void DateRangeLine(const QString &label, const TDatePicker &from, const TDatePicker &to,
                   QString &text) {
    text = DateRangeLine(label, from.Picked(), to.Picked());
}

TDateRangeState SaveDateRange(const TDatePicker &from, const TDatePicker &to) {
    return {from.Checked(), to.Checked(), from.Date(), to.Date()};
}

void RestoreDateRange(const TDateRangeState &state, TDatePicker &from, TDatePicker &to) {
    from.SetChecked(state.fromChecked);
    to.SetChecked(state.toChecked);
    from.SetDate(state.from);
    to.SetDate(state.to);
}

void CheckDateRangeOrder(const TDatePicker &from, const TDatePicker &to) {
    if (from.Checked() && to.Checked() && from.Date() > to.Date())
        throw AppError(CommonText(133));
}
