// What keeps one client from stalling or misleading everyone else: bounded change sets and
// bodies, request deadlines, connection caps and HTTP connection handling.
#include "lang/textutil.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "server/centralserver.h"
#include "serverharness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A change-set packet of one integer key field and the given rows.
QByteArray KeyPacket(const QByteArray &rows) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><DATAPACKET "
           "Version=\"2.0\">"
           "<METADATA><FIELDS><FIELD attrname=\"IDUSER\" fieldtype=\"i4\"/></FIELDS><PARAMS/>"
           "</METADATA><ROWDATA>" +
           rows + "</ROWDATA></DATAPACKET>";
}

// A change-set packet that declares the key and many further fields.
QByteArray WidePacket(int fields, const QByteArray &rows) {
    QByteArray declared = "<FIELD attrname=\"IDUSER\" fieldtype=\"i4\"/>";
    for (int i = 1; i < fields; ++i)
        declared += "<FIELD attrname=\"F" + QByteArray::number(i) + "\" fieldtype=\"i4\"/>";
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><DATAPACKET "
           "Version=\"2.0\"><METADATA><FIELDS>" +
           declared + "</FIELDS><PARAMS/></METADATA><ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

// Modify pairs that change nothing: each is applied (and counted) without a write.
QByteArray UnchangedRows(int pairs) {
    QByteArray rows;
    for (int i = 0; i < pairs; ++i)
        rows += "<ROW RowState=\"1\" IDUSER=\"7\"/><ROW RowState=\"8\"/>";
    return rows;
}

std::unique_ptr<QTcpSocket> Connect(quint16 port, const QHostAddress &from = {}) {
    auto socket = std::make_unique<QTcpSocket>();
    if (!from.isNull())
        socket->bind(from);
    socket->connectToHost(QHostAddress::LocalHost, port);
    EXPECT_TRUE(socket->waitForConnected(5000));
    return socket;
}

// Waits until the server has closed the connection; false when it is still open after ms.
bool ClosedWithin(QTcpSocket &socket, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        if (socket.state() == QAbstractSocket::UnconnectedState)
            return true;
        socket.waitForReadyRead(50);
        socket.readAll();
    }
    return socket.state() == QAbstractSocket::UnconnectedState;
}

// Everything the server sent on the socket until it closed or went quiet.
QByteArray ReadAll(QTcpSocket &socket, int quietMs = 1500) {
    QByteArray data;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(quietMs))
        data += socket.readAll();
    return data + socket.readAll();
}


} // namespace

TEST(ServerLimits, ChangeSetsAreCheckedBeforeTheyAreRead) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const QString staff = server.signIn("reditel");
    // Rights first: a provider the user may not change refuses even a damaged change set.
    EXPECT_EQ(FromWin1250(server.apply(client, "prov_order", "garbage").body),
              QStringLiteral("errorNemáte oprávnění k této operaci."));
    EXPECT_EQ(server.apply(staff, "prov_user", KeyPacket(UnchangedRows(10))).body, "ok10|");
    EXPECT_EQ(server.apply(staff, "prov_user", WidePacket(100, UnchangedRows(10))).body, "ok10|");
    struct Case {
        const char *what;
        QByteArray packet;
    };
    const QList<Case> refused{
        {"too many rows", KeyPacket(UnchangedRows(3000))},
        {"inflates beyond the bound", KeyPacket(UnchangedRows(1) + QByteArray(5'000'000, ' '))},
        {"too many fields", WidePacket(300, UnchangedRows(1))},
        {"too many cells", WidePacket(150, UnchangedRows(2000))},
        {"fields hidden from a plain count",
         WidePacket(300, UnchangedRows(1)).replace("<FIELD attrname", "<FIELD\nattrname")},
    };
    for (const Case &c : refused)
        EXPECT_TRUE(server.apply(staff, "prov_user", c.packet).body.startsWith("error")) << c.what;
}

