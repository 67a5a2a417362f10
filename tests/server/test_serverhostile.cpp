// Requests an attacker sends on loopback, and a database that goes away: each ends in a clear
// refusal, never in the end of the server, and the server carries on by itself afterwards;
// and the log lines that tell an administrator what was refused and why.
#include "server/centralserver.h"
#include "serverharness.h"
#include "tcpgate.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMutex>
#include <QTcpSocket>
#include <QUrl>
#include <algorithm>
#include <QDeadlineTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

std::unique_ptr<QTcpSocket> Connect(quint16 port) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket->waitForConnected(5000));
    return socket;
}

// Sends a request in pieces, each one out on the wire before the next is written, so that the
// server may see the head before its end arrives.
void SendInPieces(QTcpSocket &socket, const QList<QByteArray> &pieces) {
    for (const QByteArray &piece : pieces) {
        socket.write(piece);
        socket.waitForBytesWritten(1000);
        socket.waitForReadyRead(150); // gives the server its turn to read
    }
}

// Everything the server sent until it closed or went quiet.
QByteArray ReadAll(QTcpSocket &socket, int quietMs = 1500) {
    QByteArray data = socket.readAll();
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(quietMs))
        data += socket.readAll();
    return data + socket.readAll();
}

// The relay's answer to one sign-on over a raw socket.
QByteArray RelaySignOn(quint16 port, const QByteArray &id) {
    auto socket = Connect(port);
    socket->write("c;" + id + ";vorelitambu\r\n");
    QByteArray answer;
    while (!answer.contains('\n') && socket->waitForReadyRead(5000))
        answer += socket->readAll();
    return answer.left(answer.indexOf('\r'));
}

QByteArray PostHead(const QByteArray &target, const QByteArray &extra) {
    return "POST /tellavo/client.php?" + target + " HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n";
}

} // namespace

TEST(HostileRequests, ASessionIdThatCannotBeLookedUpIsRefusedNotFatal) {
    ServerHarness server;
    for (const QByteArray &id :
         {QByteArray("%00abc"), QByteArray("%00"), QByteArray("%FF%FE"), QByteArray(5000, 'a')}) {
        auto socket = Connect(server.httpPort());
        socket->write(PostHead("PHPSESSID=" + id + "&action=postchatfile",
                               "Content-Type: application/x-www-form-urlencoded\r\n"
                               "Content-Length: 100000\r\n"));
        EXPECT_TRUE(ReadAll(*socket).startsWith("HTTP/1.1 203")) << id.left(20).toStdString();
        EXPECT_EQ(server.post("logout", {}, QString::fromLatin1(id)).status, 203);
    }
    EXPECT_EQ(server.get("/tellavo/update.exe").status, 200); // still serving
}

// Every body is judged by its head, however the head arrives: in one piece, its request line
// alone first, or behind an earlier request on the same connection.
TEST(HostileRequests, BodiesAreJudgedBeforeTheyAreReadWhateverTheirFraming) {
    ServerHarness server;
    const QByteArray session = server.signIn("klient").toLatin1();
    const QByteArray large = "Content-Length: 1000000\r\n";
    const QByteArray chunked = "Transfer-Encoding: chunked\r\n";
    const QByteArray chatPost = "action=postchatfile";
    const QByteArray small = "GET /tellavo/client.php?PHPSESSID=" + session +
                             "&action=getchatfile&aiduser=4& "
                             "HTTP/1.1\r\nHost: x\r\n\r\n";
    struct Case {
        const char *what;
        QList<QByteArray> pieces;
        QByteArray expected;
    };
    const QList<Case> cases{
        {"large anonymous body, request line first",
         {"POST /tellavo/client.php?" + chatPost + " HTTP/1.1\r\n", "Host: x\r\n" + large + "\r\n",
          "chatdata=" + QByteArray(200000, 'x')},
         "HTTP/1.1 203"},
        {"large anonymous body behind a served request",
         {small, "POST /tellavo/client.php?" + chatPost + " HTTP/1.1\r\nHost: x\r\n",
          large + "\r\n", QByteArray(200000, 'x')},
         "HTTP/1.1 203"},
        {"chunked anonymous body, in pieces",
         {"POST /tellavo/client.php?" + chatPost + " HTTP/1.1\r\nHost: x\r\n", chunked + "\r\n",
          "10000\r\n" + QByteArray(65536, 'x')},
         "HTTP/1.1 411"},
        {"chunked body of a live session",
         {PostHead("PHPSESSID=" + session + '&' + chatPost, chunked), "5\r\nhello\r\n0\r\n\r\n"},
         "HTTP/1.1 411"},
    };
    for (const Case &c : cases) {
        auto socket = Connect(server.httpPort());
        SendInPieces(*socket, c.pieces);
        QByteArray replies = ReadAll(*socket);
        if (c.pieces.first() == small) {
            EXPECT_TRUE(replies.startsWith("HTTP/1.1 200")) << c.what;
            replies = replies.mid(replies.indexOf("HTTP/1.1", 1));
        }
        EXPECT_TRUE(replies.startsWith(c.expected))
            << c.what << ": " << replies.left(40).toStdString();
    }
    // A live session's large body is read and served.
    const QByteArray chat = "chatdata=" + QByteArray(100000, 'a');
    auto socket = Connect(server.httpPort());
    SendInPieces(*socket, {PostHead("PHPSESSID=" + session + '&' + chatPost,
                                    "Content-Type: application/x-www-form-urlencoded\r\n"
                                    "Content-Length: " +
                                        QByteArray::number(chat.size()) + "\r\n"),
                           chat});
    const QByteArray reply = ReadAll(*socket);
    EXPECT_TRUE(reply.startsWith("HTTP/1.1 200") && reply.endsWith("ok")) << reply.toStdString();
}

