// The lesson channel against the reference relay on private loopback ports: a teacher and
// students as channel instances in this process, the relay on a thread of its own.
#include "relayhubthread.h"
#include "testlessonhost.h"

#include "base/sessionlost.h"
#include "lesson/relay/lessonchannel.h"
#include "net/settings/settings.h"
#include "relayhub.h"
#include "scriptedseam.h"
#include "testcertificate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int Wait = 10000;

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_lessonchannel";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// Lets the relay and the clients work for a while, for checking that nothing more happens.
void settle(int milliseconds = 200) {
    QTest::qWait(milliseconds);
}

// A bare relay client for lines that no lesson client would send.
class RawClient {
public:
    RawClient(quint16 port, const QByteArray &id) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.write("c;" + id + ";vorelitambu\r\n");
    }
    void send(const QByteArray &line) { m_socket.write(line + "\r\n"); }
    // Waits until a line that begins with the text came.
    bool waitFor(const QByteArray &start) {
        return QTest::qWaitFor(
            [&] {
                m_received += m_socket.readAll();
                for (const QByteArray &line : m_received.split('\n'))
                    if (line.startsWith(start))
                        return true;
                return false;
            },
            Wait);
    }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

class LessonChannelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(relay.start());
        useRelay(relay.port());
        Settings().useSsl = false;
        Settings().onlinePortType = 0;
        Settings().relayAutoReconnect = true;
        teacherHost.who = {3, 7, 12, relayHost};
        studentHost.who = {4, 7, 40, relayHost};
        studentHost.teachers = {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
        teacherHost.names = {{QStringLiteral("40"), QStringLiteral("Petr Žák")},
                             {QStringLiteral("41"), QStringLiteral("Eva Žáková")}};
    }
    void TearDown() override { Settings() = AppSettings(); }

    void useRelay(quint16 port) { relayHost = QStringLiteral("127.0.0.1:%1").arg(port); }

    void connectBoth() {
        teacher.ConnectToggle();
        ASSERT_TRUE(teacher.isConnected()) << teacherHost.status.toStdString();
        student.ConnectToggle();
        ASSERT_TRUE(student.isConnected()) << studentHost.status.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "40"; }, Wait));
    }

    int ensured = (ensureApplication(), 0);
    ScriptedSeam seam;
    RelayHubThread relay;
    QString relayHost;
    TestLessonHost teacherHost, studentHost;
    LessonChannel teacher{teacherHost}, student{studentHost};
};

} // namespace

