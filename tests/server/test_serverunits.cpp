// The server's parsing and security building blocks, tested without a network.
#include "errors/apperror.h"
#include "net/formencode.h"
#include "server/actions/bookcatalogue.h"
#include "server/actions/loginaction.h"
#include "server/actions/loginthrottle.h"
#include "server/http/formdata.h"
#include "server/ops/histogram.h"
#include "server/ops/metricstext.h"
#include "server/seed/zipwriter.h"
#include "server/serveroptions.h"
#include "server/store/passwordhash.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <functional>
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <zlib.h>

TEST(ServerOptions, ReadsAddressesAndValues) {
    const ServerOptions o =
        ParseServerOptions({"--db", "x.sqlite", "--seed", "demo", "--listen", "127.0.0.1:0",
                            "--tls-listen=[::1]:8443", "--relay", "127.0.0.1:7080", "--renew-after",
                            "60", "--min-version", "1.2.0.0", "--path", "/school/client.php"});
    EXPECT_EQ(o.databaseFile, "x.sqlite");
    ASSERT_EQ(o.listen.size(), 1);
    EXPECT_EQ(o.listen[0].port, 0);
    EXPECT_EQ(o.tlsListen[0].text(), "[::1]:8443");
    EXPECT_EQ(DefaultRelayHost(o), "127.0.0.1");
    EXPECT_EQ(o.renewAfterSeconds, 60);
    EXPECT_EQ(o.updateLink(), "/school/update.exe");
}

TEST(ServerOptions, RefusesMalformedCommandLines) {
    const QList<QStringList> bad{{"--listen", "127.0.0.1"},
                                 {"--listen", "host:99999"},
                                 {"--seed", "huge"},
                                 {"--renew-after", "-5"},
                                 {"--path", "no-slash"},
                                 {"--bogus", "1"},
                                 {"--db"},
                                 {"--pbkdf2-iterations", "10"}};
    for (const QStringList &args : bad)
        EXPECT_THROW(ParseServerOptions(args), AppError) << args.join(' ').toStdString();
}

TEST(PasswordHash, VerifiesOnlyTheRightPasswordAndSaltsEachHash) {
    const HashCost cheap{64, 1, 1};
    using Make = std::function<QString(const QByteArray &)>;
    for (const Make &make : {Make([](const QByteArray &p) { return HashPassword(p, 1000); }),
                             Make([&](const QByteArray &p) { return HashPassword(p, cheap); })}) {
        const QString a = make("tajné heslo");
        EXPECT_NE(a, make("tajné heslo"));
        EXPECT_TRUE(VerifyPassword("tajné heslo", a));
        EXPECT_FALSE(VerifyPassword("tajne heslo", a));
        EXPECT_FALSE(VerifyPassword("", a));
        EXPECT_TRUE(VerifyPassword("", make("")));
        EXPECT_FALSE(VerifyPassword("tajné heslo", a.left(a.size() - 4)));
    }
    for (const QString &broken :
         {QString(), QString("plain"), QString("pbkdf2-sha256$x$aa$bb"),
          QString("pbkdf2-sha256$1000$$"), QString("$argon2id$v=19$m=99999999,t=1,p=1$aa$bb"),
          QString("$argon2i$v=19$m=64,t=1,p=1$YWFhYWFhYWE$YWFhYWFhYWE")})
        EXPECT_FALSE(VerifyPassword("tajné heslo", broken)) << broken.toStdString();
    // Every older-form hash and every cheaper Argon2id hash is due for replacement.
    EXPECT_TRUE(NeedsNewHash(HashPassword("x", 600000), cheap));
    EXPECT_TRUE(NeedsNewHash(HashPassword("x", HashCost{32, 1, 1}), cheap));
    EXPECT_FALSE(NeedsNewHash(HashPassword("x", cheap), cheap));
    EXPECT_FALSE(NeedsNewHash(HashPassword("x", HashCost{128, 2, 1}), cheap));
}

