#include "screens/timetable/booking/timetableextras.h"

#include "base/bookingfeatures.h"
#include "base/namevaluelist.h"
#include "base/session.h"
#include "base/usertypes.h"
#include "data/dm.h"
#include "data/usertext.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/reportresult.h"
#include "net/requestoutcome.h"
#include "net/runrequest.h"
#include "net/serverrequest.h"
#include "screens/orders/tfedordernew.h"
#include "screens/timetable/booking/bookingrules.h"
#include "screens/timetable/booking/tfrepeatbooking.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "wire/actionnames.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

QToolButton *ToolButton(QWidget *parent, const char *name, int text) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setMinimumHeight(27);
    button->setText(AppText(text));
    button->hide();
    return button;
}

TBookingFeatures Features(const TServices &services) {
    return services.session ? TBookingFeatures::FromSession(*services.session) : TBookingFeatures();
}

} // namespace

TTimetableExtras::TTimetableExtras(const TServices &services, QWidget *toolbar,
                                   QToolButton *cancelButton, QVBoxLayout *screenLayout,
                                   QGroupBox *hoursPanel, QObject *parent)
    : QObject(parent), spb_repeat(ToolButton(toolbar, "spb_repeat", 1911)),
      spb_wait(ToolButton(toolbar, "spb_wait", 1928)), pan_cancelreason(new QFrame(toolbar)),
      lb_cancelreason(new QLabel(pan_cancelreason)),
      spb_message(ToolButton(pan_cancelreason, "spb_message", 1905)), m_services(services),
      m_cancel(cancelButton), m_hours(hoursPanel), m_hoursTitle(hoursPanel->title()) {
    auto *tools = static_cast<QHBoxLayout *>(toolbar->layout());
    const int after = tools->indexOf(cancelButton) + 1;
    tools->insertWidget(after, spb_wait);
    tools->insertWidget(after, spb_repeat);
    pan_cancelreason->setObjectName(QStringLiteral("pan_cancelreason"));
    pan_cancelreason->setAutoFillBackground(true);
    QPalette p = pan_cancelreason->palette();
    p.setColor(QPalette::Window, QColor(253, 236, 234));
    p.setColor(QPalette::WindowText, QColor(114, 28, 36));
    pan_cancelreason->setPalette(p);
    lb_cancelreason->setObjectName(QStringLiteral("lb_cancelreason"));
    lb_cancelreason->setWordWrap(true);
    auto *row = new QHBoxLayout(pan_cancelreason);
    row->setContentsMargins(8, 4, 8, 4);
    row->addWidget(lb_cancelreason, 1);
    row->addWidget(spb_message);
    spb_message->show();
    spb_message->setPopupMode(QToolButton::InstantPopup);
    auto *menu = new QMenu(spb_message);
    menu->addAction(AppText(1906), this, [this] { RunGuarded([this] { MessageByChat(); }); });
    menu->addAction(AppText(1907), this, [this] { RunGuarded([this] { MessageByEmail(); }); });
    spb_message->setMenu(menu);
    pan_cancelreason->setParent(screenLayout->parentWidget());
    screenLayout->insertWidget(1, pan_cancelreason);
    pan_cancelreason->hide();
    connect(spb_repeat, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { spb_repeatClick(); }); });
    connect(spb_wait, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { spb_waitClick(); }); });
}

bool TTimetableExtras::isClient() const {
    return m_services.userType() == UserTypes::Client;
}

void TTimetableExtras::Enter() {
    const TBookingFeatures f = Features(m_services);
    spb_repeat->setVisible(isClient() && f.has(BookingFeatureNames::Repeat));
    spb_wait->setVisible(isClient() && f.has(BookingFeatureNames::Waits));
    Update();
}

TTimetableExtras::Row TTimetableExtras::currentRow() const {
    Row row;
    TClientTable &t = m_services.dm->cd_timetable;
    if (!t.Active() || t.IsEmpty())
        return row;
    const auto integer = [&t](const char *field) {
        const auto f = t.FindField(QString::fromLatin1(field));
        return f ? f->AsInteger() : 0;
    };
    row.id = integer("IDTIMETABLE");
    row.teacher = integer("IDTEACHER");
    row.status = int(integer("TIMETABLESTATUS"));
    if (const auto f = t.FindField(QStringLiteral("HOURS")))
        row.hours = f->AsFloat() > 0 ? f->AsFloat() : 1;
    if (const auto f = t.FindField(QStringLiteral("WHENHOUR")))
        row.when = f->AsDateTime();
    if (const auto f = t.FindField(QStringLiteral("TEACHERFULLNAME")))
        row.teacherName = f->AsString();
    return row;
}