TEST(ServerLimits, BodiesAreReadOnlyForLiveSessionsAndWithFewFields) {
    ServerHarness server;
    // A large body without a session is answered as an unknown session before it is sent.
    auto socket = Connect(server.httpPort());
    socket->write("POST /tellavo/client.php?action=postchatfile HTTP/1.1\r\nHost: x\r\n"
                  "Content-Type: application/x-www-form-urlencoded\r\n"
                  "Content-Length: 1000000\r\n\r\nchatdata=");
    EXPECT_TRUE(ReadAll(*socket, 3000).startsWith("HTTP/1.1 203")) << "large anonymous body";
    // A signed-in user's body with more fields than any request has is refused.
    const QString session = server.signIn("novacek");
    QByteArray fields = "testresult=5";
    for (int i = 0; i < 1000; ++i)
        fields += "&f" + QByteArray::number(i) + "=1";
    EXPECT_TRUE(server.post("posttestresult", fields, session).body.startsWith("error"));
    EXPECT_EQ(server.post("posttestresult", "testresult=5", session).body, "ok");
}

TEST(ServerLimits, SlowRequestsMeetADeadlineAndAddressesACap) {
    ServerHarness server([](ServerOptions &o) {
        o.requestDeadlineSeconds = 2;
        o.maxConnectionsPerAddress = 3;
    });
    // A client that trickles its request byte by byte is cut off at the deadline.
    auto slow = Connect(server.httpPort());
    QElapsedTimer timer;
    timer.start();
    const QByteArray request = "GET /tellavo/client.php?action=logout&PHPSESSID=x HTTP/1.1\r\n";
    for (int i = 0; i < request.size() && slow->state() == QAbstractSocket::ConnectedState; ++i) {
        slow->write(request.mid(i, 1));
        slow->waitForBytesWritten(100);
        slow->waitForReadyRead(250);
    }
    EXPECT_TRUE(ClosedWithin(*slow, 1000));
    EXPECT_LT(timer.elapsed(), 8000); // cut off, not served after its last byte
    // Four idle connections from one address against a cap of three: one of them (request
    // threads take them in any order) is closed at once, the others stay.
    std::vector<std::unique_ptr<QTcpSocket>> idle;
    for (int i = 0; i < 4; ++i)
        idle.push_back(Connect(server.httpPort()));
    // Waits for the first one to close (a busy machine may take a while), then gives the
    // others the same chance to show that they stay.
    const auto closedCount = [&] {
        int closed = 0;
        for (const auto &socket : idle)
            closed += ClosedWithin(*socket, 50) ? 1 : 0;
        return closed;
    };
    QElapsedTimer waited;
    waited.start();
    while (closedCount() == 0 && waited.elapsed() < 10000) {
    }
    QThread::msleep(300);
    EXPECT_EQ(closedCount(), 1);
    for (const auto &socket : idle)
        socket->abort();
    // Once the server has seen them go, the address may connect again.
    int status = 0;
    for (waited.restart(); status != 200 && waited.elapsed() < 10000;)
        status = server.get("/tellavo/update.exe").status;
    EXPECT_EQ(status, 200);
}

TEST(ServerLimits, ConnectionsCloseWhenAskedAndRepliesDeclareTheirCharset) {
    ServerHarness server;
    QFile program(server.dataFolder() + "/update/update.exe");
    ASSERT_TRUE(program.open(QIODevice::ReadOnly));
    struct Case {
        const char *request;
        const char *expected; // in the reply head
        bool closes;
        bool body;
    };
    const QList<Case> cases{
        {"HEAD /tellavo/update.exe HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200", false, false},
        {"GET /tellavo/update.exe HTTP/1.0\r\n\r\n", "Connection: close", true, true},
        {"GET /tellavo/update.exe HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
         "Connection: close", true, true},
        {"GET /tellavo/update.exe HTTP/1.1\r\nHost: x\r\n\r\n", "HTTP/1.1 200", false, true},
        {"GET /tellavo/client.php?action=logout HTTP/1.1\r\nHost: x\r\n\r\n",
         "Content-Type: text/plain; charset=windows-1250", false, true},
    };
    for (const Case &c : cases) {
        auto socket = Connect(server.httpPort());
        socket->write(c.request);
        const QByteArray reply = ReadAll(*socket, 700);
        const qsizetype headEnd = reply.indexOf("\r\n\r\n");
        ASSERT_GT(headEnd, 0) << c.request;
        const QByteArray head = reply.left(headEnd);
        EXPECT_TRUE(head.contains(c.expected)) << c.request << head.toStdString();
        EXPECT_EQ(socket->state() == QAbstractSocket::UnconnectedState, c.closes) << c.request;
        if (QByteArray(c.request).startsWith("HEAD")) {
            EXPECT_TRUE(head.contains("Content-Length: " + QByteArray::number(program.size())));
            EXPECT_EQ(reply.size(), headEnd + 4);
        }
        if (c.body && head.contains(" 200 ")) {
            EXPECT_EQ(reply.mid(headEnd + 4), program.readAll()) << c.request;
        }
        program.seek(0);
    }
}

