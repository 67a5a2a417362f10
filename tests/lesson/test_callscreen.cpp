// The call on the lesson screen of the real program, signed in to the reference server with
// its lesson relay; the teacher is a lesson channel of this test with a call page of its own.
#include "screenfixture.h"
#include "testlessonhost.h"

#include "app/tfmain.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/call/callpage.h"
#include "lesson/call/callpanel.h"
#include "lesson/call/lessoncall.h"
#include "lesson/screen/lessonpageview.h"
#include "lesson/screen/tfrlearn.h"
#include "net/settings/settings.h"
#include "server/serveroptions.h"
#include "serverharness.h"
#include "wire/compression.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QWebEngineView>

namespace {

constexpr int Wait = 15000;

const bool g_fakeDevices = [] {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--use-fake-device-for-media-stream");
    return true;
}();

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

quint16 g_relayPort = 0;

class CallOnScreen : public ScreenFixture {
protected:
    CallOnScreen()
        : ScreenFixture([](ServerOptions &options) {
              g_relayPort = freePort();
              options.relay << ListenAddress{QHostAddress::LocalHost, g_relayPort};
              options.relayHost = QStringLiteral("127.0.0.1:%1").arg(g_relayPort);
              options.stunAddresses = {QStringLiteral("stun:127.0.0.1:9")};
          }) {}

    Tfrlearn &screen() { return *static_cast<Tfrlearn *>(app->mainWindow()->screen(u"learn")); }
    TCallPanel &panel() { return *screen().call; }
    LessonCall &call() { return panel().call(); }

    // The teacher: signed in over HTTP, on the relay through a channel of this test.
    void teacherOnLine() {
        const HttpReply reply = server.login(QStringLiteral("lektor"), QStringLiteral("lektor"));
        const auto session = SessionSection(DecompressText(reply.body.mid(5)));
        teacherHost.who = {3, session.value("idjob").toInt(), int(Demo::Teacher),
                           QStringLiteral("127.0.0.1:%1").arg(g_relayPort)};
        const QString sessionId = session.value("sesid");
        teacherHost.tokenSource = [this, sessionId]() -> std::optional<QByteArray> {
            return server.post("relaytoken", {}, sessionId).body.mid(2);
        };
        teacher.ConnectToggle();
        ASSERT_TRUE(teacher.isConnected()) << teacherHost.status.toStdString();
    }
    void studentOnLine() {
        signIn(QStringLiteral("klient"));
        clickMain("im_learn");
        QTest::mouseClick(screen().Spbconnect, Qt::LeftButton);
        ASSERT_TRUE(screen().channel().isConnected());
    }

    TestLessonHost teacherHost;
    LessonChannel teacher{teacherHost};
};

// The call panel's Alt letters that another button in sight also has.
QStringList clashingLetters(QWidget *window, QWidget *panel) {
    QMultiMap<QString, QAbstractButton *> byKey;
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->isVisibleTo(window) && !button->shortcut().isEmpty())
            byKey.insert(button->shortcut().toString(), button);
    QStringList clashes;
    for (const QString &key : byKey.uniqueKeys()) {
        const QList<QAbstractButton *> buttons = byKey.values(key);
        const bool ours = std::any_of(buttons.begin(), buttons.end(),
                                      [&](QAbstractButton *b) { return panel->isAncestorOf(b); });
        if (ours && buttons.size() > 1)
            for (QAbstractButton *button : buttons)
                clashes << key + ": " + button->text();
    }
    return clashes;
}

} // namespace

