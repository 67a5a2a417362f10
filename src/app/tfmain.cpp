#include "app/tfmain.h"

#include "app/aboutbox.h"
#include "app/buttonart.h"
#include "app/instanceguard.h"
#include "base/placement.h"
#include "base/session.h"
#include "base/usertypes.h"
#include "seam/guard.h"
#include "lang/programlocale.h"
#include "lang/texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

const QColor kUserLabelColour(254, 82, 28);
const QColor kStripColour(54, 94, 144);
const char *kWebSite = "https://tellavo.example/";

// A picture that opens the product's web site when clicked.
class LogoLabel : public QLabel {
public:
    std::function<void()> onClick;
    using QLabel::QLabel;

protected:
    void mouseReleaseEvent(QMouseEvent *event) override {
        if (event->button() == Qt::LeftButton && onClick)
            RunGuarded(onClick);
    }
};

QLabel *colouredLabel(const QString &name, QWidget *parent) {
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kUserLabelColour);
    label->setPalette(palette);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

Tfmain::Tfmain(const std::array<TScreen *, 4> &screens, Actions actions, QWidget *parent)
    : QMainWindow(parent), m_actions(std::move(actions)), m_screens(screens) {
    setObjectName(QStringLiteral("fmain"));
    setWindowTitle(QStringLiteral("Tellavo"));
    setMinimumSize(800, 575);
    resize(800, 577);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopBar());
    m_middle = new QStackedWidget(central);
    m_middle->setObjectName(QStringLiteral("pan_middle"));
    m_welcome = buildWelcomePage();
    m_middle->addWidget(m_welcome);
    layout->addWidget(m_middle, 1);
    setCentralWidget(central);
    buildStatusBar();

    for (TScreen *screen : m_screens) {
        m_middle->addWidget(screen);
        screen->hide();
        screen->InitScreen();
    }
    m_middle->setCurrentWidget(m_welcome);
    RefreshState();
}

QWidget *Tfmain::buildTopBar() {
    auto *bar = new QLabel(this);
    bar->setObjectName(QStringLiteral("pan_top"));
    bar->setFixedHeight(44);
    bar->setPixmap(ButtonArt::TopBar(16));
    bar->setScaledContents(true);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 1, 4, 1);
    row->setSpacing(4);
    auto make = [&](TImageButton *&button, const char *name, ButtonArt::Button art) {
        button = new TImageButton(QString::fromLatin1(name), bar);
        button->setPictures(ButtonArt::Pictures(art, ButtonArt::ScreenRatio()),
                            ButtonArt::Captions(art));
        row->addWidget(button);
    };
    make(m_connect, "im_connect", ButtonArt::Connect);
    row->addSpacing(8);
    make(m_order, "im_order", ButtonArt::Order);
    make(m_timetable, "im_timetable", ButtonArt::Timetable);
    make(m_learn, "im_learn", ButtonArt::Learn);
    make(m_users, "im_users", ButtonArt::Users);
    row->addStretch(1);
    make(m_opts, "im_opts", ButtonArt::Options);
    make(m_profil, "im_profil", ButtonArt::Profile);
    make(m_about, "im_about", ButtonArt::About);

    auto guarded = [](const std::function<void()> &action) {
        return [action] {
            if (action)
                RunGuarded(action);
        };
    };
    connect(m_connect, &TImageButton::clicked, this, guarded(m_actions.connect));
    connect(m_opts, &TImageButton::clicked, this, guarded(m_actions.options));
    connect(m_profil, &TImageButton::clicked, this, guarded(m_actions.profile));
    connect(m_about, &TImageButton::clicked, this, [this] { RunGuarded([this] { showAbout(); }); });
    for (ScreenIndex index : {Orders, Timetable, Users, Learn})
        connect(button(index), &TImageButton::clicked, this,
                [this, index] { RunGuarded([this, index] { screenButtonClicked(index); }); });
    return bar;
}