// A raw "login" request for a demo account, as the client sends it.
QByteArray LoginRequest(const QByteArray &user) {
    const QByteArray body = TransportEncodeForm(
        "user=" + user + "&pass=" + user +
        "&logintype=1&loginver=1.0.0.0&job=2&envlang=2&ssl=0&polling=0&booksver=1"
        "&skypever=&osver=test&proxy=0");
    return "POST /tellavo/client.php?action=login HTTP/1.1\r\nHost: x\r\n"
           "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

TEST(ServerLimits, SignInsGoFirstWhileRequestsOnOneConnectionKeepTheirOrder) {
    ServerHarness server([](ServerOptions &o) { o.threads = 1; });
    const QByteArray fetch =
        "GET /tellavo/client.php?PHPSESSID=" + server.signIn("klient").toLatin1() +
        "&action=mybasegetrecords&providername=prov_timetable& HTTP/1.1\r\n"
        "Host: x\r\n\r\n";
    // On one connection a fetch, the update program and a sign-in behind them are answered in
    // that order.
    {
        QFile program(server.dataFolder() + "/update/update.exe");
        ASSERT_TRUE(program.open(QIODevice::ReadOnly));
        auto socket = Connect(server.httpPort());
        socket->write(fetch + "GET /tellavo/update.exe HTTP/1.1\r\nHost: x\r\n\r\n" +
                      LoginRequest("manazer"));
        const QByteArray replies = ReadAll(*socket, 1000);
        EXPECT_EQ(replies.count("HTTP/1.1 200"), 3);
        const qsizetype fetched = replies.indexOf("okzip");
        const qsizetype downloaded = replies.indexOf(program.readAll());
        const qsizetype signedIn = replies.indexOf("okzip", fetched + 5);
        EXPECT_GE(fetched, 0);
        EXPECT_GT(downloaded, fetched);
        EXPECT_GT(signedIn, downloaded);
    }
    // A sign-in sent behind many fetches on other connections does not wait for all of them.
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    for (int i = 0; i < 24; ++i)
        sockets.push_back(Connect(server.httpPort()));
    for (int i = 0; i < 23; ++i)
        sockets[i]->write(fetch);
    sockets[23]->write(LoginRequest("manazer"));
    for (auto &socket : sockets)
        socket->flush();
    // Which connection hears first, looked at in turns much shorter than a request takes.
    QList<int> answered;
    QElapsedTimer timer;
    timer.start();
    while (answered.size() < 24 && timer.elapsed() < 20000) {
        for (int i = 0; i < 24; ++i) {
            if (!answered.contains(i) && sockets[i]->waitForReadyRead(0))
                answered << i;
        }
    }
    ASSERT_EQ(answered.size(), 24);
    EXPECT_LT(answered.indexOf(23), 18) << "the sign-in waited for the fetches";
}

// With a sign-in lane, sign-ins are answered from its threads, and the requests a connection
// sends behind its sign-in still get their replies in order.
TEST(ServerLimits, TheSignInLaneAnswersInTheConnectionsOrder) {
    ServerHarness server([](ServerOptions &o) {
        o.threads = 1;
        o.signInThreads = 2;
    });
    const QString session = server.signIn("klient");
    auto socket = Connect(server.httpPort());
    socket->write(LoginRequest("manazer") + "GET /tellavo/client.php?PHPSESSID=" +
                  session.toLatin1() +
                  "&action=mybasegetrecords&providername=prov_timetable& HTTP/1.1\r\n"
                  "Host: x\r\n\r\n" + LoginRequest("lektor"));
    const QByteArray replies = ReadAll(*socket, 1000);
    // The bodies in order; a sign-in's carries a session section, the fetch's does not.
    QList<bool> sessions;
    for (qsizetype at = 0; (at = replies.indexOf("Content-Length: ", at)) >= 0;) {
        const qsizetype length = replies.mid(at + 16, 12).split('\r').first().toLongLong();
        const qsizetype body = replies.indexOf("\r\n\r\n", at) + 4;
        sessions << SessionSection(DecompressText(replies.mid(body + 5, length - 5)))
                        .contains("sesid");
        at = body + length;
    }
    EXPECT_EQ(sessions, QList<bool>({true, false, true}));
}

