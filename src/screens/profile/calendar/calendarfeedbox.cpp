#include "screens/profile/calendar/calendarfeedbox.h"

#include "base/bookingfeatures.h"
#include "base/namevaluelist.h"
#include "base/session.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "net/requestaddress.h"
#include "net/requestoutcome.h"
#include "net/runrequest.h"
#include "net/serverrequest.h"
#include "net/settings/settings.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "wire/actionnames.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TCalendarFeedBox::TCalendarFeedBox(const TServices &services, QWidget *parent)
    : QGroupBox(AppText(1922), parent), lb_hint(new QLabel(AppText(1923), this)),
      ed_address(new QLineEdit(this)), btn_create(new QPushButton(AppText(1926), this)),
      btn_copy(new QPushButton(AppText(1924), this)),
      btn_revoke(new QPushButton(AppText(1925), this)), m_services(services) {
    setObjectName(QStringLiteral("gb_calendarfeed"));
    lb_hint->setWordWrap(true);
    ed_address->setObjectName(QStringLiteral("ed_feedaddress"));
    ed_address->setReadOnly(true);
    btn_create->setObjectName(QStringLiteral("btn_createfeed"));
    btn_copy->setObjectName(QStringLiteral("btn_copyfeed"));
    btn_revoke->setObjectName(QStringLiteral("btn_revokefeed"));
    auto *row = new QHBoxLayout;
    row->addWidget(ed_address, 1);
    row->addWidget(btn_create);
    row->addWidget(btn_copy);
    row->addWidget(btn_revoke);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lb_hint);
    layout->addLayout(row);
    connect(btn_create, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_createClick(); }); });
    connect(btn_copy, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_copyClick(); }); });
    connect(btn_revoke, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btn_revokeClick(); }); });
    hide();
}

void TCalendarFeedBox::Prepare() {
    const bool offered =
        m_services.session &&
        TBookingFeatures::FromSession(*m_services.session).has(BookingFeatureNames::Feed);
    setVisible(offered);
    if (offered)
        runFeed("show");
}

bool TCalendarFeedBox::runFeed(const char *op) {
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::CalendarFeed);
    request.data = QByteArray("op=") + op;
    const RequestOutcome outcome = RunRequest(request);
    const std::optional<QByteArray> payload =
        outcome.ok() ? ReplyPayload(outcome.reply) : std::optional<QByteArray>();
    if (!payload) {
        ReportResult(outcome);
        return false;
    }
    showAddress(QString::fromUtf8(payload->trimmed()));
    return true;
}

void TCalendarFeedBox::showAddress(const QString &path) {
    const bool has = path.startsWith(u'/');
    ed_address->setText(
        has ? BaseAddress(CurrentConnectionTarget().server, Settings().useSsl) + path : QString());
    ed_address->setCursorPosition(0);
    btn_create->setVisible(!has);
    btn_copy->setVisible(has);
    btn_revoke->setVisible(has);
}

void TCalendarFeedBox::btn_createClick() {
    runFeed("get");
}

void TCalendarFeedBox::btn_copyClick() {
    QApplication::clipboard()->setText(ed_address->text());
    ed_address->selectAll();
    ed_address->setFocus();
}

void TCalendarFeedBox::btn_revokeClick() {
    if (AppMessageBox(AppText(1927), mtConfirmation, mbYes | mbNo) == mrYes)
        runFeed("revoke");
}