TEST_F(LessonChannelTest, SignsOnFindsThePartnerOnBothSidesAndChats) {
    teacher.ConnectToggle();
    ASSERT_TRUE(teacher.isConnected());
    EXPECT_EQ(teacherHost.panel, "Výuka je on-line");
    EXPECT_EQ(teacherHost.button, "&Být off-line");
    EXPECT_EQ(teacherHost.status, "");

    student.ConnectToggle();
    ASSERT_TRUE(student.isConnected());
    EXPECT_EQ(student.partnerId(), "12");
    EXPECT_EQ(studentHost.button, "&Odpojit se");
    EXPECT_EQ(studentHost.status, "Vyučující: Jana Učitelová");
    EXPECT_TRUE(studentHost.statuses.contains("Připojuje se k " + relayHost));

    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "40"; }, Wait));
    EXPECT_EQ(teacherHost.status, "Připojen klient: Petr Žák");
    EXPECT_EQ(teacherHost.loadedHistories, QList<int>{40});
    EXPECT_TRUE(teacherHost.hasPartner);
    EXPECT_TRUE(studentHost.loadedHistories.isEmpty());

    const QStringList czech = {u"Dobrý den, paní učitelko"_qs, u"Mám otázku k úloze č. 5"_qs};
    QList<QStringList> sent;
    EXPECT_TRUE(student.SendChat(czech, &sent).delivered());
    EXPECT_EQ(sent, QList<QStringList>{czech});
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacherHost.chats.size() == 1; }, Wait));
    EXPECT_EQ(teacherHost.chats[0].first, "Petr Žák");
    EXPECT_EQ(teacherHost.chats[0].second, czech);

    EXPECT_TRUE(teacher.SendChat({u"Ďakujem | pošlite ju"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentHost.chats.size() == 1; }, Wait));
    EXPECT_EQ(studentHost.chats[0].first, "Jana Učitelová");
    EXPECT_EQ(studentHost.chats[0].second, (QStringList{u"Ďakujem "_qs, u" pošlite ju"_qs}));

    // A message beyond one relay line goes as several, every one of them delivered.
    const QString essay(6000, u'ž');
    sent.clear();
    EXPECT_TRUE(teacher.SendChat({essay}, &sent).delivered());
    ASSERT_GT(sent.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentHost.chats.size() == 1 + sent.size(); }, Wait));
    QString arrived;
    for (int i = 1; i < studentHost.chats.size(); ++i)
        arrived += studentHost.chats[i].second.join(QString());
    EXPECT_EQ(arrived, essay);
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonChannelTest, IgnoresMessagesFromAnyoneButThePartner) {
    connectBoth();
    const QByteArray chat("@chatmsg;C\0i\0z\0\xed\0", 17);
    RawClient stranger(relay.port(), "7_13");
    stranger.send("@sayclient;7_12_40;" + chat);
    ASSERT_TRUE(stranger.waitFor("@sayclient;7_12_40;"));
    RawClient otherStudent(relay.port(), "7_12_41");
    otherStudent.send("@sayclient;7_12;" + chat);
    otherStudent.send("@sayclient;7_12;@syncpage;1;3;4");
    ASSERT_TRUE(otherStudent.waitFor("@sayclient;7_12;@syncpage"));

    EXPECT_TRUE(teacher.SendChat({u"Vlastní"_qs}).delivered());
    EXPECT_TRUE(student.SendChat({u"Vlastní"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return studentHost.chats.size() == 1 && teacherHost.chats.size() == 1; }, Wait));
    settle();
    EXPECT_EQ(studentHost.chats.size(), 1);
    EXPECT_EQ(teacherHost.chats.size(), 1);
    EXPECT_EQ(teacher.partnerId(), "40");
    EXPECT_TRUE(teacherHost.shownPages.isEmpty());
}

