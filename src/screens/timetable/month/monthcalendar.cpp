#include "screens/timetable/month/monthcalendar.h"

#include "lang/texts.h"
#include "screens/timetable/month/monthdays.h"
#include "screens/timetable/month/monthgrid.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TMonthCalendar::TMonthCalendar(QWidget *parent)
    : QWidget(parent), btn_prior(new QToolButton(this)), lb_title(new QLabel(this)),
      btn_next(new QToolButton(this)), days(new TMonthDays(this)) {
    setObjectName(QStringLiteral("cal"));
    btn_prior->setObjectName(QStringLiteral("btn_prior"));
    btn_next->setObjectName(QStringLiteral("btn_next"));
    lb_title->setObjectName(QStringLiteral("lb_title"));
    btn_prior->setArrowType(Qt::LeftArrow);
    btn_next->setArrowType(Qt::RightArrow);
    btn_prior->setAutoRaise(true);
    btn_next->setAutoRaise(true);
    btn_prior->setToolTip(AppText(1307));
    btn_next->setToolTip(AppText(1308));
    btn_prior->setAccessibleName(AppText(1307));
    btn_next->setAccessibleName(AppText(1308));
    btn_prior->setAutoRepeat(true);
    btn_next->setAutoRepeat(true);
    QFont bold = lb_title->font();
    bold.setBold(true);
    lb_title->setFont(bold);
    lb_title->setAlignment(Qt::AlignCenter);
    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(btn_prior);
    header->addWidget(lb_title, 1);
    header->addWidget(btn_next);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(days, 1);
    connect(btn_prior, &QToolButton::clicked, this, &TMonthCalendar::PriorMonth);
    connect(btn_next, &QToolButton::clicked, this, &TMonthCalendar::NextMonth);
    connect(days, &TMonthDays::dateChanged, this, &TMonthCalendar::dateChanged);
}

QDate TMonthCalendar::Date() const {
    return days->Date();
}

void TMonthCalendar::SetDate(const QDate &date) {
    days->SetDate(date);
}

void TMonthCalendar::PriorMonth() {
    days->SetDate(MonthGrid::ShiftMonths(days->Date(), -1));
}

void TMonthCalendar::NextMonth() {
    days->SetDate(MonthGrid::ShiftMonths(days->Date(), 1));
}

void TMonthCalendar::SetTitle(const QString &title) {
    lb_title->setText(title);
}

void TMonthCalendar::RefreshCells() {
    days->update();
}
