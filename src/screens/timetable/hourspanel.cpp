#include "screens/timetable/hourspanel.h"

#include "base/session.h"
#include "lang/texts.h"
#include "screens/timetable/hoursbalance.h"

#include <QGridLayout>
#include <QLabel>

namespace {

// Caption texts of the rows, in row order.
constexpr int kCaptions[THoursPanel::kRows] = {342, 343, 366, 344, 345, 346, 347, 348, 367};

} // namespace

THoursPanel::THoursPanel(QWidget *parent) : QGroupBox(AppText(341), parent) {
    setObjectName(QStringLiteral("pan_hours"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(1);
    for (int row = 0; row < kRows; ++row) {
        grid->addWidget(new QLabel(AppText(kCaptions[row]), this), row, 0);
        values[row] = new QLabel(this);
        values[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        values[row]->setObjectName(QStringLiteral("lb_hours%1").arg(row));
        grid->addWidget(values[row], row, 1);
    }
    values[Bookable]->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); font-weight: bold;"));
    values[Expiry]->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0);"));
    grid->setColumnStretch(1, 1);
}

void THoursPanel::Fill(const THoursBalance &b) {
    const double numbers[] = {b.payed,  b.Spent(),     b.expired,   b.debit,
                              b.Free(), b.unconfirmed, b.confirmed, b.Bookable()};
    for (int row = 0; row < Expiry; ++row)
        values[row]->setText(FormatAmount(numbers[row]));
    values[Expiry]->setText(b.ExpiryText());
}

QString THoursPanel::ValueText(Row row) const {
    return values[row]->text();
}