TEST_F(LessonChannelTest, FeatureLinesReachThePartnerInOrderAndNeverTheScreen) {
    QList<QPair<QByteArray, QByteArray>> atStudent;
    QObject::connect(&student, &LessonChannel::partnerLine,
                     [&](const QByteArray &command, const QByteArray &rest) {
                         atStudent.append({command, rest});
                     });
    QList<bool> presence;
    QObject::connect(&teacher, &LessonChannel::partnerPresenceChanged,
                     [&](bool present) { presence.append(present); });
    EXPECT_FALSE(teacher.PostToPartner("@pointer;1;2")); // off line, no partner
    connectBoth();
    EXPECT_EQ(presence, QList<bool>{true});

    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(teacher.PostToPartner("@pointer;" + QByteArray::number(i) + ";0.5"));
    EXPECT_FALSE(teacher.PostToPartner("@big;" + QByteArray(teacher.partnerRoom(), 'x')));
    // A chat exchange in the middle still gets its echo among the echoes of posted lines.
    EXPECT_TRUE(teacher.SendChat({u"Mezi tím"_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor([&] { return atStudent.size() == 30; }, Wait));
    for (int i = 0; i < 30; ++i) {
        EXPECT_EQ(atStudent[i].first, "@pointer");
        EXPECT_EQ(atStudent[i].second, QByteArray::number(i) + ";0.5");
    }
    settle();
    EXPECT_EQ(studentHost.chats.size(), 1);
    EXPECT_TRUE(studentHost.shownPages.isEmpty());
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonChannelTest, StudentFollowsThePagesAndRecordingsOfTheTeacher) {
    connectBoth();
    EXPECT_TRUE(teacher.SendSync(true, 3, 5));
    EXPECT_TRUE(teacher.syncOn());
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentHost.shownPages.size() == 1; }, Wait));
    EXPECT_EQ(studentHost.shownPages[0], qMakePair(3, 5));
    EXPECT_TRUE(student.syncOn());

    teacher.SendPage(3, 6);
    teacher.SendPage(9, 2); // not in the student's library: nothing shown
    teacher.SendAudio(3, 2, 1);
    teacher.SendAudio(1, 4, 1); // another book than the student's: ignored
    teacher.SendAudio(3, 5, 3);
    // The page is shown from the event queue, after the lines that came with it.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return studentHost.audio.size() == 2 && studentHost.shownPages.size() == 2; }, Wait));
    settle();
    EXPECT_EQ(studentHost.shownPages, (QList<QPair<int, int>>{{3, 5}, {3, 6}}));
    EXPECT_EQ(studentHost.audio, (QList<QPair<int, int>>{{2, 1}, {5, 3}}));

    // Following off changes no page, and pages are no longer sent.
    EXPECT_TRUE(teacher.SendSync(false, 3, 7));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !student.syncOn(); }, Wait));
    teacher.SendPage(3, 8);
    settle();
    EXPECT_EQ(studentHost.shownPages.size(), 2);

    // Following on with an unknown book switches following on and changes no page.
    EXPECT_TRUE(teacher.SendSync(true, 9, 1));
    ASSERT_TRUE(QTest::qWaitFor([&] { return student.syncOn(); }, Wait));
    settle();
    EXPECT_EQ(studentHost.shownPages.size(), 2);
}

TEST_F(LessonChannelTest, TeachersNextStudentBecomesThePartnerOnlyWithTheNextList) {
    connectBoth();
    TestLessonHost secondHost;
    secondHost.who = {4, 7, 41, relayHost};
    secondHost.teachers = studentHost.teachers;
    LessonChannel second(secondHost);
    second.ConnectToggle();
    ASSERT_TRUE(second.isConnected());
    settle();
    EXPECT_EQ(teacher.partnerId(), "40");

    const int forgotten = teacherHost.forgottenHistories;
    student.DisconnectLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId().isEmpty(); }, Wait));
    // The chat stays on screen while nobody else has come.
    EXPECT_EQ(teacherHost.forgottenHistories, forgotten);
    EXPECT_EQ(teacherHost.status, "");
    settle();
    EXPECT_TRUE(teacher.partnerId().isEmpty());

    teacher.link().sendLine("@listactiveusers");
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "41"; }, Wait));
    EXPECT_EQ(teacherHost.status, "Připojen klient: Eva Žáková");
    EXPECT_EQ(teacherHost.loadedHistories, (QList<int>{40, 41}));
    EXPECT_EQ(teacherHost.forgottenHistories, forgotten + 1); // another student: replaced
}

