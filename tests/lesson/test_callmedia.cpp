// The call's media engine for real: two call pages in this program, with the engine's fake
// microphone and camera, calling each other over the reference relay; the permission rules of
// the call page and of book pages; and a call that may only go through the TURN server.
#include "calltestrig.h"
#include "turnserverprocess.h"

#include "lesson/call/callpage.h"
#include "lesson/screen/lessonpageview.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <gtest/gtest.h>

namespace {

using State = LessonCall::State;
constexpr int Wait = 15000;

// The engine's own fake devices (a beeping microphone, a moving picture); the permission still
// goes through the call page's own grant. Set before the engine starts.
const bool g_fakeDevices = [] {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--use-fake-device-for-media-stream");
    return true;
}();

// Follows a side's statistics: whether bytes keep arriving, report by report.
class Flow {
public:
    explicit Flow(LessonCall &call) : m_call(call) {
        QObject::connect(&call, &LessonCall::statsChanged, &m_guard, [this] { sample(); });
    }
    // Waits until the received audio has grown in `reports` reports in a row, or stood still.
    bool waitGrowing(int reports = 2) { return waitFor(true, reports); }
    bool waitStill(int reports = 3) { return waitFor(false, reports); }

private:
    void sample() {
        const qint64 now = m_call.stats().audioBytesReceived;
        const bool growing = now > m_last;
        m_run = growing == m_growing ? m_run + 1 : 1;
        m_growing = growing;
        m_last = now;
    }
    bool waitFor(bool growing, int reports) {
        m_run = 0;
        return QTest::qWaitFor([&] { return m_growing == growing && m_run >= reports; }, Wait);
    }

    LessonCall &m_call;
    QObject m_guard;
    qint64 m_last = 0;
    bool m_growing = false;
    int m_run = 0;
};

class CallMediaTest : public ::testing::Test {
protected:
    void SetUp() override {
        Settings().useSsl = false;
        Settings().onlinePortType = 0;
        Settings().relayAutoReconnect = true;
    }
    void TearDown() override { Settings() = AppSettings(); }

    // Both sides hear the other: bytes and a voice level above zero.
    static bool hearing(LessonCall &call) {
        return QTest::qWaitFor(
            [&] { return call.stats().audioBytesReceived > 0 && call.stats().audioLevel > 0; },
            10000);
    }

    ScriptedSeam seam;
};

// What a page's request for the microphone ends in, reported into its title.
const char *const AskForMicrophone = R"(<html><body><script>
navigator.mediaDevices.getUserMedia({audio: true, video: true})
  .then(() => { document.title = 'granted'; }, e => { document.title = 'refused:' + e.name; });
</script></body></html>)";

QString titleAfter(QWebEnginePage *page, const std::function<void()> &start) {
    QSignalSpy titles(page, &QWebEnginePage::titleChanged);
    start();
    QString title;
    const bool answered = QTest::qWaitFor(
        [&] {
            title = page->title();
            return title.startsWith(QLatin1String("granted")) ||
                   title.startsWith(QLatin1String("refused"));
        },
        Wait);
    return answered ? title : QStringLiteral("no answer");
}

} // namespace

TEST_F(CallMediaTest, TwoSidesTalkMuteShowVideoHangUpAndCallAgainAfterARelayRestart) {
    CallTestRig<TCallPage> rig;
    ASSERT_TRUE(rig.connect());
    ASSERT_TRUE(rig.callAndAccept());
    EXPECT_TRUE(rig.teacherMedia.capturing());
    EXPECT_TRUE(hearing(rig.teacherCall));
    EXPECT_TRUE(hearing(rig.studentCall));
    EXPECT_GT(rig.teacherCall.stats().microphoneLevel + rig.studentCall.stats().microphoneLevel, 0);
    EXPECT_EQ(rig.teacherCall.stats().route, "host");
    EXPECT_GE(rig.studentCall.setupMs(), 0);

    // Muting stops what the student receives; unmuting brings it back.
    Flow atStudent(rig.studentCall);
    ASSERT_TRUE(atStudent.waitGrowing());
    rig.teacherCall.SetMuted(true);
    EXPECT_TRUE(atStudent.waitStill());
    rig.teacherCall.SetMuted(false);
    EXPECT_TRUE(atStudent.waitGrowing());

    // The teacher's camera brings pictures to the student.
    EXPECT_EQ(rig.studentCall.stats().videoFramesReceived, 0);
    rig.teacherCall.SetCamera(true);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rig.studentCall.stats().videoFramesReceived > 5; }, Wait));

    rig.studentCall.HangUp();
    EXPECT_TRUE(rig.bothIn(State::Idle));
    EXPECT_EQ(rig.teacherCall.ending(), LessonCall::Ending::PartnerHungUp);
    EXPECT_FALSE(rig.teacherMedia.capturing());
    EXPECT_FALSE(rig.studentMedia.capturing());

    // A relay restart ends a call on both sides; once it is back, a new call connects.
    ASSERT_TRUE(rig.callAndAccept());
    rig.relay.stop();
    EXPECT_TRUE(rig.bothIn(State::NoPartner));
    EXPECT_TRUE(rig.teacherCall.callAgain());
    EXPECT_FALSE(rig.studentMedia.capturing());
    ASSERT_TRUE(rig.relay.restart());
    ASSERT_TRUE(rig.bothIn(State::Idle));
    ASSERT_TRUE(rig.callAndAccept());
    EXPECT_TRUE(hearing(rig.studentCall));
    rig.teacherCall.End();
    EXPECT_TRUE(rig.bothIn(State::Idle));
}