// Hashes are PBKDF2-HMAC-SHA256 exactly as OpenSSL computes it, for keys shorter than, as
// long as and longer than a SHA-256 block, and for one and many iterations.
TEST(PasswordHash, DerivesWhatOpenSslDerives) {
    const QByteArray salt = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    for (const QByteArray &password :
         {QByteArray(), QByteArray("heslo"), QString("tajné heslo ž").toUtf8(), QByteArray(64, 'k'),
          QByteArray(65, 'k'), QByteArray(200, '\xC3')}) {
        for (int iterations : {1, 2, 1000}) {
            unsigned char expected[32];
            ASSERT_EQ(PKCS5_PBKDF2_HMAC(password.constData(), int(password.size()),
                                        reinterpret_cast<const unsigned char *>(salt.constData()),
                                        int(salt.size()), iterations, EVP_sha256(), 32, expected),
                      1);
            const QString stored =
                QStringList{
                    "pbkdf2-sha256", QString::number(iterations),
                    QString::fromLatin1(salt.toBase64()),
                    QString::fromLatin1(
                        QByteArray(reinterpret_cast<const char *>(expected), 32).toBase64())}
                    .join('$');
            EXPECT_TRUE(VerifyPassword(password, stored))
                << password.size() << " bytes, " << iterations << " iterations";
            EXPECT_FALSE(VerifyPassword(password + "x", stored));
        }
    }
}

TEST(FormData, DecodesAsTheClientEncodes) {
    // The transport writes a blank as %20, so "+" is a literal plus; the first item wins.
    const FormFields f = ParseFormFields("a=1+2&b=50%25&c&d=x%3Dy&a=second&e=");
    EXPECT_EQ(f.value("a"), "1+2");
    EXPECT_EQ(f.value("b"), "50%");
    EXPECT_TRUE(f.contains("c"));
    EXPECT_EQ(f.value("d"), "x=y");
    EXPECT_TRUE(f.contains("e"));
    // A full-form-encoded name after the transport decoding: "Jan Nový".
    EXPECT_EQ(QString::fromUtf8(FullFormDecode("Jan+Nov%C3%BD")), QStringLiteral("Jan Nový"));
    EXPECT_EQ(FullFormDecode("a%2Bb"), "a+b");
}

TEST(FormData, RejoinsAValueTheClientSplitAtAmpersands) {
    // "a b & 50%+1=x&y" sent as "pass=" and the text: the transport splits it into items and
    // encodes only what follows each item's first "=".
    const QByteArray body = TransportEncodeForm("pass=a b & 50%+1=x&y");
    ASSERT_TRUE(body.startsWith("pass="));
    EXPECT_EQ(JoinTransportItems(body.mid(5)), "a b & 50%+1=x&y");
}

TEST(FormData, FindsMultipartFieldsAndRejectsBrokenBodies) {
    const QByteArray type = "multipart/form-data; boundary=\"XyZ\"";
    const QByteArray body =
        "--XyZ\r\nContent-Disposition: form-data; name=\"other\"\r\n\r\nno\r\n"
        "--XyZ\r\nContent-Disposition: form-data; name=\"deltaxml\"\r\n"
        "Content-Type: application/octet-stream\r\n\r\n\x01\r\n\x02\r\n--XyZ--\r\n";
    EXPECT_EQ(MultipartField(body, type, "deltaxml"), QByteArray("\x01\r\n\x02"));
    EXPECT_FALSE(MultipartField(body, type, "missing"));
    EXPECT_FALSE(MultipartField(body, "text/plain", "deltaxml"));
    EXPECT_FALSE(MultipartField(body.left(body.size() - 30), type, "deltaxml"));
    EXPECT_FALSE(MultipartField(body, "multipart/form-data", "deltaxml"));
}