TEST_F(LessonChannelTest, StudentIsDisconnectedWhenTheTeacherLeaves) {
    connectBoth();
    teacher.DisconnectLesson();
    EXPECT_EQ(teacherHost.panel, "Výuka je off-line");
    EXPECT_EQ(teacherHost.button, "&Být on-line");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return student.state() == LessonChannel::State::Offline; }, Wait));
    EXPECT_EQ(studentHost.button, "&Připojit se");
    EXPECT_EQ(studentHost.panel, "Výuka je off-line");
    EXPECT_EQ(studentHost.savedHistories, 1);
    EXPECT_TRUE(student.partnerId().isEmpty());
    settle(500);
    EXPECT_EQ(student.state(), LessonChannel::State::Offline); // no reconnect: it was meant
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonChannelTest, ConnectingReportsRefusalsAndFailures) {
    // A refused sign-on ends off line without a box, the relay's refusal named.
    QByteArray refusal = "notonline";
    relay.run([&refusal](RelayHub &hub) {
        hub.setSignOnCheck([&refusal](const QByteArray &id, const QByteArray &, const QHostAddress &) {
            return RelayHub::SignOnVerdict{id == "7_12" ? refusal : QByteArray()};
        });
    });
    int sessionsLost = 0;
    SetSessionLostHandler([&] { ++sessionsLost; });
    teacher.ConnectToggle();
    EXPECT_EQ(teacher.state(), LessonChannel::State::Offline);
    EXPECT_EQ(teacherHost.status, "Odpojen - @error;notonline");
    EXPECT_EQ(teacherHost.button, "&Být on-line");
    EXPECT_TRUE(seam.boxes.isEmpty());
    // A relay that finds no sign-in at the central server: the session is over, which the
    // program handles as any lost session, with no relay line on screen.
    refusal = "nosession";
    teacher.ConnectToggle();
    EXPECT_EQ(teacher.state(), LessonChannel::State::Offline);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sessionsLost == 1; }, Wait));
    EXPECT_FALSE(teacherHost.status.contains(u"@error")) << teacherHost.status.toStdString();
    EXPECT_TRUE(seam.boxes.isEmpty());
    SetSessionLostHandler({});

    // The student's teacher is not on line: the attempt fails with the warning.
    student.ConnectToggle();
    EXPECT_EQ(student.state(), LessonChannel::State::Offline);
    EXPECT_EQ(studentHost.status, "Vyučující není on-line");
    EXPECT_EQ(seam.boxTexts(), QStringList{"Chyba - nepodařilo se připojit!"});

    // No relay listening.
    relay.stop();
    relay.run([](RelayHub &hub) { hub.setSignOnCheck({}); });
    teacher.ConnectToggle();
    EXPECT_EQ(teacher.state(), LessonChannel::State::Offline);
    EXPECT_EQ(teacherHost.status, "Výukový server odmítl spojení.");
    EXPECT_EQ(seam.boxes.size(), 2);
}

