// Request runner over real loopback exchanges: what goes on the wire and how replies are
// judged.
#include "base/session.h"
#include "loopbackhttpserver.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "net/requestaddress.h"
#include "net/requestrunner.h"
#include "net/settings/settings.h"
#include "net/transferobserver.h"
#include "scriptedseam.h"
#include "testcertificate.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kPath = QStringLiteral("/tellavo/client.php");

class RequestExchange : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.start());
        Settings() = AppSettings();
        Settings().useSsl = false;
        CurrentConnectionTarget() = {server.hostAndPort(), kPath};
        SessionValues().setText(QStringLiteral("sesid=S1"));
    }
    void TearDown() override {
        SessionValues().clear();
        Settings() = AppSettings();
        CurrentConnectionTarget() = {};
    }
    RequestOutcome send(const QString &action, const QByteArray &data, bool withoutSession = false,
                        TransferObserver *observer = nullptr) {
        return runner.run({QString(), action, data, false, withoutSession}, observer, true);
    }
    void answer(const LoopbackReply &reply) { server.replies.enqueue(reply); }

    ScriptedSeam seam; // first: the runner reads the seam's clock when it is created
    LoopbackHttpServer server;
    RequestRunner runner;
};

TEST_F(RequestExchange, AddressesHeadersAndConnectionsOnTheWire) {
    server.keepAlive = true; // the client still opens a new connection for every request
    struct Case {
        QString action;
        QByteArray data;
        bool withoutSession;
        QByteArray method, target, body;
    } const cases[] = {
        {"login", "user=x&pass=y", true, "POST", "/tellavo/client.php?action=login",
         "user=x&pass=y"},
        {"logout", "", false, "GET", "/tellavo/client.php?PHPSESSID=S1&action=logout&", ""},
        {RawDownloadAction(), "/upd/update.exe", false, "GET", "/upd/update.exe", ""},
        {"getbookfile", "bookid=1&fileid=2", false, "POST",
         "/tellavo/client.php?PHPSESSID=S1&action=getbookfile", "bookid=1&fileid=2"},
    };
    for (const Case &c : cases) {
        LoopbackReply reply;
        reply.headers = {{"Set-Cookie", "PHPSESSID=fromcookie; path=/"}};
        answer(reply);
        EXPECT_EQ(send(c.action, c.data, c.withoutSession).result, 0);
    }
    ASSERT_EQ(server.received.size(), 4);
    QSet<int> connections;
    for (int i = 0; i < 4; ++i) {
        const LoopbackRequest &r = server.received[i];
        SCOPED_TRACE(r.target.constData());
        EXPECT_EQ(r.method, cases[i].method);
        EXPECT_EQ(r.target, cases[i].target);
        EXPECT_EQ(r.body, cases[i].body);
        EXPECT_EQ(r.header("Accept"), "text/html, */*");
        EXPECT_EQ(r.header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_FALSE(r.hasHeader("Cookie"));
        EXPECT_EQ(r.header("Content-Type"),
                  r.method == "POST" ? "application/x-www-form-urlencoded" : "");
        connections.insert(r.connection);
    }
    EXPECT_EQ(connections.size(), 4);
}

TEST_F(RequestExchange, FormValuesAreTransportEncoded) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"a=1&b=", "a=1&b="},
        {"p=50%", "p=50%25"},
        {"user=" + FormEncode(QString::fromUtf8("Jan Nový").toUtf8()), "user=Jan+Nov%25C3%25BD"},
    };
    for (const auto &[data, wire] : cases) {
        send(QStringLiteral("changepass"), data);
        ASSERT_FALSE(server.received.isEmpty());
        EXPECT_EQ(server.received.last().body, wire);
    }
}

TEST_F(RequestExchange, RepliesAreJudgedIntoResultCodes) {
    struct Case {
        int status;
        QByteArray body;
        int result;
        QByteArray reply;
        bool errorPrefix;
    } const cases[] = {
        {200, "ok123", 0, "ok123", false},
        {200, "errorBad name", -3, "Bad name", true},
        {200, "", -3, "", false},
        {200, "nothing", -3, "nothing", false},
        {200, "oksesid=X1endsesidok", 0, "oksesid=X1endsesidok", false}, // no renewal due
        {203, "errorSession", -203, "Session", true},
        {203, "ok", -203, "ok", false},
        {201, "ok", -201, "ok", false},
        {302, "moved", -302, "moved", false},
        {404, "error not found", -1, "", false},
        {500, "ok", -1, "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.status);
        LoopbackReply reply;
        reply.status = c.status;
        reply.body = c.body;
        if (c.status == 302)
            reply.headers = {{"Location", "/elsewhere"}};
        answer(reply);
        const RequestOutcome outcome = send(QStringLiteral("logout"), "");
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.reply, c.reply);
        EXPECT_EQ(outcome.errorPrefix, c.errorPrefix);
    }
    EXPECT_EQ(server.received.size(), std::size(cases)); // the redirect was not followed
}