TEST_F(CallOnScreen, StudentTakesTheTeachersCallWhichOutlivesPagesAndChatAndEndsAtSignOut) {
    TCallPage teacherMedia;
    LessonCall teacherCall(teacher, teacherMedia);
    teacherOnLine();
    studentOnLine();
    ASSERT_TRUE(QTest::qWaitFor([&] { return call().state() == LessonCall::State::Idle; }, Wait));
    EXPECT_EQ(panel().status->text(), "Hovor: připraveno");
    EXPECT_TRUE(panel().btnCall->isEnabled());
    EXPECT_EQ(panel().btnCall->text(), "Za&volat");
    EXPECT_TRUE(panel().video->isHidden());
    EXPECT_TRUE(clashingLetters(app->mainWindow(), &panel()).isEmpty())
        << clashingLetters(app->mainWindow(), &panel()).join(u'|').toStdString();

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return teacherCall.state() == LessonCall::State::Idle; }, Wait));
    ASSERT_TRUE(teacherCall.Call(true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel().prompt->isHidden(); }, Wait));
    EXPECT_EQ(panel().promptText->text(), "Partner volá s kamerou. Přijmout hovor?");
    EXPECT_EQ(panel().status->text(), "Příchozí hovor");
    EXPECT_EQ(panel().btnAccept->shortcut(), QKeySequence(QStringLiteral("Alt+J")));
    EXPECT_TRUE(clashingLetters(app->mainWindow(), &panel()).isEmpty())
        << clashingLetters(app->mainWindow(), &panel()).join(u'|').toStdString();
    QTest::mouseClick(panel().btnAccept, Qt::LeftButton);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return call().state() == LessonCall::State::Connected; }, Wait));
    EXPECT_EQ(panel().status->text(), "Hovor probíhá");
    EXPECT_TRUE(panel().prompt->isHidden());
    EXPECT_FALSE(panel().btnHangUp->isHidden());
    EXPECT_TRUE(panel().btnCall->isHidden());
    EXPECT_FALSE(panel().meter->isHidden());
    EXPECT_FALSE(panel().btnCamera->isChecked()); // audio only until the student says so
    // The teacher's picture shows beside the page, and the own voice moves the meter.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !panel().video->isHidden(); }, Wait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel().meter->value() > 0; }, Wait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return call().stats().audioLevel > 0; }, Wait));
    EXPECT_GE(screen().pages->width(), 400);
    const QRect page(screen().pages->mapTo(&screen(), QPoint()), screen().pages->size());
    EXPECT_FALSE(panel().geometry().intersects(page));

    // Pages, following and chat go on during the call.
    const tbook book = BookCatalogue::Library().constFirst();
    ASSERT_TRUE(teacher.SendSync(true, book.number, book.firstPage + 1));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screen().CurrentPage() == book.firstPage + 1; }, Wait));
    EXPECT_TRUE(teacher.SendChat({u"Slyšíte mě dobře?"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen().memoread->toPlainText().contains(u"Slyšíte mě dobře?"_qs); }, Wait));
    EXPECT_EQ(call().state(), LessonCall::State::Connected);

    // Microphone off and on from the panel.
    QTest::mouseClick(panel().btnMicrophone, Qt::LeftButton);
    EXPECT_TRUE(call().muted());
    QTest::mouseClick(panel().btnMicrophone, Qt::LeftButton);
    EXPECT_FALSE(call().muted());

    signOut();
    EXPECT_FALSE(panel().media().capturing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !teacherCall.inCall(); }, Wait));
    // The goodbye or the student's leaving the relay, whichever the teacher hears first.
    EXPECT_TRUE(teacherCall.ending() == LessonCall::Ending::PartnerHungUp ||
                teacherCall.ending() == LessonCall::Ending::PartnerLeft);
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(CallOnScreen, APartnerWithoutCallsLeavesTheCallUnavailableOnScreen) {
    teacherOnLine(); // a teacher whose program knows no calls
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    call().setTimeouts(500, 45000, 20000);
    QTest::mouseClick(screen().Spbconnect, Qt::LeftButton);
    ASSERT_TRUE(screen().channel().isConnected());
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return call().state() == LessonCall::State::Unavailable; }, Wait));
    EXPECT_EQ(panel().status->text(),
              "Hovor není k dispozici: partner nebo server hovory nepodporuje.");
    EXPECT_FALSE(panel().btnCall->isEnabled());
    // The lesson itself goes on.
    EXPECT_TRUE(teacher.SendChat({u"Dobrý den"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen().memoread->toPlainText().contains(u"Dobrý den"_qs); }, Wait));
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(CallOnScreen, DevicesAreChosenByNameFromTheEngineAndKeptInTheSettings) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    EXPECT_EQ(panel().media().page(), nullptr); // no browser engine without a partner
    EXPECT_TRUE(panel().btnDevices->isEnabled());
    QStringList microphones;
    bool listed = false;
    WhenModal([&](QWidget *dialog) {
        auto *box = dialog->findChild<QComboBox *>(QStringLiteral("cbMicrophone"));
        // The engine's (fake) devices arrive by name after the system's default.
        listed = QTest::qWaitFor([&] { return box->count() > 1; }, Wait);
        for (int i = 0; i < box->count(); ++i)
            microphones << box->itemText(i);
        box->setCurrentIndex(box->count() - 1);
        if (!qEnvironmentVariableIsEmpty("TELLAVO_SHOTS"))
            dialog->grab().save(qEnvironmentVariable("TELLAVO_SHOTS") +
                                QStringLiteral("/call-devices.png"));
        static_cast<QDialog *>(dialog)->accept();
    });
    QTest::mouseClick(panel().btnDevices, Qt::LeftButton);
    ASSERT_TRUE(listed);
    EXPECT_EQ(microphones[0], "Výchozí zařízení systému");
    EXPECT_EQ(Settings().callMicrophone, microphones.last());
    // Listing the devices let the page capture for that moment only.
    EXPECT_FALSE(panel().media().capturing());
    LoadSettings();
    EXPECT_EQ(Settings().callMicrophone, microphones.last());
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}