TEST(LoginVersions, CompareNumberByNumber) {
    struct Case {
        const char *a, *b;
        int result;
    };
    for (const Case &c :
         {Case{"1.0.0.0", "1.0.0.0", 0}, Case{"1.0.0.9", "1.0.0.10", -1}, Case{"2.0", "1.9.9.9", 1},
          Case{"", "1.0.0.0", -1}, Case{"1.0", "1.0.0.0", 0}, Case{"x.1", "0.1", 0}})
        EXPECT_EQ(CompareVersions(c.a, c.b), c.result) << c.a << " vs " << c.b;
}

TEST(BookCatalogue, BookListsMatchWholeNumbers) {
    EXPECT_TRUE(MayUseBook(4, "2;10", 10));
    EXPECT_FALSE(MayUseBook(4, "2;10", 1));
    EXPECT_FALSE(MayUseBook(4, "", 1));
    EXPECT_TRUE(MayUseBook(3, "", 1));
    EXPECT_FALSE(MayUseBook(2, "3;5", 4));
}

// Reads the archive back through its central directory, as an unzip program does.
TEST(ZipWriter, WritesDeflatedEntriesAnUnzipperReads) {
    ZipWriter zip(QDateTime(QDate(2024, 5, 6), QTime(7, 8, 10)));
    const QByteArray page = QByteArray("<p>Čtenářský klub</p>").repeated(50);
    zip.add("index.htm", page);
    zip.add("sub/style.css", "body{}");
    const QByteArray archive = zip.finish();

    auto u16 = [&](qsizetype at) { return quint8(archive[at]) | quint8(archive[at + 1]) << 8; };
    auto u32 = [&](qsizetype at) { return quint32(u16(at)) | quint32(u16(at + 2)) << 16; };
    const qsizetype end = archive.size() - 22;
    ASSERT_EQ(u32(end), 0x06054b50u);
    ASSERT_EQ(u16(end + 10), 2);
    qsizetype entry = u32(end + 16);
    QList<QByteArray> contents;
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(u32(entry), 0x02014b50u);
        EXPECT_EQ(u16(entry + 10), 8); // deflated
        const quint32 crc = u32(entry + 16), packed = u32(entry + 20), size = u32(entry + 24);
        const qsizetype local = u32(entry + 42);
        ASSERT_EQ(u32(local), 0x04034b50u);
        const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
        QByteArray out(size, '\0');
        z_stream zs{};
        inflateInit2(&zs, -15);
        zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(archive.constData() + data));
        zs.avail_in = packed;
        zs.next_out = reinterpret_cast<Bytef *>(out.data());
        zs.avail_out = size;
        EXPECT_EQ(inflate(&zs, Z_FINISH), Z_STREAM_END);
        inflateEnd(&zs);
        EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef *>(out.constData()), size), crc);
        contents << out;
        entry += 46 + u16(entry + 28) + u16(entry + 30) + u16(entry + 32);
    }
    EXPECT_EQ(contents[0], page);
    EXPECT_EQ(contents[1], "body{}");
}

// Guessing is held back per name and address; nobody else's guessing locks the owner out of
// the address he signs in from.
TEST(LoginThrottle, GuessersWaitWhileTheOwnerGetsInFromHisUsualAddress) {
    LoginThrottle throttle(5, 30);
    QDateTime now(QDate(2026, 3, 2), QTime(8, 0));
    const QHostAddress home(QStringLiteral("10.0.0.1")), classroom(QStringLiteral("10.0.0.2"));
    auto address = [](int i) { return QHostAddress(quint32(0x0B000000 + i)); };
    auto fail = [&](const QString &name, const QHostAddress &from, int times) {
        for (int i = 0; i < times; ++i)
            throttle.recordFailure(name, from, now);
    };
    throttle.recordSuccess("klient", home, now);
    throttle.recordSuccess("klient", classroom, now);
    // One attacker address: that pair waits, nobody else.
    fail("klient", address(1), 5);
    EXPECT_GT(throttle.waitSeconds("klient", address(1), now), 0);
    EXPECT_EQ(throttle.waitSeconds("KLIENT", home, now), 0);
    EXPECT_EQ(throttle.waitSeconds("klient", address(2), now), 0);
    // Attackers from many addresses: the name waits everywhere but at its usual addresses.
    for (int i = 2; i < 12; ++i)
        fail("klient", address(i), 5);
    EXPECT_GT(throttle.waitSeconds("klient", address(99), now), 0);
    EXPECT_EQ(throttle.waitSeconds("klient", home, now), 0);
    // Guessing across names from a classroom: the address waits, but not for its own users.
    for (int i = 0; i < 30; ++i)
        fail(QStringLiteral("guess%1").arg(i), classroom, 1);
    EXPECT_GT(throttle.waitSeconds("reditel", classroom, now), 0);
    EXPECT_EQ(throttle.waitSeconds("klient", classroom, now), 0);
    // The owner's own mistakes still count against him.
    fail("klient", home, 5);
    EXPECT_GT(throttle.waitSeconds("klient", home, now), 0);
    now = now.addSecs(11);
    EXPECT_EQ(throttle.waitSeconds("klient", home, now), 0);
}

