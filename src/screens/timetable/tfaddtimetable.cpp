#include "screens/timetable/tfaddtimetable.h"

#include "base/bookingfeatures.h"
#include "base/namevaluelist.h"
#include "base/session.h"
#include "wire/actionnames.h"
#include "data/dm.h"
#include "data/usertext.h"
#include "errors/apperror.h"
#include "seam/guard.h"
#include "lang/programlocale.h"
#include "seam/seam.h"
#include "lang/texts.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int kHourColumns = 4;
constexpr int kHours = 24;
constexpr int kMaxWeeks = 26; // a week's pattern repeated for up to half a year

// Holds back the table's save-at-once while the run adds its slots, and gives it back
// afterwards, also after an error.
class SaveHeldBack {
public:
    explicit SaveHeldBack(TClientTable &table) : m_table(table), m_afterPost(table.AfterPost) {
        table.AfterPost = nullptr;
    }
    ~SaveHeldBack() { m_table.AfterPost = m_afterPost; }
    SaveHeldBack(const SaveHeldBack &) = delete;
    SaveHeldBack &operator=(const SaveHeldBack &) = delete;

private:
    TClientTable &m_table;
    TTableEvent m_afterPost;
};

} // namespace

Tfaddtimetable::Tfaddtimetable(const TServices &services, QWidget *parent)
    : QDialog(parent), m_services(services), dt_date(new QDateEdit(this)),
      spn_weeks(new QSpinBox(this)), btnclear(new QPushButton(AppText(4), this)), btnok(new QPushButton(CommonText(1), this)),
      btncancel(new QPushButton(CommonText(2), this)) {
    setObjectName(QStringLiteral("faddtimetable"));
    setWindowTitle(AppText(1));
    dt_date->setObjectName(QStringLiteral("dt_date"));
    dt_date->setCalendarPopup(true);
    dt_date->setLocale(ProgramLocale());
    dt_date->setDisplayFormat(ProgramLocale().dateFormat(QLocale::LongFormat));
    dt_date->setDate(CurrentSeam().now().date());
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(18);
    const int rows = kHours / kHourColumns;
    for (int hour = 0; hour < kHours; ++hour) {
        auto *box = new QCheckBox(QStringLiteral("%1:00").arg(hour), this);
        box->setObjectName(QStringLiteral("chb_hour%1").arg(hour));
        hours << box;
        grid->addWidget(box, hour % rows, hour / rows);
    }
    auto *form = new QFormLayout;
    form->addRow(AppText(2), dt_date);
    form->addRow(AppText(3), grid);
    spn_weeks->setObjectName(QStringLiteral("spn_weeks"));
    spn_weeks->setRange(1, kMaxWeeks);
    form->addRow(AppText(1921), spn_weeks);
    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(btnclear, QDialogButtonBox::ResetRole);
    buttons->addButton(btnok, QDialogButtonBox::AcceptRole);
    buttons->addButton(btncancel, QDialogButtonBox::RejectRole);
    btnok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(btnclear, &QPushButton::clicked, this, &Tfaddtimetable::btnclearClick);
    connect(btnok, &QPushButton::clicked, this, [this] { RunGuarded([this] { btnokClick(); }); });
    connect(btncancel, &QPushButton::clicked, this, &QDialog::reject);
}

QDate Tfaddtimetable::Date() const {
    return dt_date->date();
}

void Tfaddtimetable::SetDate(const QDate &date) {
    dt_date->setDate(date);
}

void Tfaddtimetable::checkNotPast() const {
    if (Date() < CurrentSeam().now().date())
        throw AppError(AppText(5));
}

bool Tfaddtimetable::ExecuteFor(int teacherId) {
    checkNotPast();
    TeacherId = teacherId;
    // Repeating the pattern over weeks is offered with the server's repeating bookings.
    const bool repeat = m_services.session &&
                        TBookingFeatures::FromSession(*m_services.session).has(BookingFeatureNames::Repeat);
    spn_weeks->setValue(1);
    spn_weeks->setVisible(repeat);
    if (auto *form = findChild<QFormLayout *>())
        if (QWidget *label = form->labelForField(spn_weeks))
            label->setVisible(repeat);
    return exec() == QDialog::Accepted;
}

void Tfaddtimetable::showEvent(QShowEvent *event) {
    btnclearClick();
    QDialog::showEvent(event);
}

void Tfaddtimetable::btnclearClick() {
    for (QCheckBox *box : std::as_const(hours))
        box->setChecked(false);
}

void Tfaddtimetable::btnokClick() {
    checkNotPast();
    appendSlots();
    if (m_services.dm->cd_timetable.ChangeCount() == 0)
        throw AppError(AppText(6));
    saveSlots();
    accept();
}

void Tfaddtimetable::appendSlots() {
    TClientTable &t = m_services.dm->cd_timetable;
    if (!t.Active())
        t.Open();
    SaveHeldBack held(t);
    try {
        const int weeks = spn_weeks->isVisibleTo(this) ? spn_weeks->value() : 1;
        for (int week = 0; week < weeks; ++week)
            for (QCheckBox *box : std::as_const(hours))
                if (box->isChecked())
                    appendSlot(Date().addDays(7 * week), box->text());
    } catch (...) {
        // Every slot of this run is undone.
        if (t.State() != TTableState::Browse)
            t.Cancel();
        t.CancelUpdates();
        throw;
    }
}

void Tfaddtimetable::appendSlot(const QDate &day, const QString &hourText) {
    Tdm &d = *m_services.dm;
    TClientTable &t = d.cd_timetable;
    const int job = m_services.jobId();
    const QStringList parts = hourText.split(u':');
    const QDateTime when(day, QTime(parts.value(0).toInt(), parts.value(1).toInt()));
    if (d.FindTimetableSlot(when, TeacherId, job))
        throw AppError(
            AppText(7).replace(QStringLiteral("%s"), FormatShortDate(when.date()) +
                                                         when.toString(QStringLiteral(" H:mm"))));
    t.Append();
    const auto set = [&t](const char *field, const TValue &value) {
        t.FieldByName(QString::fromLatin1(field)).SetValue(value);
    };
    set("IDJOB", TValue::FromInteger(job));
    set("IDTEACHER", TValue::FromInteger(TeacherId));
    set("TIMETABLESTATUS", TValue::FromInteger(1));
    set("HOURS", TValue::FromFloat(1));
    set("WHENHOUR", TValue::FromDateTime(when));
    set("WHENSTATUSCHANGE", TValue::FromDateTime(CurrentSeam().now()));
    set("WHOSTATUSCHANGE", TValue::FromInteger(m_services.userId()));
    t.Post();
}

void Tfaddtimetable::saveSlots() {
    TClientTable &t = m_services.dm->cd_timetable;
    try {
        t.ApplyUpdates(0);
    } catch (...) {
        // The slots stay out of the log; the list shows the server's state again.
        t.MergeChangeLog();
        try {
            t.Refresh();
        } catch (...) {
            // The save's error is the one the user is shown.
        }
        throw;
    }
    t.Refresh();
}
