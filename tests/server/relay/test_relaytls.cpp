#include "relayhub.h"
#include "relaytestclient.h"

#include <QFile>
#include <QProcess>
#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A self-signed certificate and key made for this run with the openssl command.
QSslConfiguration MakeServerConfiguration(const QString &folder) {
    const QString keyFile = folder + "/key.pem";
    const QString certFile = folder + "/cert.pem";
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt",
                              "ec_paramgen_curve:prime256v1", "-nodes", "-keyout", keyFile, "-out",
                              certFile, "-days", "1", "-subj", "/CN=127.0.0.1"});
    if (!openssl.waitForFinished(30000) || openssl.exitCode() != 0) {
        ADD_FAILURE() << "openssl failed: " << openssl.readAllStandardError().toStdString();
        return {};
    }
    QFile key(keyFile), cert(certFile);
    if (!key.open(QIODevice::ReadOnly) || !cert.open(QIODevice::ReadOnly))
        return {};
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(QSslCertificate(&cert, QSsl::Pem));
    configuration.setPrivateKey(QSslKey(&key, QSsl::Ec, QSsl::Pem));
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

} // namespace

TEST(RelayHubTls, TlsAndClearClientsTalkThroughOneHub) {
    EnsureCoreApplication();
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QSslConfiguration configuration = MakeServerConfiguration(folder.path());
    ASSERT_FALSE(configuration.privateKey().isNull());

    RelayHub hub;
    ASSERT_TRUE(hub.listen(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(hub.listenTls(QHostAddress::LocalHost, 0, configuration))
        << hub.errorString().toStdString();
    ASSERT_NE(hub.tlsServerPort(), hub.serverPort());

    RelayTestClient teacher, student;
    ASSERT_TRUE(teacher.connectTls(hub.tlsServerPort()));
    EXPECT_EQ(teacher.signOn("7_12"), "@loginok;7_12");
    EXPECT_EQ(teacher.nextLine(), "@listactiveusers;7_12");

    ASSERT_TRUE(student.connectTo(hub.serverPort()));
    EXPECT_EQ(student.signOn("7_12_40"), "@loginok;7_12_40");
    EXPECT_EQ(student.nextLine(), "@listactiveusers;7_12;7_12_40");
    EXPECT_EQ(teacher.nextLine(), "@listactiveusers;7_12;7_12_40");

    const QByteArray chat("@chatmsg;A\0h\0o\0j\0|\0", 19);
    student.send("@sayclient;7_12;" + chat);
    EXPECT_EQ(teacher.nextLine(), "@clientsaid;7_12_40;" + chat);
    EXPECT_EQ(student.nextLine(), "@sayclient;7_12;" + chat + "OK");

    teacher.send("@sayclient;7_12_40;@syncaudio;3;1;2");
    EXPECT_EQ(student.nextLine(), "@clientsaid;7_12;@syncaudio;3;1;2");
    EXPECT_EQ(teacher.nextLine(), "@sayclient;7_12_40;@syncaudio;3;1;2OK");

    teacher.socket().disconnectFromHost();
    EXPECT_EQ(student.nextLine(), "@listactiveusers;7_12_40");
}
