#include "base/session.h"
#include "app/tfmain.h"
#include "lang/texts.h"
#include "scriptedseam.h"

#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A screen that records which hooks ran.
class RecordingScreen : public TScreen {
public:
    RecordingScreen(QString name, QStringList *log) : m_name(std::move(name)), m_log(log) {}
    void InitScreen() override { m_log->append(m_name + ":init"); }
    void EnterScreen() override { m_log->append(m_name + ":enter"); }
    void LeaveScreen() override { m_log->append(m_name + ":leave"); }
    void SignOutScreen() override { m_log->append(m_name + ":signout"); }

private:
    QString m_name;
    QStringList *m_log;
};

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        SessionValues().clear();
        SetLanguageIndex(LangCzech);
        for (const char *name : {"orders", "timetable", "users", "learn"})
            screens[screenCount++] = new RecordingScreen(QString::fromLatin1(name), &log);
        Tfmain::Actions actions;
        actions.connect = [this] { ++connects; };
        actions.options = [this] { ++options; };
        actions.userCaption = [] { return QStringLiteral("klient Jan Nový"); };
        actions.storedPlacement = [this] { return stored; };
        actions.savePlacement = [this](const QString &p) {
            saved.append(p);
            stored = p;
        };
        window = std::make_unique<Tfmain>(screens, actions);
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
    std::array<TScreen *, 4> screens{};
    int screenCount = 0;
    int connects = 0, options = 0;
    QString stored;
    QStringList saved;
    std::unique_ptr<Tfmain> window;
};

TEST_F(MainWindow, ScreensAreInitialisedInOrderAndHidden) {
    EXPECT_EQ(log, (QStringList{"orders:init", "timetable:init", "users:init", "learn:init"}));
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
    EXPECT_TRUE(screens[1]->isVisible());
    EXPECT_FALSE(screens[0]->isVisible());
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

} // namespace
