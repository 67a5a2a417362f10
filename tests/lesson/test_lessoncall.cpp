// A call between a teacher's and a student's lesson channel over the reference relay on
// private loopback ports, with media engine stand-ins: the hello, ringing, accepting and
// hanging up, the signalling in pieces, and every way a call ends.
#include "fakecallmedia.h"
#include "relayhubthread.h"
#include "testlessonhost.h"

#include "lesson/call/callwire.h"
#include "lesson/call/lessoncall.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int Wait = 10000;
using State = LessonCall::State;
using Ending = LessonCall::Ending;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_lessoncall";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

class LessonCallTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(relay.start());
        const QString host = QStringLiteral("127.0.0.1:%1").arg(relay.port());
        Settings().useSsl = false;
        Settings().onlinePortType = 0;
        Settings().relayAutoReconnect = true;
        teacherHost.who = {3, 7, 12, host};
        studentHost.who = {4, 7, 40, host};
        studentHost.teachers = {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
        for (LessonChannel *channel : {&teacher, &student})
            channel->setReconnectPauses({100, 200, 400, 800, 1600});
    }
    void TearDown() override { Settings() = AppSettings(); }

    void connectBoth() {
        teacher.ConnectToggle();
        ASSERT_TRUE(teacher.isConnected());
        student.ConnectToggle();
        ASSERT_TRUE(student.isConnected());
        ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "40"; }, Wait));
    }
    void bothReady() {
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return teacherCall->state() == State::Idle && studentCall->state() == State::Idle;
            },
            Wait));
    }
    void callAndAccept(bool camera = false) {
        ASSERT_TRUE(teacherCall->Call(camera));
        EXPECT_EQ(teacherCall->state(), State::Outgoing);
        ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Incoming; }, Wait));
        EXPECT_EQ(studentCall->ringWithVideo(), camera);
        studentCall->Accept();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                return teacherCall->state() == State::Connected &&
                       studentCall->state() == State::Connected;
            },
            Wait));
    }

    int ensured = (ensureApplication(), 0);
    ScriptedSeam seam;
    RelayHubThread relay;
    TestLessonHost teacherHost, studentHost;
    LessonChannel teacher{teacherHost}, student{studentHost};
    FakeCallMedia teacherMedia, studentMedia;
    std::unique_ptr<LessonCall> teacherCall = std::make_unique<LessonCall>(teacher, teacherMedia);
    std::unique_ptr<LessonCall> studentCall = std::make_unique<LessonCall>(student, studentMedia);
};

} // namespace

TEST_F(LessonCallTest, PartnersCallEachOtherAndAHangUpEndsBothSides) {
    IceServers servers;
    servers.stun = QStringList{QStringLiteral("stun:127.0.0.1:3478")};
    int fetched = 0;
    for (LessonCall *call : {teacherCall.get(), studentCall.get()})
        call->setServerFetch([&](auto done) {
            ++fetched;
            done(servers);
        });
    EXPECT_EQ(teacherCall->state(), State::NoPartner);
    EXPECT_FALSE(teacherCall->Call());
    connectBoth();
    bothReady();

    callAndAccept(true);
    EXPECT_EQ(fetched, 2);
    ASSERT_EQ(teacherMedia.starts.size(), 1);
    ASSERT_EQ(studentMedia.starts.size(), 1);
    EXPECT_TRUE(teacherMedia.starts[0].offerer);
    EXPECT_FALSE(studentMedia.starts[0].offerer);
    // The caller's camera is on; the student's stays off until switched on.
    EXPECT_TRUE(teacherMedia.starts[0].camera);
    EXPECT_FALSE(studentMedia.starts[0].camera);
    EXPECT_EQ(studentMedia.starts[0].servers.stun, servers.stun);
    // The large descriptions came whole through many relay lines, the candidates after them.
    ASSERT_EQ(studentMedia.taken.size(), 2);
    EXPECT_EQ(studentMedia.taken[0].sdp, FakeCallMedia::bigSdp("offer"));
    EXPECT_EQ(studentMedia.taken[1].type, CallMessage::Type::Candidate);
    ASSERT_EQ(teacherMedia.taken.size(), 2);
    EXPECT_EQ(teacherMedia.taken[0].sdp, FakeCallMedia::bigSdp("answer"));
    EXPECT_GE(studentCall->setupMs(), 0);

    // A recording playing holds the microphone; the user's own muting outlasts it.
    teacherCall->SetHeld(true);
    EXPECT_TRUE(teacherMedia.muted);
    teacherCall->SetHeld(false);
    EXPECT_FALSE(teacherMedia.muted);
    teacherCall->SetMuted(true);
    teacherCall->SetHeld(true);
    teacherCall->SetHeld(false);
    EXPECT_TRUE(teacherMedia.muted);
    studentCall->SetCamera(true);
    EXPECT_TRUE(studentMedia.camera);
    // A chat line in the middle of the call goes its usual way.
    EXPECT_TRUE(student.SendChat({u"Slyšíme se?"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherHost.chats.size() == 1; }, Wait));
    EXPECT_EQ(teacherCall->state(), State::Connected);

    studentCall->HangUp();
    EXPECT_EQ(studentCall->state(), State::Idle);
    EXPECT_EQ(studentCall->ending(), Ending::HungUp);
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::Idle; }, Wait));
    EXPECT_EQ(teacherCall->ending(), Ending::PartnerHungUp);
    EXPECT_EQ(teacherCall->endingText(), "Partner hovor ukončil.");
    EXPECT_EQ(teacherMedia.stops, 1);
    EXPECT_EQ(studentMedia.stops, 1);

    // The student calls, the teacher declines.
    ASSERT_TRUE(studentCall->Call());
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::Incoming; }, Wait));
    teacherCall->Decline();
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Idle; }, Wait));
    EXPECT_EQ(studentCall->ending(), Ending::Declined);
    EXPECT_EQ(teacherMedia.starts.size(), 1);
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonCallTest, WhenBothCallAtOnceTheTeachersCallGoesOn) {
    connectBoth();
    bothReady();
    ASSERT_TRUE(teacherCall->Call());
    ASSERT_TRUE(studentCall->Call());
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Incoming; }, Wait));
    EXPECT_EQ(teacherCall->state(), State::Outgoing);
    EXPECT_EQ(studentMedia.stops, 1); // the student's own call, made ready, is dropped
    studentCall->Accept();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return teacherCall->state() == State::Connected &&
                   studentCall->state() == State::Connected;
        },
        Wait));
    ASSERT_EQ(studentMedia.starts.size(), 2);
    EXPECT_FALSE(studentMedia.starts[1].offerer);
    EXPECT_EQ(studentMedia.taken.constFirst().type, CallMessage::Type::Offer);
}

