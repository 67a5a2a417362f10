#include "app/aboutbox.h"
#include "app/buttonart.h"
#include "app/screenregistry.h"
#include "app/tfmain.h"
#include "base/session.h"
#include "errors/apperror.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A screen that records which hooks ran.
class RecordingScreen : public TScreen {
public:
    RecordingScreen(QString name, QStringList *log) : m_name(std::move(name)), m_log(log) {}
    void InitScreen() override { m_log->append(m_name + ":init"); }
    void EnterScreen() override {
        m_log->append(m_name + ":enter");
        if (failEnter)
            throw SilentAbort(); // a load the user cancelled
    }
    void LeaveScreen() override { m_log->append(m_name + ":leave"); }
    void SignOutScreen() override { m_log->append(m_name + ":signout"); }

    bool failEnter = false;

private:
    QString m_name;
    QStringList *m_log;
};

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        SessionValues().clear();
        SetLanguageIndex(LangCzech);
        // The program's own entries, each making a screen that records its hooks.
        QList<ScreenEntry> entries = ScreenRegistry();
        for (ScreenEntry &entry : entries)
            entry.create = [this, id = entry.id](const TServices &) -> TScreen * {
                screens.append(new RecordingScreen(id, &log));
                return screens.last();
            };
        Tfmain::Actions actions;
        actions.connect = [this] { ++connects; };
        actions.options = [this] { ++options; };
        actions.userCaption = [] { return QStringLiteral("klient Jan Nový"); };
        actions.storedPlacement = [this] { return stored; };
        actions.savePlacement = [this](const QString &p) {
            saved.append(p);
            stored = p;
        };
        TServices services;
        services.session = &SessionValues();
        window = std::make_unique<Tfmain>(entries, services, actions);
    }
    void TearDown() override { SessionValues().clear(); }

    TImageButton *button(const char *name) { return window->findChild<TImageButton *>(name); }
    void click(const char *name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void signIn(int type) {
        SessionValues().setText(
            QStringLiteral("sesid=1\nusertype=%1\nlastlogwhen=2026-01-02 03:04:05").arg(type));
        window->RefreshState();
    }

    QStringList log;
    QList<TScreen *> screens;
    int connects = 0, options = 0;
    QString stored;
    QStringList saved;
    std::unique_ptr<Tfmain> window;
};

TEST_F(MainWindow, ScreensAreInitialisedInOrderAndHidden) {
    EXPECT_EQ(log, (QStringList{"orders:init", "timetable:init", "learn:init", "users:init"}));
    for (TScreen *s : screens)
        EXPECT_FALSE(s->isVisible());
    EXPECT_EQ(window->statusPanel(0)->text(), "Odpojen");
}

struct ButtonRule {
    int type;
    bool orderEnabled, usersVisible;
};

TEST_F(MainWindow, ButtonsFollowSignInAndUserType) {
    window->show();
    EXPECT_TRUE(button("im_opts")->isEnabled());
    EXPECT_FALSE(button("im_timetable")->isEnabled());
    EXPECT_FALSE(button("im_users")->isVisible());
    for (const ButtonRule &r : {ButtonRule{1, true, true}, ButtonRule{2, true, true},
                                ButtonRule{3, false, false}, ButtonRule{4, true, false}}) {
        signIn(r.type);
        EXPECT_EQ(button("im_order")->isEnabled(), r.orderEnabled) << r.type;
        EXPECT_EQ(button("im_users")->isVisible(), r.usersVisible) << r.type;
        EXPECT_FALSE(button("im_opts")->isEnabled());
        EXPECT_TRUE(button("im_profil")->isEnabled());
        EXPECT_EQ(button("im_connect")->look(), TImageButton::Active);
        EXPECT_EQ(window->statusPanel(0)->text(), "Připojen");
    }
    EXPECT_EQ(window->findChild<QLabel *>("lb_uservalue")->text(), "klient Jan Nový");
    click("im_opts"); // disabled while signed in: nothing happens
    EXPECT_EQ(options, 0);
    click("im_connect");
    EXPECT_EQ(connects, 1);
}