QWidget *Tfmain::buildWelcomePage() {
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("welcome"));
    page->setAutoFillBackground(true);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    auto *logo = new LogoLabel(page);
    logo->setObjectName(QStringLiteral("im_logo"));
    logo->setPixmap(ButtonArt::Logo(ButtonArt::ScreenRatio()));
    logo->setCursor(Qt::PointingHandCursor);
    logo->onClick = [this] {
        if (m_actions.openAddress)
            m_actions.openAddress(QString::fromLatin1(kWebSite));
    };
    column->addWidget(logo, 0, Qt::AlignLeft | Qt::AlignTop);
    column->addStretch(1);

    auto *strip = new QWidget(page);
    strip->setAutoFillBackground(true);
    QPalette stripPalette = strip->palette();
    stripPalette.setColor(QPalette::Window, kStripColour);
    strip->setPalette(stripPalette);
    strip->setFixedHeight(156);
    auto *stripRow = new QHBoxLayout(strip);
    stripRow->setContentsMargins(0, 0, 0, 0);
    auto *banner = new QLabel(strip);
    banner->setObjectName(QStringLiteral("im_banner"));
    banner->setPixmap(ButtonArt::Banner(ButtonArt::ScreenRatio()));
    stripRow->addWidget(banner);
    stripRow->addStretch(1);
    column->addWidget(strip);

    auto *grid = new QGridLayout;
    grid->setContentsMargins(16, 12, 16, 16);
    m_userLabel = colouredLabel(QStringLiteral("lb_user"), page);
    m_userValue = colouredLabel(QStringLiteral("lb_uservalue"), page);
    m_lastLabel = colouredLabel(QStringLiteral("lb_lastlog"), page);
    m_lastValue = colouredLabel(QStringLiteral("lb_lastlogvalue"), page);
    m_userLabel->setText(AppText(160));
    m_lastLabel->setText(AppText(161));
    grid->addWidget(m_userLabel, 0, 0);
    grid->addWidget(m_userValue, 0, 1);
    grid->addWidget(m_lastLabel, 1, 0);
    grid->addWidget(m_lastValue, 1, 1);
    grid->setColumnStretch(2, 1);
    column->addLayout(grid);
    return page;
}

void Tfmain::buildStatusBar() {
    const int widths[4] = {60, 100, 220, 50};
    for (int i = 0; i < 4; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("status%1").arg(i));
        // The last panel reaches to the window's edge (the lesson screen's book and page).
        if (i == 3)
            m_panels[i]->setMinimumWidth(widths[i]);
        else
            m_panels[i]->setFixedWidth(widths[i]);
        statusBar()->addWidget(m_panels[i], i == 3 ? 1 : 0);
    }
}

TImageButton *Tfmain::button(ScreenIndex index) const {
    switch (index) {
    case Orders:
        return m_order;
    case Timetable:
        return m_timetable;
    case Users:
        return m_users;
    case Learn:
        return m_learn;
    }
    return nullptr;
}

void Tfmain::screenButtonClicked(ScreenIndex index) {
    ShowScreen(m_screens[index]);
    if (index == Learn)
        m_screens[index]->setFocus();
}

void Tfmain::ShowScreen(TScreen *target) {
    for (int i = 0; i < 4; ++i) {
        TScreen *screen = m_screens[i];
        if (screen != target && screen->isVisible()) {
            screen->LeaveScreen();
            button(ScreenIndex(i))->setLook(TImageButton::Active);
        }
    }
    m_current = target;
    if (target) {
        const int i =
            int(std::find(m_screens.begin(), m_screens.end(), target) - m_screens.begin());
        button(ScreenIndex(i))->setLook(TImageButton::Selected);
        target->EnterScreen();
    }
    for (TScreen *screen : m_screens)
        screen->hide();
    if (target) {
        m_middle->setCurrentWidget(target);
        target->show();
        target->raise();
    } else {
        m_middle->setCurrentWidget(m_welcome);
    }
}

