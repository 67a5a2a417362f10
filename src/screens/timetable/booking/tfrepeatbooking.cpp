#include "screens/timetable/booking/tfrepeatbooking.h"

#include "base/session.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/reportresult.h"
#include "net/requestoutcome.h"
#include "net/runrequest.h"
#include "net/serverrequest.h"
#include "screens/timetable/booking/bookingrules.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "wire/actionnames.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

Tfrepeatbooking::Tfrepeatbooking(const TServices &services, qint64 idTimetable,
                                 const QDateTime &when, const QString &teacher, double bookable,
                                 int maxWeeks, QWidget *parent)
    : QDialog(parent), m_services(services), lb_intro(new QLabel(this)),
      spn_weeks(new QSpinBox(this)), lb_bookable(new QLabel(this)),
      btncheck(new QPushButton(AppText(1916), this)), lb_result(new QLabel(this)),
      lst_conflicts(new QListWidget(this)), btnok(new QPushButton(AppText(1919), this)),
      btncancel(new QPushButton(CommonText(2), this)), m_id(idTimetable) {
    setObjectName(QStringLiteral("frepeatbooking"));
    setWindowTitle(AppText(1912));
    const QString time = ProgramLocale().toString(when, QStringLiteral("dddd d. M. yyyy H:mm"));
    lb_intro->setText(FormatText(AppText(1913), {time, teacher}));
    lb_intro->setWordWrap(true);
    spn_weeks->setObjectName(QStringLiteral("spn_weeks"));
    spn_weeks->setRange(2, qMax(2, maxWeeks));
    spn_weeks->setValue(qMin(4, qMax(2, maxWeeks)));
    lb_bookable->setText(FormatText(AppText(1915), {FormatAmount(bookable)}));
    lb_result->setObjectName(QStringLiteral("lb_result"));
    lb_result->setWordWrap(true);
    lst_conflicts->setObjectName(QStringLiteral("lst_conflicts"));
    lst_conflicts->setMaximumHeight(120);
    lst_conflicts->hide();
    btnok->setObjectName(QStringLiteral("btnok"));
    btncheck->setObjectName(QStringLiteral("btncheck"));
    auto *form = new QFormLayout;
    form->addRow(AppText(1914), spn_weeks);
    form->addRow(QString(), lb_bookable);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btncheck, QDialogButtonBox::ActionRole);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lb_intro);
    layout->addLayout(form);
    layout->addWidget(lb_result);
    layout->addWidget(lst_conflicts);
    layout->addWidget(buttons);
    setMinimumWidth(440);
    connect(spn_weeks, &QSpinBox::valueChanged, this, [this] {
        m_checkedWeeks = 0;
        lb_result->clear();
        lst_conflicts->hide();
    });
    connect(btncheck, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { CheckWeeks(); }); });
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

QByteArray Tfrepeatbooking::requestData(bool check) const {
    return "idtimetable=" + QByteArray::number(m_id) +
           "&weeks=" + QByteArray::number(spn_weeks->value()) + (check ? "&check=1" : "");
}

bool Tfrepeatbooking::CheckWeeks() {
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::RepeatBooking);
    request.data = requestData(true);
    const RequestOutcome outcome = RunRequest(request);
    const std::optional<QByteArray> payload =
        outcome.ok() ? ReplyPayload(outcome.reply) : std::optional<QByteArray>();
    if (!payload) {
        ReportResult(outcome);
        return false;
    }
    const QList<QDateTime> conflicts = BookingRules::RepeatConflicts(ReplyText(*payload));
    lst_conflicts->clear();
    for (const QDateTime &week : conflicts)
        lst_conflicts->addItem(
            ProgramLocale().toString(week, QStringLiteral("dddd d. M. yyyy H:mm")));
    lst_conflicts->setVisible(!conflicts.isEmpty());
    lb_result->setText(AppText(conflicts.isEmpty() ? 1917 : 1918));
    m_checkedWeeks = conflicts.isEmpty() ? spn_weeks->value() : 0;
    return conflicts.isEmpty();
}

void Tfrepeatbooking::btnokClick() {
    if (m_checkedWeeks != spn_weeks->value() && !CheckWeeks())
        return;
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::RepeatBooking);
    request.data = requestData(false);
    const RequestOutcome outcome = RunRequest(request);
    if (!outcome.ok()) {
        m_checkedWeeks = 0;
        ReportResult(outcome); // the server's refusal names every week it could not book
        return;
    }
    m_booked = ReplyPayload(outcome.reply).value_or(QByteArray()).trimmed().toInt();
    accept();
}