TEST_F(MainWindow, SwitchingScreensCallsTheHooks) {
    window->show();
    signIn(1);
    log.clear();
    click("im_order");
    click("im_order"); // the shown screen: enter again, no leave
    click("im_timetable");
    window->ShowScreen(nullptr);
    EXPECT_EQ(log, (QStringList{"orders:enter", "orders:enter", "orders:leave", "timetable:enter",
                                "timetable:leave"}));
    EXPECT_EQ(button("im_order")->look(), TImageButton::Active);
    click("im_timetable");
    EXPECT_EQ(button("im_timetable")->look(), TImageButton::Selected);
    EXPECT_TRUE(window->screen(u"timetable")->isVisible());
    EXPECT_FALSE(window->screen(u"orders")->isVisible());
}

// A screen whose entering is cancelled is not shown, and the top bar selects exactly the
// screen shown afterwards (never two buttons).
TEST_F(MainWindow, ScreenNotEnteredLeavesNoSecondSelection) {
    window->show();
    signIn(1);
    const auto selected = [this] {
        QStringList names;
        for (TImageButton *b : window->findChildren<TImageButton *>())
            if (b->look() == TImageButton::Selected)
                names << b->objectName();
        return names;
    };
    click("im_order");
    static_cast<RecordingScreen *>(window->screen(u"users"))->failEnter = true;
    click("im_users");
    EXPECT_EQ(window->currentScreen(), nullptr);
    EXPECT_FALSE(window->screen(u"orders")->isVisible());
    EXPECT_EQ(selected(), QStringList());
    static_cast<RecordingScreen *>(window->screen(u"users"))->failEnter = false;
    click("im_order");
    EXPECT_EQ(selected(), QStringList{"im_order"});
    click("im_users");
    EXPECT_EQ(selected(), QStringList{"im_users"});
    EXPECT_TRUE(window->screen(u"users")->isVisible());
}

TEST_F(MainWindow, ClosingSavesOnlyAChangedPlacement) {
    window->showPlaced();
    window->close();
    ASSERT_EQ(saved.size(), 1); // the first closing after an empty setting always writes
    EXPECT_TRUE(saved[0].startsWith("0;"));
    window->showPlaced();
    window->close();
    EXPECT_EQ(saved.size(), 1);
    stored = QStringLiteral("0;10;10;500;400");
    window->showPlaced();
    EXPECT_EQ(window->geometry().size(), QSize(800, 575));
    EXPECT_EQ(window->geometry().topLeft(), QPoint(10, 10));
}

TEST_F(MainWindow, StoredPlacementOffTheScreenIsBroughtBack) {
    const QRect available = window->QWidget::screen()->availableGeometry();
    for (const char *placement :
         {"0;5000;4000;800;577", "0;-3000;-2000;800;577", "0;0;0;6000;5000"}) {
        stored = QString::fromLatin1(placement);
        window->showPlaced();
        // Within reach: the top-left corner on the screen, and most of the window with it.
        const QRect g = window->geometry();
        const QRect inside = available.intersected(g);
        EXPECT_TRUE(available.contains(g.topLeft()) && inside.width() >= 700 &&
                    inside.height() >= 500)
            << placement << " gives " << g.x() << "," << g.y() << " " << g.width() << "x"
            << g.height();
        window->hide();
    }
}