// Each sign-on carries a fresh token from the central server; a relay from before tokens
// (which reads it as a wrong key) gets a sign-on without, and so does a server that issues
// none, and so does one that cannot be asked: the relay decides whether it takes a sign-on
// without a token.
TEST_F(LessonChannelTest, SignOnCarriesTheTokenWhereServerAndRelayKnowThem) {
    QMutex lock;
    QList<QByteArray> seen; // the tokens of the sign-ons, in order
    bool oldRelay = false;
    relay.run([&](RelayHub &hub) {
        hub.setSignOnCheck([&](const QByteArray &, const QByteArray &token, const QHostAddress &) {
            QMutexLocker locker(&lock);
            seen.append(token);
            return RelayHub::SignOnVerdict{oldRelay && !token.isEmpty() ? "badkey" : ""};
        });
    });
    const auto seenTokens = [&] {
        QMutexLocker locker(&lock);
        return seen;
    };
    struct Case {
        const char *what;
        std::optional<QByteArray> token;
        bool oldRelay;
        QList<QByteArray> signOns;
        bool connected;
    };
    const QList<Case> cases{
        {"server and relay with tokens", QByteArray("17-1893456000-0a1b"), false,
         {"17-1893456000-0a1b"}, true},
        {"relay before tokens", QByteArray("17-1893456000-0a1c"), true,
         {"17-1893456000-0a1c", ""}, true},
        {"server before tokens", QByteArray(), false, {""}, true},
        {"server not reached", std::nullopt, false, {""}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        {
            QMutexLocker locker(&lock);
            seen.clear();
            oldRelay = c.oldRelay;
        }
        teacherHost.token = c.token;
        teacherHost.tokensAsked = 0;
        teacher.ConnectToggle();
        EXPECT_EQ(teacher.isConnected(), c.connected);
        EXPECT_EQ(seenTokens(), c.signOns);
        EXPECT_EQ(teacherHost.tokensAsked, 1);
        if (teacher.isConnected())
            teacher.ConnectToggle();
    }
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(LessonChannelTest, StudentChoosesAmongTeachersOnLine) {
    studentHost.teachers.clear();
    student.ConnectToggle();
    EXPECT_EQ(seam.boxTexts(),
              QStringList{"Seznam online vyučujících je prázdný, nelze se připojit!"});
    EXPECT_TRUE(studentHost.statuses.isEmpty()); // no attempt

    studentHost.teachers = {
        {"13", u"Zdeněk Čech"_qs}, {"12", u"Čeněk Bílý"_qs}, {"14", u"Cyril Adam"_qs}};
    studentHost.choice = -1;
    student.ConnectToggle();
    ASSERT_EQ(studentHost.offered.size(), 1);
    QStringList names;
    for (const OnlineTeacher &t : studentHost.offered[0])
        names << t.name;
    EXPECT_EQ(names, (QStringList{u"Cyril Adam"_qs, u"Čeněk Bílý"_qs, u"Zdeněk Čech"_qs}));
    EXPECT_TRUE(studentHost.statuses.isEmpty());

    teacher.ConnectToggle();
    studentHost.choice = 1;
    student.ConnectToggle();
    EXPECT_TRUE(student.isConnected());
    EXPECT_EQ(student.teacherId(), "12");
    EXPECT_EQ(studentHost.status, u"Vyučující: Čeněk Bílý"_qs);
}

TEST_F(LessonChannelTest, TlsVerifiesTheRelaysCertificate) {
    QTemporaryDir folder;
    const TestCertificate certificate = MakeSelfSignedCertificate(folder.path());
    ASSERT_FALSE(certificate.isNull());
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(certificate.certificate);
    tls.setPrivateKey(certificate.key);
    RelayHubThread tlsRelay;
    ASSERT_TRUE(tlsRelay.start(tls));
    teacherHost.who.relayServer = QStringLiteral("127.0.0.1:%1").arg(tlsRelay.tlsPort());
    Settings().useSsl = true;

    // The relay's certificate is not among the trusted ones.
    teacher.ConnectToggle();
    EXPECT_EQ(teacher.state(), LessonChannel::State::Offline);
    EXPECT_EQ(teacherHost.status, "Certifikát výukového serveru není důvěryhodný.");
    EXPECT_EQ(seam.boxTexts(), QStringList{"Chyba - nepodařilo se připojit!"});

    Settings().caFile = certificate.certificateFile;
    teacher.ConnectToggle();
    EXPECT_TRUE(teacher.isConnected()) << teacherHost.status.toStdString();
    EXPECT_TRUE(teacher.endpoint().tls);
    teacher.DisconnectLesson();

    // Verification off accepts it without the CA.
    Settings().caFile.clear();
    Settings().tlsVerify = false;
    teacher.ConnectToggle();
    EXPECT_TRUE(teacher.isConnected()) << teacherHost.status.toStdString();
}

TEST_F(LessonChannelTest, SignsOnAgainAfterTheRelayRestartsAndFollowingResumes) {
    const QList<int> pauses{100, 200, 400, 800, 1600, 3200};
    teacher.setReconnectPauses(pauses);
    student.setReconnectPauses(pauses);
    connectBoth();
    teacherHost.book = 3;
    teacherHost.page = 5;
    ASSERT_TRUE(teacher.SendSync(true, 3, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return studentHost.shownPages.size() == 1; }, Wait));

    relay.stop();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return teacher.state() == LessonChannel::State::Reconnecting &&
                   student.state() == LessonChannel::State::Reconnecting;
        },
        Wait));
    EXPECT_TRUE(teacher.partnerId().isEmpty());
    EXPECT_FALSE(student.syncOn());
    EXPECT_EQ(teacherHost.panel, "Výuka je off-line");
    EXPECT_EQ(teacherHost.button, "&Být off-line"); // pressing it stops the reconnecting
    EXPECT_TRUE(teacherHost.status.startsWith("Spojení přerušeno, nové připojení za 0,"))
        << teacherHost.status.toStdString();

    ASSERT_TRUE(relay.restart());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return teacher.isConnected() && student.isConnected() && teacher.partnerId() == "40" &&
                   studentHost.shownPages.size() == 2;
        },
        Wait));
    EXPECT_EQ(studentHost.shownPages[1], qMakePair(3, 5));
    EXPECT_TRUE(student.syncOn());
    EXPECT_TRUE(teacher.syncOn());
    EXPECT_EQ(teacherHost.panel, "Výuka je on-line");
    EXPECT_TRUE(seam.boxes.isEmpty());
    // The same student came back: the teacher's chat stayed as it was, neither emptied nor
    // read again from the student's last save.
    EXPECT_EQ(teacherHost.loadedHistories, QList<int>{40});
    EXPECT_EQ(teacherHost.forgottenHistories, 0);

    // Without automatic reconnecting a drop ends off line.
    Settings().relayAutoReconnect = false;
    relay.stop();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return teacher.state() == LessonChannel::State::Offline; }, Wait));
    EXPECT_EQ(teacherHost.status, "Spojení s výukovým serverem bylo přerušeno.");
    EXPECT_EQ(teacherHost.button, "&Být on-line");
}