TEST_F(RequestExchange, BrokenExchangesFailWithAnEmptyReply) {
    // The connection breaks after a part of the reply; then it closes without any reply (on
    // every attempt: the transport tries an unanswered request once more by itself).
    server.handler = [](const LoopbackRequest &) {
        LoopbackReply reset;
        reset.body = "ok" + QByteArray(100000, 'x');
        reset.resetAfter = 1000;
        return reset;
    };
    RequestOutcome outcome = send(QStringLiteral("logout"), "");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_TRUE(outcome.reply.isEmpty());
    server.handler = [](const LoopbackRequest &) {
        LoopbackReply dropped;
        dropped.closeWithoutReply = true;
        return dropped;
    };
    outcome = send(QStringLiteral("logout"), "");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_TRUE(outcome.reply.isEmpty());

    const quint16 port = server.port();
    server.stop();
    CurrentConnectionTarget().server = QStringLiteral("127.0.0.1:%1").arg(port);
    outcome = send(QStringLiteral("logout"), "");
    EXPECT_EQ(outcome.result, -1);
    EXPECT_EQ(outcome.failure, NetworkFailure::Refused);
    EXPECT_FALSE(outcome.detail.isEmpty());   // the transport's words, for the second line
    CurrentConnectionTarget().server.clear(); // no server configured at all
    EXPECT_EQ(send(QStringLiteral("logout"), "").result, -1);
}

// Cancels the running request as soon as a part of the reply has arrived.
class CancelOnProgress : public TransferObserver {
public:
    explicit CancelOnProgress(RequestRunner &runner) : m_runner(runner) {}
    void connected() override {}
    void transferBegins(qint64 total, bool sending) override {
        if (!sending)
            receivingTotal = total;
    }
    void transferProgress(qint64 count) override {
        if (receivingTotal > 0 && count > 0 && !cancelledAt) {
            cancelledAt = count;
            m_runner.cancel();
        }
    }
    void transferEnds(bool) override {}
    qint64 receivingTotal = 0;
    qint64 cancelledAt = 0;

private:
    RequestRunner &m_runner;
};

TEST_F(RequestExchange, CancelDuringTransferGivesCancelledWithEmptyReply) {
    LoopbackReply slow;
    slow.body = "ok" + QByteArray(400000, 'x');
    slow.chunkSize = 4096;
    slow.chunkDelayMs = 5;
    answer(slow);
    const QDateTime before = runner.lastExchange();
    seam.clock = seam.clock.addSecs(60);
    CancelOnProgress observer(runner);
    const RequestOutcome outcome =
        send(QStringLiteral("getbookfile"), "bookid=1", false, &observer);
    EXPECT_EQ(outcome.result, -2);
    EXPECT_TRUE(outcome.reply.isEmpty());
    EXPECT_EQ(observer.receivingTotal, slow.body.size());
    EXPECT_GT(observer.cancelledAt, 0);
    EXPECT_LT(observer.cancelledAt, slow.body.size());
    EXPECT_EQ(runner.lastExchange(), before); // a cancelled exchange did not complete
}

TEST_F(RequestExchange, SessionRenewalOnlyAfterMoreThanTwentyMinutes) {
    struct Case {
        int minutesLater;
        QString action;
        bool withoutSession;
        int status;
        QByteArray body;
        int result;
        QByteArray reply;
        QString sessionAfter;
    } const cases[] = {
        {25, "logout", false, 200, "oksesid=A2endsesidok data", 0, "ok data", "A2"},
        {5, "logout", false, 200, "oksesid=B3endsesidok data", 0, "oksesid=B3endsesidok data",
         "A2"},
        {20, "logout", false, 200, "oksesid=B3endsesidok", 0, "oksesid=B3endsesidok", "A2"},
        {25, "login", true, 200, "oksesid=B3endsesidok", 0, "oksesid=B3endsesidok", "A2"},
        {25, RawDownloadAction(), false, 200, "oksesid=B3endsesidok", 0, "oksesid=B3endsesidok",
         "A2"},
        // A renewal cut short is a broken reply, not a success.
        {21, "logout", false, 200, "oksesid=C4", -3, "oksesid=C4", "A2"},
        {21, "logout", false, 200, "oksesid=", -3, "oksesid=", "A2"},
        // A failed exchange does not count as completed ...
        {21, "logout", false, 500, "oksesid=C4endsesidok", -1, "", "A2"},
        // ... so 26 minutes after the last completed one the renewal is looked for again.
        {5, "logout", false, 200, "oksesid=C4endsesidok more", 0, "ok more", "C4"},
        // The server may renew and refuse in one reply.
        {25, "logout", false, 200, "oksesid=D5endsesiderrorNo", -3, "No", "D5"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body.constData());
        seam.clock = seam.clock.addSecs(c.minutesLater * 60);
        LoopbackReply reply;
        reply.status = c.status;
        reply.body = c.body;
        answer(reply);
        const QByteArray data = c.withoutSession ? "user=x" : "";
        const RequestOutcome outcome = send(c.action, data, c.withoutSession);
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.reply, c.reply);
        EXPECT_EQ(SessionValues().value(u"sesid"), c.sessionAfter);
    }
    // The renewed id travels with the next request.
    send(QStringLiteral("logout"), "");
    EXPECT_TRUE(server.received.last().target.contains("PHPSESSID=D5&"));
}