void Tfmain::RefreshState() {
    const bool signedIn = IsSignedIn();
    const int type = UserType();
    for (QLabel *label : {m_userLabel, m_userValue, m_lastLabel, m_lastValue})
        label->setVisible(signedIn);
    if (signedIn) {
        m_userValue->setText(m_actions.userCaption ? m_actions.userCaption() : QString());
        // A user who never signed in before has no last sign-in to show (not "now").
        const QString last = SessionValues().value(u"lastlogwhen");
        m_lastValue->setText(last.isEmpty() ? QString()
                                            : ProgramLocale().toString(ParseServerDateTime(last),
                                                                       QLocale::ShortFormat));
    }
    m_opts->setEnabled(!signedIn);
    m_profil->setEnabled(signedIn);
    m_order->setEnabled(signedIn && (UserTypes::IsStaff(type) || type == UserTypes::Client));
    m_timetable->setEnabled(signedIn);
    m_users->setEnabled(signedIn);
    m_users->setVisible(signedIn && UserTypes::IsStaff(type));
    m_learn->setEnabled(signedIn);
    setButtonLooks();
    m_panels[0]->setText(AppText(signedIn ? 163 : 164));
}

void Tfmain::setButtonLooks() {
    m_connect->setLook(IsSignedIn() ? TImageButton::Active : TImageButton::Inactive);
    for (TImageButton *b : {m_opts, m_profil, m_about})
        b->setLook(b->isEnabled() ? TImageButton::Active : TImageButton::Inactive);
    m_about->setLook(TImageButton::Active);
    for (ScreenIndex index : {Orders, Timetable, Users, Learn}) {
        TImageButton *b = button(index);
        if (m_current == m_screens[index] && m_current)
            b->setLook(TImageButton::Selected);
        else
            b->setLook(b->isEnabled() ? TImageButton::Active : TImageButton::Inactive);
    }
}

void Tfmain::showPlaced() {
    const QString stored = m_actions.storedPlacement ? m_actions.storedPlacement() : QString();
    const QScreen *screen =
        QWidget::screen() ? QWidget::screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int current = isMaximized() ? WindowPlacement::Maximized : WindowPlacement::Normal;
    const PlacementPlan plan = PlanPlacement(stored, current, geometry(), available.size());
    QRect bounds = plan.bounds;
    bounds.setSize(bounds.size().expandedTo(minimumSize()));
    if (plan.centre)
        bounds.moveCenter(available.center());
    // A placement stored on a larger or another screen still opens where it can be reached.
    setGeometry(ClampToArea(bounds, available));
    if (plan.state == WindowPlacement::Maximized)
        showMaximized();
    else
        showNormal();
}

QString Tfmain::currentPlacement() const {
    int state = WindowPlacement::Normal;
    if (isMinimized())
        state = WindowPlacement::Minimized;
    else if (isMaximized())
        state = WindowPlacement::Maximized;
    return ComposePlacement(state, geometry());
}

void Tfmain::closeEvent(QCloseEvent *event) {
    if (IsSignedIn() && m_actions.silentSignOut)
        RunGuarded(m_actions.silentSignOut);
    const QString placement = currentPlacement();
    const QString stored = m_actions.storedPlacement ? m_actions.storedPlacement() : QString();
    if (placement != stored && m_actions.savePlacement)
        RunGuarded([&] { m_actions.savePlacement(placement); });
    event->accept();
}

void Tfmain::handleGuardCode(int code) {
    if (code == InstanceGuard::CloseYourself) {
        if (!close())
            std::exit(1);
        QCoreApplication::quit();
    } else if (code == InstanceGuard::ComeToFront) {
        if (isMinimized())
            showNormal();
        show();
        raise();
        activateWindow();
    }
}

void Tfmain::wheelEvent(QWheelEvent *event) {
    QWidget *target =
        m_current && m_current == m_screens[Learn] ? m_current->WheelTarget() : nullptr;
    if (!target) {
        event->ignore();
        return;
    }
    const QPointF local = target->mapFromGlobal(event->globalPosition());
    QWheelEvent copy(local, event->globalPosition(), event->pixelDelta(), event->angleDelta(),
                     event->buttons(), event->modifiers(), event->phase(), event->inverted());
    QCoreApplication::sendEvent(target, &copy);
}

void Tfmain::showAbout() {
    TAboutBox box(this, m_actions.openAddress);
    box.exec();
}
