// The relay's tie to the central server's sessions: what proves a sign-on, whom a student may
// join, and that a lesson ends with the sign-in it belongs to.
#include "server/centralserver.h"
#include "serverharness.h"

#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

// A raw relay connection that signs on and reads the relay's lines.
class RelaySocket {
public:
    RelaySocket(quint16 port, const QHostAddress &from = {}) {
        if (!from.isNull())
            m_socket.bind(from);
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        EXPECT_TRUE(m_socket.waitForConnected(5000));
    }
    // Sends the sign-on (with the token when one is given) and gives the answer.
    QByteArray signOn(const QByteArray &id, const QByteArray &token = {}) {
        m_socket.write("c;" + id + ";vorelitambu" + (token.isEmpty() ? "" : ";" + token) +
                       "\r\n");
        return nextLine();
    }
    // The next line without its CR LF; empty when none came within five seconds.
    QByteArray nextLine() {
        while (!m_received.contains('\n') && m_socket.waitForReadyRead(5000))
            m_received += m_socket.readAll();
        const qsizetype end = m_received.indexOf('\n');
        if (end < 0)
            return {};
        const QByteArray line = m_received.left(end).chopped(1);
        m_received.remove(0, end + 1);
        return line;
    }
    // Reads lines until the given one comes; false when the connection ends first.
    bool waitFor(const QByteArray &wanted) {
        for (QByteArray line = nextLine(); !line.isEmpty(); line = nextLine())
            if (line == wanted)
                return true;
        return false;
    }
    bool waitClosed() {
        while (m_socket.state() == QAbstractSocket::ConnectedState)
            if (!m_socket.waitForReadyRead(5000))
                break;
        return m_socket.state() != QAbstractSocket::ConnectedState;
    }
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }

private:
    QTcpSocket m_socket;
    QByteArray m_received;
};

// The demo school with a relay on every loopback address.
class ServerRelay : public testing::Test {
protected:
    explicit ServerRelay(bool byAddress = false)
        : server([byAddress](ServerOptions &o) {
              o.relay << ParseListenAddress(QStringLiteral("0.0.0.0:0"));
              o.relaySignOnByAddress = byAddress;
          }) {
        server.onServer([&](CentralServer &s) { port = s.relayPort(); });
    }

    // A relay token for the session, as the lesson client asks for it.
    QByteArray token(const QString &session) {
        const HttpReply reply = server.post("relaytoken", {}, session);
        EXPECT_TRUE(reply.body.startsWith("ok")) << reply.body.toStdString();
        return reply.body.mid(2);
    }

    ServerHarness server;
    quint16 port = 0;
};

class ServerRelayByAddress : public ServerRelay {
protected:
    ServerRelayByAddress() : ServerRelay(true) {}
};

} // namespace