// PostgreSQL only: the database goes away behind a gate and comes back. Meanwhile requests, the
// sign-in and relay sign-ons are refused; afterwards everything works again without a restart.
TEST(HostileRequests, ADatabaseOutageGivesRefusalsAndTheServerReconnects) {
    if (!TestDatabase::UsesPostgres())
        GTEST_SKIP() << "the outage is one of PostgreSQL";
    std::unique_ptr<TcpGate> gate;
    ServerHarness server([&gate](ServerOptions &o) {
        QUrl url(o.databaseFile);
        gate = std::make_unique<TcpGate>(quint16(url.port()));
        url.setPort(gate->port());
        o.databaseFile = url.toString();
        o.relay << ParseListenAddress(QStringLiteral("127.0.0.1:0"));
        o.relaySignOnByAddress = true; // a sign-on that needs the sessions and nothing else
    });
    quint16 relay = 0;
    server.onServer([&](CentralServer &s) { relay = s.relayPort(); });
    const QString session = server.signIn("lektor");
    ASSERT_TRUE(server.fetch(session, "prov_timetable").startsWith("<?xml"));

    gate->close();
    const HttpReply during =
        server.post("mybasegetrecords&providername=prov_timetable", {}, session);
    EXPECT_EQ(during.status, 200);
    EXPECT_TRUE(during.body.startsWith("error")) << during.body.toStdString();
    EXPECT_FALSE(server.login("klient", "klient").body.startsWith("ok"));
    EXPECT_EQ(RelaySignOn(relay, "2_4"), "@error;nosession");
    auto socket = Connect(server.httpPort());
    socket->write(PostHead("PHPSESSID=" + session.toLatin1() + "&action=postchatfile",
                           "Content-Length: 100000\r\n"));
    EXPECT_TRUE(ReadAll(*socket).startsWith("HTTP/1.1 203"));

    gate->open();
    EXPECT_TRUE(server.fetch(session, "prov_timetable").startsWith("<?xml"));
    EXPECT_FALSE(server.signIn("klient").isEmpty());
    EXPECT_EQ(RelaySignOn(relay, "2_4"), "@loginok;2_4");
}

namespace {

// The log lines of the server's categories while it lives, from every thread.
class LogCapture {
public:
    LogCapture() {
        s_capture = this;
        QLoggingCategory::setFilterRules(QStringLiteral("tellavo.server.*.info=true"));
        m_previous = qInstallMessageHandler(&LogCapture::Handle);
    }
    ~LogCapture() {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
        s_capture = nullptr;
    }
    // The lines of a category that contain every one of the parts.
    QStringList lines(const char *category, const QStringList &parts) {
        QMutexLocker locker(&m_lock);
        QStringList found;
        for (const auto &line : m_lines) {
            const QString &text = line.second;
            if (line.first == category &&
                std::all_of(parts.cbegin(), parts.cend(),
                            [&](const QString &p) { return text.contains(p); }))
                found << text;
        }
        return found;
    }

private:
    static void Handle(QtMsgType, const QMessageLogContext &context, const QString &text) {
        if (!s_capture || !context.category ||
            !QByteArray(context.category).startsWith("tellavo.server"))
            return;
        QMutexLocker locker(&s_capture->m_lock);
        s_capture->m_lines.append({QByteArray(context.category), text});
    }

    static inline LogCapture *s_capture = nullptr;
    QtMessageHandler m_previous = nullptr;
    QMutex m_lock;
    QList<std::pair<QByteArray, QString>> m_lines;
};

} // namespace

// Requests, sign-ins, refusals and relay sign-ons leave one line each that says what and why.
TEST(ServerLog, RequestsSignInsRefusalsAndRelaySignOnsLeaveOneLineEach) {
    LogCapture log;
    ServerHarness server(
        [](ServerOptions &o) { o.relay << ParseListenAddress(QStringLiteral("127.0.0.1:0")); });
    quint16 relay = 0;
    server.onServer([&](CentralServer &s) { relay = s.relayPort(); });
    const QString session = server.signIn("novacek");
    EXPECT_EQ(server.login("novacek", "spatne").status, 203);
    server.post("posttestresult", "testresult=99", session);
    server.post("logout", {}, QStringLiteral("0123456789abcdef0123456789abcdef"));
    EXPECT_EQ(RelaySignOn(relay, "2_4"), "@error;tokenrequired");
    server.fetch(session, "prov_timetable");

    EXPECT_EQ(log.lines("tellavo.server.signin", {"name=novacek", "user=8", "accepted"}).size(), 1);
    EXPECT_EQ(log.lines("tellavo.server.signin", {"name=novacek", "refused"}).size(), 1);
    EXPECT_EQ(log.lines("tellavo.server.refusal",
                        {"action=posttestresult", "user=8", "reason=Neplatný výsledek testu"})
                  .size(),
              1);
    EXPECT_EQ(log.lines("tellavo.server.refusal", {"action=logout", "no live session"}).size(), 1);
    EXPECT_EQ(log.lines("tellavo.server.relay", {"id=2_4", "reason=tokenrequired"}).size(), 1);
    // A request's line is written once its reply has gone out, so the client may have the
    // reply a moment before the line exists: wait for it, within a bound.
    const QStringList fetched = {"action=mybasegetrecords", "user=8", "status=200", "ms="};
    for (QDeadlineTimer bound(10000);
         log.lines("tellavo.server.http", fetched).isEmpty() && !bound.hasExpired();)
        QThread::msleep(5);
    EXPECT_EQ(log.lines("tellavo.server.http", fetched).size(), 1);
    EXPECT_EQ(log.lines("tellavo.server.http", {"action=login", "status=203"}).size(), 1);
}