void TTimetableExtras::Update() {
    if (!isClient()) {
        pan_cancelreason->hide();
        return;
    }
    const TBookingFeatures f = Features(m_services);
    const Row row = currentRow();
    const bool booked = row.id > 0 && (row.status == 2 || row.status == 3);
    const QString reason =
        booked ? BookingRules::CancelBlockedReason(f, row.when, CurrentSeam().now()) : QString();
    if (!reason.isEmpty())
        m_cancel->setEnabled(false);
    m_cancel->setToolTip(reason);
    lb_cancelreason->setText(reason);
    pan_cancelreason->setVisible(!reason.isEmpty());
    spb_repeat->setEnabled(row.id > 0 && row.status == 1 &&
                           BookingRules::MaxRepeatWeeks(m_bookable, row.hours) >= 2);
    spb_wait->setEnabled(row.id > 0 && row.teacher > 0 && row.when > CurrentSeam().now());
}

void TTimetableExtras::MarkBalance(double bookable) {
    m_bookable = bookable;
    const bool low = isClient() && BookingRules::IsLowBalance(Features(m_services), bookable);
    m_hours->setTitle(low ? m_hoursTitle + QStringLiteral(" - ") + AppText(1910) : m_hoursTitle);
    m_hours->setProperty("lowBalance", low);
    QPalette p = m_hours->palette();
    p.setColor(QPalette::WindowText,
               low ? QColor(192, 0, 0)
                   : m_hours->parentWidget()->palette().color(QPalette::WindowText));
    m_hours->setPalette(p);
}

void TTimetableExtras::AfterBooking() {
    if (!isClient() || !BookingRules::IsLowBalance(Features(m_services), m_bookable))
        return;
    if (AppMessageBox(FormatText(AppText(1909), {FormatAmount(m_bookable)}), mtConfirmation,
                      mbYes | mbNo) != mrYes)
        return;
    Tfedordernew dialog(m_services, 0, m_hours->window());
    dialog.Prepare();
    dialog.exec();
}

void TTimetableExtras::spb_repeatClick() {
    const Row row = currentRow();
    const int weeks = BookingRules::MaxRepeatWeeks(m_bookable, row.hours);
    if (row.id < 1 || row.status != 1 || weeks < 2)
        return;
    Tfrepeatbooking dialog(m_services, row.id, row.when, row.teacherName, m_bookable, weeks,
                           m_hours->window());
    const bool booked = dialog.exec() == QDialog::Accepted;
    if (afterRepeat)
        afterRepeat();
    if (booked) {
        AppMessageBox(FormatText(AppText(1920), {dialog.BookedHours()}), mtInformation, mbOK);
        AfterBooking();
    }
}

void TTimetableExtras::spb_waitClick() {
    const Row row = currentRow();
    if (row.id < 1 || row.teacher < 1) {
        AppMessageBox(AppText(1933), mtInformation, mbOK);
        return;
    }
    const QString day = FormatShortDate(row.when.date());
    if (AppMessageBox(FormatText(AppText(1929), {day, row.teacherName}), mtConfirmation,
                      mbYes | mbNo) != mrYes)
        return;
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::WaitForSlot);
    request.data = "idteacher=" + QByteArray::number(row.teacher) +
                   "&day=" + row.when.date().toString(QStringLiteral("yyyy-MM-dd")).toLatin1();
    const RequestOutcome outcome = RunRequest(request);
    if (!outcome.ok()) {
        ReportResult(outcome);
        return;
    }
    AppMessageBox(AppText(1930), mtInformation, mbOK);
}

// The lesson screen holds the chat with the teacher: its button in the main window opens it.
void TTimetableExtras::MessageByChat() {
    if (auto *button = m_hours->window()->findChild<QAbstractButton *>(QStringLiteral("im_learn")))
        button->click();
}

void TTimetableExtras::MessageByEmail() {
    const Row row = currentRow();
    QUrl mail(QStringLiteral("mailto:"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       FormatText(AppText(1908), {FormatShortDate(row.when.date()) +
                                                  row.when.toString(QStringLiteral(" H:mm"))}));
    mail.setQuery(query);
    CurrentSeam().openDocument(mail.toString(QUrl::FullyEncoded));
}