TEST_F(ServerRelay, ASignOnIsProvedByAFreshTokenOfTheUsersOwnSession) {
    const QString teacher = server.signIn("lektor");
    const QString student = server.signIn("klient");
    const QByteArray teacherToken = token(teacher);

    // Neither an address nor a session proves anything without a token.
    EXPECT_EQ(RelaySocket(port).signOn("2_4"), "@error;tokenrequired");
    // A student joins only a teacher who is on line.
    EXPECT_EQ(RelaySocket(port).signOn("2_4_7", token(student)), "@error;teacheroffline");

    RelaySocket lesson(port);
    ASSERT_EQ(lesson.signOn("2_4", teacherToken), "@loginok;2_4");

    QByteArray forged = token(student);
    forged[forged.size() - 1] = forged.back() == '0' ? '1' : '0';
    const QByteArray expiring = token(student);
    struct Case {
        const char *what;
        QByteArray id, token, answer;
    };
    const QList<Case> cases{
        {"used once already", "2_4", teacherToken, "@error;badtoken"},
        {"forged", "2_4_7", forged, "@error;badtoken"},
        {"made up", "2_4_7", "1-99999999999-0000000000000000-00000000000000000000000000000000", "@error;badtoken"},
        {"another student's id", "2_4_8", token(student), "@error;notyourid"},
        {"the teacher's id", "2_4", token(student), "@error;notyourid"},
        {"another job", "3_4_7", token(student), "@error;notyourid"},
        {"a student's id for the teacher", "2_4_4", token(teacher), "@error;notyourid"},
        {"not a token", "2_4_7", "abc;def", "@error;badkey"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(RelaySocket(port).signOn(c.id, c.token), c.answer) << c.what;

    server.advanceClock(SessionStore::RelayTokenSeconds + 1);
    EXPECT_EQ(RelaySocket(port).signOn("2_4_7", expiring), "@error;badtoken") << "expired";
    EXPECT_EQ(RelaySocket(port).signOn("2_4_7", token(student)), "@loginok;2_4_7");
    EXPECT_TRUE(lesson.isOpen());
}

// With a token the student comes back from a new network and replaces his old connection;
// without one an id on line is not taken over from another address.
TEST_F(ServerRelay, ATokenLetsTheOwnerComeBackFromAnotherAddress) {
    const QString teacher = server.signIn("lektor");
    const QString student = server.signIn("klient");
    RelaySocket lesson(port);
    ASSERT_EQ(lesson.signOn("2_4", token(teacher)), "@loginok;2_4");
    RelaySocket before(port);
    ASSERT_EQ(before.signOn("2_4_7", token(student)), "@loginok;2_4_7");

    RelaySocket after(port, QHostAddress(QStringLiteral("127.0.0.2")));
    EXPECT_EQ(after.signOn("2_4_7", token(student)), "@loginok;2_4_7");
    EXPECT_TRUE(before.waitFor("@error;replaced"));
    EXPECT_TRUE(lesson.isOpen());
}

// Signing out, a new password or a switched-off account ends the relay connections of the
// sign-ins that ended, and only those.
TEST_F(ServerRelay, EndingASignInEndsItsRelayConnections) {
    const QString teacher = server.signIn("lektor");
    const QString student = server.signIn("klient");
    RelaySocket lesson(port);
    ASSERT_EQ(lesson.signOn("2_4", token(teacher)), "@loginok;2_4");
    RelaySocket pupil(port);
    ASSERT_EQ(pupil.signOn("2_4_7", token(student)), "@loginok;2_4_7");
    ASSERT_TRUE(lesson.waitFor("@listactiveusers;2_4;2_4_7"));

    EXPECT_TRUE(server.post("logout", {}, student).body.startsWith("ok"));
    EXPECT_TRUE(pupil.waitFor("@error;signedout"));
    EXPECT_TRUE(pupil.waitClosed());
    EXPECT_TRUE(lesson.waitFor("@listactiveusers;2_4"));
    EXPECT_TRUE(lesson.isOpen());

    // A token of the ended session proves nothing any more.
    const QString again = server.signIn("klient");
    const QByteArray stale = token(again);
    EXPECT_TRUE(server.post("logout", {}, again).body.startsWith("ok"));
    EXPECT_EQ(RelaySocket(port).signOn("2_4_7", stale), "@error;badtoken");
}

// The clients before tokens, where the server is told to take them: a live session of the
// user used from the same address proves the sign-on.
TEST_F(ServerRelayByAddress, WithoutATokenALiveSessionFromTheSameAddressProvesASignOn) {
    EXPECT_EQ(RelaySocket(port).signOn("2_4"), "@error;nosession");
    server.signIn("lektor");
    server.signIn("klient");
    RelaySocket lesson(port);
    ASSERT_EQ(lesson.signOn("2_4"), "@loginok;2_4");
    EXPECT_EQ(RelaySocket(port).signOn("2_4_7"), "@loginok;2_4_7");
    struct Case {
        QByteArray id;
        const char *from;
    };
    for (const Case &c :
         {Case{"2_4", "127.0.0.2"}, Case{"2_5", "127.0.0.1"}, Case{"2_4_8", "127.0.0.1"},
          Case{"3_4", "127.0.0.1"}, Case{"2_7", "127.0.0.1"}})
        EXPECT_EQ(RelaySocket(port, QHostAddress(QString::fromLatin1(c.from))).signOn(c.id),
                  "@error;nosession")
            << c.id.toStdString() << " from " << c.from;
    EXPECT_TRUE(lesson.isOpen()); // not taken over
}