TEST_F(MainWindow, TopBarButtonsWorkFromTheKeyboard) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // Tab walks through the usable buttons (signed out: connect, settings, about).
    QSet<QString> reached;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(),
                        Qt::Key_Tab);
        if (QWidget *focus = QApplication::focusWidget())
            reached.insert(focus->objectName());
    }
    EXPECT_TRUE(reached.contains("im_connect"));
    EXPECT_TRUE(reached.contains("im_opts"));
    EXPECT_TRUE(reached.contains("im_about"));
    EXPECT_FALSE(reached.contains("im_order")); // disabled while signed out

    TImageButton *connectButton = button("im_connect");
    connectButton->setFocus(Qt::TabFocusReason);
    QTest::keyClick(connectButton, Qt::Key_Space);
    QTest::keyClick(connectButton, Qt::Key_Return);
    // Enter presses the button the way a click looks: released by a timer.
    EXPECT_TRUE(QTest::qWaitFor([&] { return connects == 2; }, 5000)) << connects;
    QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier); // the first button
    EXPECT_TRUE(QTest::qWaitFor([&] { return connects == 3; }, 5000)) << connects;
    // Alt+letters are left to the screens: the caption's letter no longer presses it.
    QTest::keyClick(window.get(), Qt::Key_P, Qt::AltModifier);
    QCoreApplication::processEvents();
    EXPECT_EQ(connects, 3);
    EXPECT_EQ(connectButton->accessibleName(), "Připojit");
    EXPECT_EQ(connectButton->toolTip(), "Připojit (Ctrl+1)");
    EXPECT_EQ(button("im_about")->toolTip(), "O aplikaci (F1)");

    signIn(4);
    QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier); // "Rozvrh", third in the bar
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->currentScreen() == window->screen(u"timetable"); }, 5000));
    EXPECT_EQ(connectButton->accessibleName(), "Odpojit");
}

TEST_F(MainWindow, LastSignInInTheProgramsLanguageAndNothingForTheFirst) {
    const QLocale machine;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    signIn(4);
    const QString shown = window->findChild<QLabel *>("lb_lastlogvalue")->text();
    EXPECT_EQ(shown, ProgramLocale().toString(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)),
                                              QLocale::ShortFormat));
    EXPECT_FALSE(shown.contains("AM")) << shown.toStdString();
    SessionValues().setText(QStringLiteral("sesid=1\nusertype=4"));
    window->RefreshState();
    EXPECT_EQ(window->findChild<QLabel *>("lb_lastlogvalue")->text(), QString());
    QLocale::setDefault(machine);
}

TEST(ButtonArt, PicturesFollowThePixelRatioAndKeepCaptionsOffTheEdges) {
    for (int language : {LangCzech, LangSlovak}) {
        SetLanguageIndex(language);
        // The fixed buttons, then the screen buttons by their captions.
        QList<std::function<QVector<QPixmap>(qreal)>> pictures;
        for (int b = ButtonArt::Connect; b <= ButtonArt::About; ++b)
            pictures.append([b](qreal r) { return ButtonArt::Pictures(ButtonArt::Button(b), r); });
        for (const ScreenEntry &entry : ScreenRegistry())
            pictures.append(
                [text = entry.captionText](qreal r) { return ButtonArt::ScreenPictures(text, r); });
        for (int b = 0; b < pictures.size(); ++b) {
            const QVector<QPixmap> normal = pictures[b](1);
            const QVector<QPixmap> sharp = pictures[b](2);
            ASSERT_EQ(normal.size(), 3);
            EXPECT_EQ(sharp[1].size(), normal[1].size() * 2) << b;
            EXPECT_EQ(sharp[1].deviceIndependentSize(), normal[1].deviceIndependentSize()) << b;
            // No caption pixel (white) in the bands along the left and right edges.
            const QImage image = normal[1].toImage();
            const int band = ButtonArt::kCaptionMargin - 2;
            for (int y = 0; y < image.height(); ++y) {
                for (int x : {3, band, image.width() - 1 - band, image.width() - 4}) {
                    const QColor c = image.pixelColor(x, y);
                    EXPECT_FALSE(c.alpha() > 240 && c.red() > 240 && c.green() > 240 &&
                                 c.blue() > 240)
                        << "button " << b << " language " << language << " at " << x << "," << y;
                }
            }
        }
    }
    SetLanguageIndex(LangCzech);
}

TEST(AboutBox, CloseButtonAndTextsFromTheTables) {
    SetLanguageIndex(LangSlovak);
    TAboutBox box(nullptr, {});
    box.show();
    QStringList texts;
    for (QLabel *label : box.findChildren<QLabel *>())
        texts.append(label->text());
    EXPECT_TRUE(texts.contains(AppText(1014)));
    auto *close = box.findChild<QPushButton *>("btn_close");
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), CommonText(15));
    close->click();
    EXPECT_FALSE(box.isVisible());
    SetLanguageIndex(LangCzech);
}

} // namespace
