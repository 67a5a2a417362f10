#include "relayhub.h"
#include "relaytestclient.h"

#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslKey>

#include <gtest/gtest.h>

namespace {

// A hub on a free loopback port, and clients that sign on to it.
class RelayHubTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        ASSERT_TRUE(hub.listen(QHostAddress::LocalHost, 0)) << hub.errorString().toStdString();
    }

    std::unique_ptr<RelayTestClient> connectClient() {
        auto client = std::make_unique<RelayTestClient>();
        EXPECT_TRUE(client->connectTo(hub.serverPort()));
        return client;
    }

    // Signs on and takes the sign-on answer and the first list, which must be as given.
    std::unique_ptr<RelayTestClient> signedOn(const QByteArray &id, const QByteArray &list) {
        auto client = connectClient();
        EXPECT_EQ(client->signOn(id), "@loginok;" + id);
        EXPECT_EQ(client->nextLine(), "@listactiveusers;" + list);
        return client;
    }

    // Asks for the list: the answer must be the very next line, so nothing else came before.
    static void expectNothingElse(RelayTestClient &client, const QByteArray &list) {
        client.send("@listactiveusers");
        EXPECT_EQ(client.nextLine(), "@listactiveusers;" + list);
    }

    RelayHub hub;
};

// UTF-16LE bytes of a chat text, as the lesson client writes them.
QByteArray Utf16Bytes(const QString &text) {
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

TEST_F(RelayHubTest, ClientsOfOneLessonSeeEachOtherAndNoOneElse) {
    QSignalSpy changes(&hub, &RelayHub::onlineClientsChanged);
    auto teacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12;7_12_40");

    auto other = signedOn("8_3", "8_3");
    expectNothingElse(*teacher, "7_12;7_12_40");
    expectNothingElse(*student, "7_12;7_12_40");

    EXPECT_EQ(hub.onlineClientIds(), QStringList({"7_12", "7_12_40", "8_3"}));
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(RelayHubTest, RefusedSignOnsAreAnsweredAndClosed) {
    auto teacher = signedOn("7_12", "7_12");
    const QList<std::pair<QByteArray, QByteArray>> cases = {
        {"c;7_12;wrongkey", "@error;badkey"},
        {"c;7_12", "@error;badkey"},
        {"c;7_12;vorelitambu;", "@error;badkey"},
        {"c;7_12;VORELITAMBU", "@error;badkey"},
        {"c;;vorelitambu", "@error;badclientid"},
        {"c;7;vorelitambu", "@error;badclientid"},
        {"c;7_12_40_1;vorelitambu", "@error;badclientid"},
        {"c;07_12;vorelitambu", "@error;badclientid"},
        {"c;7__12;vorelitambu", "@error;badclientid"},
        {"c;7_+12;vorelitambu", "@error;badclientid"},
        {"c;7_12_;vorelitambu", "@error;badclientid"},
        {"@listactiveusers", "@error;notsignedon"},
        {"@sayclient;7_12;@chatmsg;hello", "@error;notsignedon"},
    };
    for (const auto &[line, answer] : cases) {
        SCOPED_TRACE(line.toStdString());
        auto client = connectClient();
        client->send(line);
        EXPECT_EQ(client->nextLine(), answer);
        EXPECT_TRUE(client->waitClosed());
    }
    expectNothingElse(*teacher, "7_12");
    EXPECT_EQ(hub.onlineClientIds(), QStringList({"7_12"}));
}

TEST_F(RelayHubTest, SayClientForwardsBytesIntactAndEchoesTheStatus) {
    auto teacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    teacher->nextLine();

    // Every byte value but LF, then a two-line chat in UTF-16LE ("|" and 0x00 bytes inside,
    // "č" giving a 0x0D byte in the middle of the line).
    QByteArray payload = "@chatmsg;";
    for (int b = 0; b < 256; ++b) {
        if (b != '\n')
            payload += char(b);
    }
    payload += Utf16Bytes(QStringLiteral("Dobrý den|čau, jak se máš?"));

    const QByteArray say = "@sayclient;7_12;" + payload;
    student->send(say);
    EXPECT_EQ(teacher->nextLine(), "@clientsaid;7_12_40;" + payload);
    EXPECT_EQ(student->nextLine(), say + "OK");

    teacher->send("@sayclient;7_12_40;@syncpage;1;3;12");
    EXPECT_EQ(student->nextLine(), "@clientsaid;7_12;@syncpage;1;3;12");
    EXPECT_EQ(teacher->nextLine(), "@sayclient;7_12_40;@syncpage;1;3;12OK");

    const QList<QByteArray> notOnLine = {"@sayclient;7_12_41;@chatmsg;x", "@sayclient;",
                                         "@sayclient"};
    for (const QByteArray &line : notOnLine) {
        student->send(line);
        EXPECT_EQ(student->nextLine(), line + "NOTFOUND");
    }
    expectNothingElse(*teacher, "7_12;7_12_40");

    // Another lesson's clients are out of reach both ways, though they are on line.
    auto stranger = signedOn("7_13_41", "7_13_41");
    auto otherTeacher = signedOn("8_12", "8_12");
    for (const QByteArray &line :
         {QByteArray("@sayclient;7_12;@syncpage;1;3;12"),
          QByteArray("@sayclient;7_12_40;@chatmsg;x"), QByteArray("@sayclient;8_12;@chatmsg;x")}) {
        stranger->send(line);
        EXPECT_EQ(stranger->nextLine(), line + "NOTFOUND");
    }
    otherTeacher->send("@sayclient;7_12_40;@syncpage;1;3;12");
    EXPECT_EQ(otherTeacher->nextLine(), "@sayclient;7_12_40;@syncpage;1;3;12NOTFOUND");
    expectNothingElse(*teacher, "7_12;7_12_40");
    expectNothingElse(*student, "7_12;7_12_40");
}

TEST_F(RelayHubTest, ForwardsNoLineLongerThanAClientReads) {
    // Ids of equal length in one lesson: the forwarded line is one byte longer than the line
    // received.
    auto sender = signedOn("1_2_3", "1_2_3");
    auto receiver = signedOn("1_2_4", "1_2_3;1_2_4");
    EXPECT_EQ(sender->nextLine(), "@listactiveusers;1_2_3;1_2_4");
    const QByteArray head = "@sayclient;1_2_4;";

    const QByteArray fits = head + QByteArray(8191 - head.size(), 'p');
    sender->send(fits);
    EXPECT_EQ(receiver->nextLine(), "@clientsaid;1_2_3;" + fits.mid(head.size()));
    EXPECT_EQ(sender->nextLine(), fits + "OK");

    const QByteArray tooLong = head + QByteArray(8192 - head.size(), 'q');
    sender->send(tooLong);
    EXPECT_EQ(sender->nextLine(), tooLong + "TOOLONG");
    expectNothingElse(*receiver, "1_2_3;1_2_4");
    expectNothingElse(*sender, "1_2_3;1_2_4");
}

TEST_F(RelayHubTest, OverLongLineClosesOnlyItsConnection) {
    auto teacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    auto flooder = signedOn("7_12_41", "7_12;7_12_40;7_12_41");
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12;7_12_40");
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12;7_12_40;7_12_41");
    EXPECT_EQ(student->nextLine(), "@listactiveusers;7_12;7_12_40;7_12_41");

    // No LF at all: the relay must not wait for the end of the line.
    flooder->sendRaw("@sayclient;7_12;@chatmsg;" + QByteArray(9000, 'x'));
    EXPECT_EQ(flooder->nextLine(), "@error;linetoolong");
    EXPECT_TRUE(flooder->waitClosed());
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12;7_12_40");
    EXPECT_EQ(student->nextLine(), "@listactiveusers;7_12;7_12_40");

    student->send("@sayclient;7_12;@chatmsg;still here");
    EXPECT_EQ(teacher->nextLine(), "@clientsaid;7_12_40;@chatmsg;still here");
    EXPECT_EQ(student->nextLine(), "@sayclient;7_12;@chatmsg;still hereOK");
}

TEST_F(RelayHubTest, ClientThatDropsLeavesTheList) {
    auto teacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12;7_12_40");
    QSignalSpy changes(&hub, &RelayHub::onlineClientsChanged);

    student->socket().abort();
    EXPECT_EQ(teacher->nextLine(), "@listactiveusers;7_12");
    EXPECT_EQ(hub.onlineClientIds(), QStringList({"7_12"}));
    EXPECT_EQ(changes.count(), 1);

    teacher->send("@sayclient;7_12_40;@syncpage;0;1;1");
    EXPECT_EQ(teacher->nextLine(), "@sayclient;7_12_40;@syncpage;0;1;1NOTFOUND");
}

TEST_F(RelayHubTest, NewerSignOnReplacesTheOlderConnection) {
    auto oldTeacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    oldTeacher->nextLine();
    QSignalSpy changes(&hub, &RelayHub::onlineClientsChanged);

    auto newTeacher = signedOn("7_12", "7_12_40;7_12");
    EXPECT_EQ(oldTeacher->nextLine(), "@error;replaced");
    EXPECT_TRUE(oldTeacher->waitClosed());
    EXPECT_EQ(student->nextLine(), "@listactiveusers;7_12_40;7_12");

    // The old connection's end must not take the new one off line.
    student->send("@sayclient;7_12;@chatmsg;hi");
    EXPECT_EQ(newTeacher->nextLine(), "@clientsaid;7_12_40;@chatmsg;hi");
    EXPECT_EQ(student->nextLine(), "@sayclient;7_12;@chatmsg;hiOK");
    expectNothingElse(*student, "7_12_40;7_12");
    EXPECT_EQ(hub.onlineClientIds(), QStringList({"7_12_40", "7_12"}));
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(RelayHubTest, AnIdOnLineIsNotTakenOverFromAnotherAddress) {
    auto teacher = signedOn("7_12", "7_12");
    RelayTestClient intruder;
    ASSERT_TRUE(intruder.connectTo(hub.serverPort(), QHostAddress("127.0.0.2")));
    EXPECT_EQ(intruder.signOn("7_12"), "@error;inuse");
    EXPECT_TRUE(intruder.waitClosed());
    expectNothingElse(*teacher, "7_12");
}

TEST_F(RelayHubTest, GroupsAndAddressesHoldABoundedNumberOfSignOns) {
    hub.setLimits(3, 5);
    auto teacher = signedOn("7_12", "7_12");
    auto first = signedOn("7_12_40", "7_12;7_12_40");
    auto second = signedOn("7_12_41", "7_12;7_12_40;7_12_41");
    auto full = connectClient();
    EXPECT_EQ(full->signOn("7_12_42"), "@error;groupfull");
    auto other = signedOn("8_1", "8_1");
    auto fifth = signedOn("9_1", "9_1");
    auto sixth = connectClient();
    EXPECT_EQ(sixth->signOn("10_1"), "@error;addressfull");
}

TEST_F(RelayHubTest, SignedOnClientGetsErrorsForStrayCommandsAndStaysOnLine) {
    auto teacher = signedOn("7_12", "7_12");
    teacher->send("");
    teacher->send("c;7_13;vorelitambu");
    EXPECT_EQ(teacher->nextLine(), "@error;alreadysignedon");
    teacher->send("@whatever;1");
    EXPECT_EQ(teacher->nextLine(), "@error;unknowncommand");
    expectNothingElse(*teacher, "7_12");
}

TEST_F(RelayHubTest, ConnectionThatDoesNotSignOnInTimeIsClosed) {
    hub.setSignOnTimeout(100);
    auto silent = connectClient();
    EXPECT_EQ(silent->nextLine(), "@error;signontimeout");
    EXPECT_TRUE(silent->waitClosed());
}

// A client that floods another which stops reading is cut off; the one that stopped reading
// (perhaps only slow) keeps its connection.
TEST_F(RelayHubTest, AFloodIntoAClientThatStopsReadingCutsTheSender) {
    hub.setMaxPendingOutput(64 * 1024);
    auto teacher = signedOn("7_12", "7_12");
    auto student = signedOn("7_12_40", "7_12;7_12_40");
    teacher->nextLine();
    // The teacher's socket takes in no more than a few bytes from now on.
    teacher->socket().setReadBufferSize(16);

    const QByteArray say = "@sayclient;7_12;@chatmsg;" + QByteArray(8000, 'm');
    QByteArray line;
    // Loopback buffers hold a few megabytes; 40 MB is far beyond them.
    for (int sent = 0; sent < 5000 && !line.startsWith("@error"); ++sent) {
        student->send(say);
        line = student->nextLine();
    }
    EXPECT_EQ(line, "@error;flood");
    EXPECT_TRUE(student->waitClosed());
    EXPECT_EQ(hub.onlineClientIds(), QStringList({"7_12"}));
}

TEST_F(RelayHubTest, ListenFailuresAreReported) {
    RelayHub second;
    EXPECT_FALSE(second.listen(QHostAddress::LocalHost, hub.serverPort()));
    EXPECT_FALSE(second.errorString().isEmpty());
    EXPECT_FALSE(hub.listen(QHostAddress::LocalHost, 0));
    EXPECT_FALSE(second.listenTls(QHostAddress::LocalHost, 0, QSslConfiguration()));
    EXPECT_EQ(second.tlsServerPort(), 0);
}