TEST_F(CallMediaTest, OnlyTheCallPageGetsMicrophoneAndCameraAndOnlyDuringACall) {
    // The rule itself.
    const QUrl own = QUrl(QStringLiteral("qrc:"));
    const struct {
        QUrl origin;
        QWebEnginePage::Feature feature;
        bool capturing;
        bool granted;
    } cases[] = {
        {own, QWebEnginePage::MediaAudioCapture, true, true},
        {own, QWebEnginePage::MediaAudioVideoCapture, true, true},
        {own, QWebEnginePage::MediaVideoCapture, false, false},
        {own, QWebEnginePage::DesktopVideoCapture, true, false},
        {own, QWebEnginePage::Geolocation, true, false},
        {QUrl(QStringLiteral("file:///books/05/index.htm")), QWebEnginePage::MediaAudioCapture,
         true, false},
        {QUrl(QStringLiteral("https://example.cz")), QWebEnginePage::MediaAudioCapture, true,
         false},
        {QUrl(QStringLiteral("qrc://evil")), QWebEnginePage::MediaAudioCapture, true, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TCallPage::grants(c.origin, c.feature, c.capturing), c.granted)
            << c.origin.toString().toStdString() << " " << c.feature;

    // The call page outside a call is refused.
    TCallPage media;
    EXPECT_EQ(media.page(), nullptr); // no browser engine before it is needed
    media.prepare();
    ASSERT_TRUE(QTest::qWaitFor([&] { return media.isReady(); }, Wait));
    const QString asked = titleAfter(media.page(), [&] {
        media.page()->runJavaScript(QString::fromLatin1(R"(
navigator.mediaDevices.getUserMedia({audio: true})
  .then(() => { document.title = 'granted'; }, e => { document.title = 'refused:' + e.name; });)"));
    });
    EXPECT_EQ(asked, "refused:NotAllowedError");

    // An HTML course book asking for them is refused, during a call as well.
    CallTestRig<TCallPage> rig;
    ASSERT_TRUE(rig.connect());
    ASSERT_TRUE(rig.callAndAccept());
    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("index.htm")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(AskForMicrophone);
    page.close();
    TLessonPageView view;
    view.resize(400, 300);
    const QString book =
        titleAfter(view.ensureBrowser()->page(), [&] { view.showHtml(page.fileName()); });
    EXPECT_EQ(book, "refused:NotAllowedError");
    EXPECT_EQ(rig.teacherCall.state(), State::Connected);
}

TEST_F(CallMediaTest, ACallWithHostCandidatesBarredGoesThroughTheTurnServer) {
    TurnServerProcess turn;
    if (!turn.available())
        GTEST_SKIP() << "turnserver is not installed (scripts/install-deps adds coturn)";
    ASSERT_TRUE(turn.start()) << turn.log().toStdString();
    CallTestRig<TCallPage> rig;
    int fetched = 0;
    for (LessonCall *call : {&rig.teacherCall, &rig.studentCall}) {
        call->setRelayOnly(true);
        call->setServerFetch([&](auto done) {
            ++fetched;
            done(turn.servers(fetched == 1 ? 12 : 40));
        });
    }
    ASSERT_TRUE(rig.connect());
    ASSERT_TRUE(rig.callAndAccept()) << turn.log().toStdString();
    EXPECT_TRUE(hearing(rig.studentCall));
    EXPECT_TRUE(hearing(rig.teacherCall));
    EXPECT_EQ(rig.teacherCall.stats().route, "relay");
    EXPECT_EQ(rig.studentCall.stats().route, "relay");
    EXPECT_TRUE(turn.log().contains("session")) << turn.log().toStdString();

    // A credential the TURN server does not know (another secret) gets no route.
    rig.teacherCall.HangUp();
    ASSERT_TRUE(rig.bothIn(State::Idle));
    // The teacher gives up first and says so; the student hears the goodbye.
    rig.teacherCall.setTimeouts(8000, 45000, 4000);
    rig.studentCall.setTimeouts(8000, 45000, 12000);
    for (LessonCall *call : {&rig.teacherCall, &rig.studentCall})
        call->setServerFetch([&](auto done) { done(turn.servers(12, "wrong secret")); });
    ASSERT_TRUE(rig.teacherCall.Call());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.studentCall.state() == State::Incoming; }, Wait));
    rig.studentCall.Accept();
    EXPECT_TRUE(rig.bothIn(State::Idle));
    EXPECT_EQ(rig.teacherCall.ending(), LessonCall::Ending::Failed);
    EXPECT_EQ(rig.studentCall.ending(), LessonCall::Ending::PartnerHungUp);
}