TEST_F(LessonCallTest, APartnerWithoutCallsLeavesTheCallUnavailable) {
    studentCall.reset(); // the student's program knows no calls and ignores the lines
    teacherCall->setTimeouts(300, 45000, 20000);
    connectBoth();
    ASSERT_EQ(teacherCall->state(), State::Probing);
    EXPECT_EQ(teacherCall->stateText(), "Hovor: ověřuje se...");
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::Unavailable; }, Wait));
    EXPECT_EQ(teacherCall->stateText(),
              "Hovor není k dispozici: partner nebo server hovory nepodporuje.");
    EXPECT_FALSE(teacherCall->Call());
    // The chat is untouched by the lines the student ignored.
    EXPECT_TRUE(teacher.SendChat({u"Dobrý den"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentHost.chats.size() == 1; }, Wait));
    EXPECT_TRUE(teacherMedia.starts.isEmpty());
}

TEST_F(LessonCallTest, ARelayRestartEndsTheCallAndANewCallConnectsOnceItIsBack) {
    connectBoth();
    bothReady();
    callAndAccept();
    relay.stop();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return teacherCall->state() == State::NoPartner &&
                   studentCall->state() == State::NoPartner;
        },
        Wait));
    for (LessonCall *call : {teacherCall.get(), studentCall.get()}) {
        EXPECT_EQ(call->ending(), Ending::RelayDropped);
        EXPECT_TRUE(call->callAgain());
        EXPECT_TRUE(call->endingText().contains("můžete zavolat znovu"));
    }
    EXPECT_EQ(teacherMedia.stops, 1);
    EXPECT_EQ(studentMedia.stops, 1);

    ASSERT_TRUE(relay.restart());
    bothReady();
    EXPECT_TRUE(teacherCall->callAgain());
    callAndAccept();
    EXPECT_FALSE(teacherCall->callAgain());
    EXPECT_EQ(teacherMedia.starts.size(), 2);
}

TEST_F(LessonCallTest, HostileSignallingEndsTheCallOnBothSidesWithAClearError) {
    connectBoth();
    bothReady();
    const QList<QByteArray> hostile[] = {
        {"@callsig;%1;1;0;1;%%%"},   // not a sound line
        {"@callsig;%1;90;1;3;QUFB"}, // a piece out of order
        {"@callsig;%1;90;0;1;" + QByteArray("nonsense").toBase64()},
        {"@callsig;%1;90;0;1;" +
         QByteArray(R"({"type":"offer","sdp":"v=0\r\na=\u0000"})").toBase64()},
        {"@callsig;%1;90;0;2;QUFB", "@callsig;%1;91;0;1;QUFB"}, // a message left unfinished
    };
    for (const QList<QByteArray> &lines : hostile) {
        callAndAccept();
        // Only the call's own id counts: a line for another call changes nothing.
        ASSERT_TRUE(student.PostToPartner("@callsig;abc;1;0;1;%%%"));
        ASSERT_TRUE(student.PostToPartner(CallWire::bye("abc")));
        for (QByteArray line : lines)
            ASSERT_TRUE(student.PostToPartner(line.replace("%1", teacherCall->callId())));
        ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::Idle; }, Wait))
            << lines[0].constData();
        EXPECT_EQ(teacherCall->ending(), Ending::BadSignal);
        EXPECT_EQ(teacherCall->endingText(),
                  "Partner poslal chybná data hovoru, hovor byl ukončen.");
        ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Idle; }, Wait));
        EXPECT_EQ(studentCall->ending(), Ending::PartnerHungUp);
    }
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonCallTest, ThePartnerLeavingOrTheLessonEndingEndsTheCall) {
    connectBoth();
    bothReady();
    callAndAccept();
    student.DisconnectLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::NoPartner; }, Wait));
    EXPECT_EQ(teacherCall->ending(), Ending::PartnerLeft);
    EXPECT_EQ(studentCall->ending(), Ending::LessonEnded);
    EXPECT_FALSE(teacherCall->callAgain());

    student.ConnectToggle();
    bothReady();
    callAndAccept();
    // Sign-out or closing: the call is hung up and the partner told.
    teacherCall->End();
    EXPECT_EQ(teacherMedia.stops, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Idle; }, Wait));
    EXPECT_EQ(studentCall->ending(), Ending::PartnerHungUp);
    // An unanswered call rings out.
    teacherCall->setTimeouts(8000, 300, 20000);
    ASSERT_TRUE(teacherCall->Call());
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherCall->state() == State::Idle; }, Wait));
    EXPECT_EQ(teacherCall->ending(), Ending::NoAnswer);
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentCall->state() == State::Idle; }, Wait));
    EXPECT_EQ(studentCall->ending(), Ending::Missed);
}
