#include "app/tfmain.h"

#include "app/aboutbox.h"
#include "app/buttonart.h"
#include "app/instanceguard.h"
#include "base/logging.h"
#include "base/namevaluelist.h"
#include "base/placement.h"
#include "base/session.h"
#include "base/usertypes.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "seam/guard.h"

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

Tfmain::Tfmain(const QList<ScreenEntry> &entries, const TServices &services, Actions actions,
               QWidget *parent)
    : QMainWindow(parent), m_services(services), m_actions(std::move(actions)) {
    for (const ScreenEntry &entry : entries)
        m_slots.append({entry, entry.create(services), nullptr});
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

    for (const Slot &slot : std::as_const(m_slots)) {
        m_middle->addWidget(slot.screen);
        slot.screen->hide();
        slot.screen->InitScreen();
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
    for (Slot &slot : m_slots) {
        slot.button = new TImageButton(slot.entry.buttonName, bar);
        slot.button->setPictures(
            ButtonArt::ScreenPictures(slot.entry.captionText, ButtonArt::ScreenRatio()),
            ButtonArt::ScreenCaptions(slot.entry.captionText));
        row->addWidget(slot.button);
    }
    row->addStretch(1);
    make(m_opts, "im_opts", ButtonArt::Options);
    make(m_profil, "im_profil", ButtonArt::Profile);
    make(m_about, "im_about", ButtonArt::About);
    // Ctrl+1, Ctrl+2, … in the bar's order, whether a button is shown or not, so that a key
    // always means the same button; Alt+letters belong to the screens and dialogs.
    QList<TImageButton *> numbered{m_connect};
    for (const Slot &slot : std::as_const(m_slots))
        numbered.append(slot.button);
    numbered << m_opts << m_profil;
    for (int i = 0; i < numbered.size() && i < 9; ++i)
        numbered[i]->setKey(QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_1 + i)));
    m_about->setKey(QKeySequence(Qt::Key_F1));

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
    for (qsizetype i = 0; i < m_slots.size(); ++i)
        connect(m_slots[i].button, &TImageButton::clicked, this,
                [this, i] { RunGuarded([this, i] { screenButtonClicked(m_slots[i]); }); });
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

TScreen *Tfmain::screen(QStringView id) const {
    for (const Slot &slot : m_slots)
        if (slot.entry.id == id)
            return slot.screen;
    return nullptr;
}

QList<TScreen *> Tfmain::screens() const {
    QList<TScreen *> all;
    for (const Slot &slot : m_slots)
        all.append(slot.screen);
    return all;
}

void Tfmain::screenButtonClicked(const Slot &slot) {
    ShowScreen(slot.screen);
    if (slot.entry.focusOnSelect)
        slot.screen->setFocus();
}

void Tfmain::ShowScreen(TScreen *target) {
    for (const Slot &slot : std::as_const(m_slots)) {
        if (slot.screen != target && slot.screen->isVisible()) {
            slot.screen->LeaveScreen();
            slot.button->setLook(TImageButton::Active);
        }
    }
    m_current = target;
    if (target) {
        for (const Slot &slot : std::as_const(m_slots))
            if (slot.screen == target)
                slot.button->setLook(TImageButton::Selected);
        try {
            target->EnterScreen();
        } catch (...) {
            // A screen that could not be entered (a load cancelled or failed) is not shown:
            // the welcome page comes back and the top bar selects nothing.
            qCInfo(lcApp).noquote() << "Screen not entered:" << CurrentExceptionText();
            m_current = nullptr;
            for (const Slot &slot : std::as_const(m_slots))
                slot.screen->hide();
            m_middle->setCurrentWidget(m_welcome);
            setButtonLooks();
            throw;
        }
    }
    for (const Slot &slot : std::as_const(m_slots))
        slot.screen->hide();
    if (target) {
        m_middle->setCurrentWidget(target);
        target->show();
        target->raise();
    } else {
        m_middle->setCurrentWidget(m_welcome);
    }
}

void Tfmain::RefreshState() {
    const bool signedIn = m_services.signedIn();
    const int type = m_services.userType();
    for (QLabel *label : {m_userLabel, m_userValue, m_lastLabel, m_lastValue})
        label->setVisible(signedIn);
    if (signedIn) {
        m_userValue->setText(m_actions.userCaption ? m_actions.userCaption() : QString());
        // A user who never signed in before has no last sign-in to show (not "now").
        const QString last = m_services.session->value(u"lastlogwhen");
        m_lastValue->setText(last.isEmpty() ? QString()
                                            : ProgramLocale().toString(ParseServerDateTime(last),
                                                                       QLocale::ShortFormat));
    }
    m_opts->setEnabled(!signedIn);
    m_profil->setEnabled(signedIn);
    for (const Slot &slot : std::as_const(m_slots)) {
        const bool usable = signedIn && slot.entry.userTypes.contains(type);
        slot.button->setEnabled(usable || (signedIn && slot.entry.hiddenFromOthers));
        slot.button->setVisible(usable || !slot.entry.hiddenFromOthers);
    }
    setButtonLooks();
    m_panels[0]->setText(AppText(signedIn ? 163 : 164));
}

void Tfmain::setButtonLooks() {
    m_connect->setLook(m_services.signedIn() ? TImageButton::Active : TImageButton::Inactive);
    for (TImageButton *b : {m_opts, m_profil, m_about})
        b->setLook(b->isEnabled() ? TImageButton::Active : TImageButton::Inactive);
    m_about->setLook(TImageButton::Active);
    for (const Slot &slot : std::as_const(m_slots)) {
        TImageButton *b = slot.button;
        if (m_current && m_current == slot.screen)
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
    if (m_services.signedIn() && m_actions.silentSignOut)
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
    QWidget *target = m_current ? m_current->WheelTarget() : nullptr;
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