TEST_F(RequestExchange, OkzipPayloadsInflate) {
    QByteArray packet;
    for (int i = 0; i < 500; ++i)
        packet += "<ROW IDCOURSE=\"" + QByteArray::number(i) + "\"/>";
    LoopbackReply zipped;
    zipped.body = "okzip" + CompressText(packet, 9);
    answer(zipped);
    LoopbackReply damaged;
    damaged.body = "okzip" + CompressText(packet, 9).left(100);
    answer(damaged);

    const RequestOutcome good = send(QStringLiteral("getchatfile"), "aiduser=3");
    ASSERT_EQ(good.result, 0);
    EXPECT_EQ(ReplyPayload(good.reply), packet);
    const RequestOutcome bad = send(QStringLiteral("getchatfile"), "aiduser=3");
    ASSERT_EQ(bad.result, 0);
    EXPECT_FALSE(ReplyPayload(bad.reply).has_value());
    EXPECT_TRUE(DecompressText(bad.reply.mid(5)).isEmpty());
}

TEST_F(RequestExchange, ProxyWithBasicAuthentication) {
    // A tiny proxy that demands basic authentication and answers in place of the server.
    LoopbackHttpServer proxy;
    ASSERT_TRUE(proxy.start());
    const QByteArray expected = "Basic " + QByteArray("tom:s3cr et").toBase64();
    proxy.handler = [&](const LoopbackRequest &request) {
        LoopbackReply reply;
        if (request.header("Proxy-Authorization") == expected) {
            reply.body = "okvia proxy";
        } else {
            reply.status = 407;
            reply.body = "denied";
            reply.headers = {{"Proxy-Authenticate", "Basic realm=\"test\""}};
        }
        return reply;
    };
    CurrentConnectionTarget().server = QStringLiteral("central.invalid");
    AppSettings &s = Settings();
    s.proxyUse = true;
    s.proxyServer = QStringLiteral("127.0.0.1");
    s.proxyPort = QString::number(proxy.port());
    s.proxyAuthentication = true;
    s.proxyName = QStringLiteral("tom");
    s.proxyPass = QStringLiteral("s3cr et");

    const RequestOutcome outcome = send(QStringLiteral("logout"), "");
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.reply, "okvia proxy");
    ASSERT_FALSE(proxy.received.isEmpty());
    EXPECT_EQ(proxy.received.last().target,
              "http://central.invalid:80/tellavo/client.php?PHPSESSID=S1&action=logout&");
    EXPECT_EQ(proxy.received.last().header("Proxy-Authorization"), expected);
    EXPECT_TRUE(server.received.isEmpty());

    s.proxyPass = QStringLiteral("wrong");
    EXPECT_EQ(send(QStringLiteral("logout"), "").result, -1);
    s.proxyPass = QStringLiteral("s3cr et");
    s.proxyPort = QStringLiteral("no number"); // port 0: no connection
    EXPECT_EQ(send(QStringLiteral("logout"), "").result, -1);
}

TEST_F(RequestExchange, HttpsVerifiesTheServerCertificate) {
    QTemporaryDir folder;
    const TestCertificate certificate = MakeSelfSignedCertificate(folder.path());
    ASSERT_FALSE(certificate.isNull());
    LoopbackHttpServer tls;
    ASSERT_TRUE(tls.startTls(certificate.certificate, certificate.key));
    Settings().useSsl = true;
    CurrentConnectionTarget().server = tls.hostAndPort();
    struct Case {
        bool verify;
        QString caFile;
        int result;
        NetworkFailure failure;
    } const cases[] = {
        {true, QString(), -1, NetworkFailure::Certificate},
        {true, certificate.certificateFile, 0, NetworkFailure::None},
        {true, folder.filePath(QStringLiteral("missing.pem")), -1, NetworkFailure::Certificate},
        {false, QString(), 0, NetworkFailure::None},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caFile.toStdString());
        Settings().tlsVerify = c.verify;
        Settings().caFile = c.caFile;
        const RequestOutcome outcome = send(QStringLiteral("logout"), "");
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.failure, c.failure);
    }
    ASSERT_EQ(tls.received.size(), 2);
    EXPECT_EQ(tls.received.last().target, "/tellavo/client.php?PHPSESSID=S1&action=logout&");
}

} // namespace
