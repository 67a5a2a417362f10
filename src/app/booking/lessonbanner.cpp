#include "app/booking/lessonbanner.h"

#include "base/bookingfeatures.h"
#include "base/session.h"
#include "base/usertypes.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/quietrequest.h"
#include "net/requestoutcome.h"
#include "seam/guard.h"
#include "seam/seam.h"
#include "wire/actionnames.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int kTickMs = 15 * 1000;
constexpr int kPollMs = 5 * 60 * 1000;

bool RemindersOffered() {
    const int type = UserType();
    return IsSignedIn() && (type == UserTypes::Client || type == UserTypes::Teacher) &&
           TBookingFeatures::FromSession(SessionValues()).has(BookingFeatureNames::Reminders);
}

} // namespace

TLessonBanner::TLessonBanner(QWidget *parent)
    : QFrame(parent), lb_text(new QLabel(this)), btn_open(new QPushButton(this)),
      btn_hide(new QPushButton(this)), m_request(new QuietRequest(this)), m_tick(new QTimer(this)),
      m_poll(new QTimer(this)) {
    setObjectName(QStringLiteral("pan_lessonbanner"));
    setFrameShape(QFrame::NoFrame);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(255, 243, 205));
    p.setColor(QPalette::WindowText, QColor(102, 77, 3));
    setPalette(p);
    lb_text->setObjectName(QStringLiteral("lb_lessonbanner"));
    QFont bold = lb_text->font();
    bold.setBold(true);
    lb_text->setFont(bold);
    lb_text->setWordWrap(true);
    btn_open->setObjectName(QStringLiteral("btn_openlesson"));
    btn_open->setText(AppText(1901));
    btn_hide->setObjectName(QStringLiteral("btn_hidebanner"));
    btn_hide->setText(AppText(1903));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->addWidget(lb_text, 1);
    row->addWidget(btn_open);
    row->addWidget(btn_hide);
    hide();
    notify = [this](const QString &title, const QString &text) { trayNotify(title, text); };
    inBackground = [this] { return !window()->isActiveWindow(); };
    connect(btn_open, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            if (openLesson)
                openLesson();
        });
    });
    connect(btn_hide, &QPushButton::clicked, this, [this] {
        m_dismissed = m_next ? m_next->id : 0;
        hide();
    });
    connect(m_tick, &QTimer::timeout, this, [this] { RunGuarded([this] { Tick(); }); });
    connect(m_poll, &QTimer::timeout, this, [this] { AskNextLesson(); });
}

TLessonBanner::~TLessonBanner() = default;

void TLessonBanner::SessionChanged() {
    m_request->cancel();
    m_next.reset();
    if (!RemindersOffered()) {
        m_tick->stop();
        m_poll->stop();
        hide();
        return;
    }
    m_tick->start(kTickMs);
    m_poll->start(kPollMs);
    AskNextLesson();
}

void TLessonBanner::AskNextLesson() {
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::NextLesson);
    m_request->start(request, [this](bool completed, const QByteArray &body) {
        if (!completed || !IsSignedIn())
            return;
        const std::optional<QByteArray> payload = ReplyPayload(body);
        m_next = payload ? TNextLesson::Parse(ReplyText(*payload)) : std::nullopt;
        RunGuarded([this] { Tick(); });
    });
}

void TLessonBanner::Tick() {
    const QDateTime now = CurrentSeam().now();
    if (!m_next || now >= m_next->when || now.secsTo(m_next->when) > LeadMinutes * 60 ||
        m_dismissed == m_next->id) {
        hide();
        return;
    }
    const int minutes = int((now.secsTo(m_next->when) + 59) / 60);
    const QString text = FormatText(AppText(1900), {minutes, m_next->partner});
    lb_text->setText(text);
    show();
    if (m_notified != m_next->id && inBackground && inBackground()) {
        m_notified = m_next->id;
        if (notify)
            notify(AppText(1902), text);
    }
}

void TLessonBanner::trayNotify(const QString &title, const QString &text) {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        QApplication::alert(window()); // the task bar entry asks for attention instead
        return;
    }
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(window()->windowIcon(), this);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, [this] {
            window()->showNormal();
            window()->activateWindow();
        });
    }
    m_tray->show();
    m_tray->showMessage(title, text, QSystemTrayIcon::Information, 15000);
}