TEST_F(LessonChannelTest, FollowingResumesAfterADropButNeverAfterADisconnect) {
    connectBoth();
    teacherHost.book = 3;
    teacherHost.page = 5;
    ASSERT_TRUE(teacher.SendSync(true, 3, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return student.syncOn(); }, Wait));

    // "Být off-line" while following, then on line again and the student comes back.
    teacher.DisconnectLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !student.isConnected(); }, Wait));
    teacher.ConnectToggle();
    ASSERT_TRUE(teacher.isConnected());
    student.ConnectToggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "40"; }, Wait));
    settle(300);
    EXPECT_FALSE(teacher.syncOn());
    EXPECT_FALSE(student.syncOn());
}

// A relay that signs the teacher on, names one student and never answers again.
TEST_F(LessonChannelTest, ClosingWhileWaitingForTheEchoEndsTheWaitAtOnce) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        QTcpSocket *peer = silent.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [peer] {
            if (peer->readAll().startsWith("c;"))
                peer->write("@loginok\r\n@listactiveusers;7_12;7_12_40\r\n");
        });
    });
    teacherHost.who.relayServer = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    teacher.ConnectToggle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return teacher.partnerId() == "40"; }, Wait));

    QTimer::singleShot(100, [&] { teacher.DisconnectLesson(); });
    QElapsedTimer clock;
    clock.start();
    const LessonChannel::SayStatus status = teacher.SendChat({u"Haló"_qs});
    EXPECT_TRUE(status.failed);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(teacher.isConnected());
    EXPECT_FALSE(teacher.isBusy());
}

// A relay that signs the teacher on and then carries nothing: the link counts as dead once it
// stayed silent for the dead time, although the connection itself is still open.
TEST_F(LessonChannelTest, ASilentLinkIsNoticedAsDropped) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    int asked = 0;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        QTcpSocket *peer = silent.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [peer, &asked] {
            const QByteArray lines = peer->readAll();
            asked += int(lines.count("@listactiveusers"));
            if (lines.startsWith("c;"))
                peer->write("@loginok\r\n");
        });
    });
    Settings().relayAutoReconnect = false;
    teacherHost.who.relayServer = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());
    teacher.setKeepalive(200, 600);
    teacher.ConnectToggle();
    ASSERT_TRUE(teacher.isConnected());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !teacher.isConnected(); }, Wait));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(teacher.state(), LessonChannel::State::Offline);
    EXPECT_EQ(teacherHost.panel, "Výuka je off-line");
}