// Label values with quotes, backslashes, line feeds and control characters come out of the
// monitoring systems' own parser as they went in (control characters other than the line
// feed are left out), and a histogram's buckets, sum and count read back whole.
TEST(MetricsText, HostileLabelValuesSurviveTheMonitoringParser) {
    const QList<QByteArray> values{"plain", "quo\"te", "back\\slash", "line\nfeed",
                                   "bell\x07 esc\x1b[31m", "end\\"};
    MetricsText text;
    text.family("t_total", "counter", "Test counter.");
    for (int i = 0; i < values.size(); ++i)
        text.sample("t_total", {{"name", values[i]}, {"n", QByteArray::number(i)}}, i + 0.5);
    Histogram h;
    for (const double seconds : {0.0005, 0.003, 0.003, 0.2, 30.0})
        h.observe(seconds);
    text.family("t_seconds", "histogram", "Test histogram.");
    text.histogram("t_seconds", {{"action", "a\"b"}}, h);

    QProcess python;
    // The system's Python, which has the Debian parser package.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral(
                      "import sys, json\n"
                      "from prometheus_client.parser import text_string_to_metric_families\n"
                      "out = []\n"
                      "for f in text_string_to_metric_families(sys.stdin.read()):\n"
                      "    for s in f.samples:\n"
                      "        out.append([s.name, s.labels, s.value])\n"
                      "print(json.dumps(out))\n")});
    ASSERT_TRUE(python.waitForStarted());
    python.write(text.text());
    python.closeWriteChannel();
    ASSERT_TRUE(python.waitForFinished(30000));
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    const QJsonArray samples = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
    ASSERT_EQ(samples.size(), values.size() + 13 + 2);
    for (int i = 0; i < values.size(); ++i) {
        QByteArray expected = values[i];
        expected.replace('\x07', "").replace('\x1b', "");
        const QJsonArray s = samples[i].toArray();
        EXPECT_EQ(s[1].toObject()["name"].toString().toUtf8(), expected);
        EXPECT_EQ(s[2].toDouble(), i + 0.5);
    }
    QMap<QString, double> histogram;
    for (qsizetype i = values.size(); i < samples.size(); ++i) {
        const QJsonArray s = samples[i].toArray();
        EXPECT_EQ(s[1].toObject()["action"].toString(), "a\"b");
        histogram[s[0].toString() + s[1].toObject()["le"].toString()] = s[2].toDouble();
    }
    EXPECT_EQ(histogram["t_seconds_bucket0.001"], 1);
    EXPECT_EQ(histogram["t_seconds_bucket0.005"], 3);
    EXPECT_EQ(histogram["t_seconds_bucket10"], 4);
    EXPECT_EQ(histogram["t_seconds_bucket+Inf"], 5);
    EXPECT_EQ(histogram["t_seconds_count"], 5);
    EXPECT_NEAR(histogram["t_seconds_sum"], 30.2065, 1e-6);
}
