// The reference server's STUN/TURN servers for lesson calls: the options that set them, and
// the credential it hands out, checked by another program's HMAC and read back by the client.
#include "serverharness.h"

#include "errors/apperror.h"
#include "lesson/call/iceservers.h"

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr char Secret[] = "t0p-secret;with=odd chars";

// HMAC-SHA1 of the text with the key, base64, as openssl computes it.
QByteArray opensslHmac(const QByteArray &key, const QByteArray &text) {
    QProcess openssl;
    openssl.setProgram(QStringLiteral("sh"));
    openssl.setArguments({QStringLiteral("-c"),
                          QStringLiteral("openssl dgst -sha1 -binary -hmac \"$KEY\" | base64")});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("KEY"), QString::fromLatin1(key));
    openssl.setProcessEnvironment(environment);
    openssl.start();
    openssl.write(text);
    openssl.closeWriteChannel();
    openssl.waitForFinished(10000);
    return openssl.readAllStandardOutput().trimmed();
}

} // namespace

TEST(CallServers, AServerWithTurnHandsOutACredentialTheTurnServerCanCheck) {
    ServerHarness server([](ServerOptions &options) {
        options.stunAddresses = {QStringLiteral("stun:turn.skola.cz:3478")};
        options.turnAddresses = {QStringLiteral("turn:turn.skola.cz:3478?transport=udp"),
                                 QStringLiteral("turns:turn.skola.cz:5349")};
        options.turnSecret = Secret;
        options.turnTtlSeconds = 1800;
    });
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    const HttpReply reply = server.post("getcallservers", "", server.signIn("klient"));
    ASSERT_TRUE(reply.body.startsWith("ok")) << reply.body.constData();
    const IceServers servers = IceServers::fromReply(reply.body);
    EXPECT_EQ(servers.stun, QStringList{"stun:turn.skola.cz:3478"});
    EXPECT_EQ(servers.turn.size(), 2);
    EXPECT_EQ(servers.ttl, 1800);
    const QStringList parts = servers.username.split(u':');
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[1], QString::number(Demo::Client));
    // The server's clock is the test's: the expiry lies the lifetime ahead.
    EXPECT_NEAR(parts[0].toLongLong(), before + 1800, 120);
    if (QStandardPaths::findExecutable(QStringLiteral("openssl")).isEmpty())
        GTEST_SKIP() << "openssl is not installed";
    EXPECT_EQ(servers.credential.toLatin1(), opensslHmac(Secret, servers.username.toLatin1()));
}

TEST(CallServers, AServerWithoutTurnOrWithoutTheActionGivesNoTurn) {
    ServerHarness server;
    const QString session = server.signIn("lektor");
    const HttpReply reply = server.post("getcallservers", "", session);
    EXPECT_EQ(reply.body, "ok");
    EXPECT_FALSE(IceServers::fromReply(reply.body).hasTurn());
    // An older server answers an action it does not know with an error.
    const HttpReply unknown = server.post("getcallserverz", "", session);
    EXPECT_TRUE(unknown.body.startsWith("error"));
    const IceServers none = IceServers::fromReply(unknown.body);
    EXPECT_FALSE(none.hasTurn());
    EXPECT_TRUE(none.stun.isEmpty());
    // Without a session nothing is handed out.
    EXPECT_FALSE(server.post("getcallservers", "", QString()).body.startsWith("ok"));
}

TEST(CallServers, OptionsTakeSoundAddressesAndASecretFile) {
    QTemporaryDir dir;
    const QString secretFile = dir.filePath(QStringLiteral("turn.secret"));
    QFile file(secretFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s3cret\nsecond line ignored\n");
    file.close();
    const ServerOptions options = ParseServerOptions(
        {QStringLiteral("--stun"), QStringLiteral("stun:127.0.0.1:3478"), QStringLiteral("--turn"),
         QStringLiteral("turn:127.0.0.1:3478?transport=udp"), QStringLiteral("--turn-secret-file"),
         secretFile, QStringLiteral("--turn-ttl=120")});
    EXPECT_EQ(options.turnSecret, "s3cret");
    EXPECT_EQ(options.turnTtlSeconds, 120);
    EXPECT_EQ(options.turnAddresses.size(), 1);

    QFile empty(dir.filePath(QStringLiteral("empty")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    const QStringList refused[] = {
        {QStringLiteral("--turn"), QStringLiteral("http://127.0.0.1")},
        {QStringLiteral("--stun"), QStringLiteral("turn:127.0.0.1")},
        {QStringLiteral("--turn"), QStringLiteral("turn:a b")},
        {QStringLiteral("--turn"), QStringLiteral("turn:x\r\nusername=evil")},
        {QStringLiteral("--turn-secret-file"), dir.filePath(QStringLiteral("missing"))},
        {QStringLiteral("--turn-secret-file"), empty.fileName()},
    };
    for (const QStringList &arguments : refused)
        EXPECT_THROW(ParseServerOptions(arguments), AppError) << arguments.join(' ').toStdString();
}
