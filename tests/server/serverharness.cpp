#include "serverharness.h"

#include "wire/packetframing.h"
#include "wire/packetreader.h"
#include "lang/textutil.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"
#include "testdatabase.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

ServerHarness::ServerHarness(std::function<void(ServerOptions &)> tweak) {
    m_options.dataFolder = m_dir.path();
    m_options.seed = QStringLiteral("demo");
    m_options.listen << ParseListenAddress(QStringLiteral("127.0.0.1:0"));
    m_options.tlsListen << ParseListenAddress(QStringLiteral("127.0.0.1:0"));
    m_options.passwordIterations = 1000;
    m_options.hashCost = HashCost{64, 1, 1}; // cheap: the tests sign in very often
    m_options.databaseFile = m_database = TestDatabase::Create();
    if (tweak)
        tweak(m_options);
    m_thread.start();
    m_context = std::make_unique<QObject>();
    m_context->moveToThread(&m_thread);
    QString failure;
    QMetaObject::invokeMethod(
        m_context.get(),
        [&] {
            try {
                m_server = new CentralServer(m_options);
                m_server->start();
                m_options = m_server->options();
                m_httpPort = m_server->httpPorts().value(0);
                m_httpsPort = m_server->httpsPorts().value(0);
            } catch (const std::exception &e) {
                failure = QString::fromUtf8(e.what());
            }
        },
        Qt::BlockingQueuedConnection);
    if (!failure.isEmpty())
        ADD_FAILURE() << "server did not start: " << failure.toStdString();
}

ServerHarness::~ServerHarness() {
    QMetaObject::invokeMethod(
        m_context.get(), [this] { delete m_server; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    TestDatabase::Drop(m_database);
}

void ServerHarness::advanceClock(qint64 seconds) {
    m_server->clock().advance(seconds);
}

void ServerHarness::onServer(const std::function<void(CentralServer &)> &code) {
    QMetaObject::invokeMethod(
        m_context.get(), [&] { code(*m_server); }, Qt::BlockingQueuedConnection);
}

QVariant ServerHarness::dbValue(const QString &sql, const QVariantList &binds) {
    QVariant value;
    onServer([&](CentralServer &s) { value = s.database().scalar(sql, binds); });
    return value;
}

QByteArray ServerHarness::scriptTarget(const QByteArray &action, const QString &session) const {
    QByteArray target = m_options.scriptPath.toLatin1() + '?';
    if (!session.isNull())
        target += "PHPSESSID=" + session.toLatin1() + '&';
    return target + "action=" + action;
}

HttpReply ServerHarness::post(const QByteArray &action, const QByteArray &data,
                              const QString &session, bool tls) {
    const QByteArray target = scriptTarget(action, session);
    if (data.isEmpty())
        return SendHttp(tls ? m_httpsPort : m_httpPort, tls, "GET", target + '&', {}, {});
    return SendHttp(tls ? m_httpsPort : m_httpPort, tls, "POST", target,
                    {{"Content-Type", "application/x-www-form-urlencoded"}},
                    TransportEncodeForm(data));
}

HttpReply ServerHarness::get(const QByteArray &target) {
    return SendHttp(m_httpPort, false, "GET", target, {}, {});
}

HttpReply ServerHarness::login(const QString &user, const QString &pass, const QByteArray &booksVer,
                               int envLang, const QByteArray &loginVer, bool tls) {
    const QByteArray data = "user=" + FormEncode(user.toUtf8()) +
                            "&pass=" + FormEncode(pass.toUtf8()) +
                            "&logintype=1&loginver=" + FormEncode(loginVer) +
                            "&job=2&envlang=" + QByteArray::number(envLang) +
                            "&ssl=0&polling=0&booksver=" + FormEncode(booksVer) +
                            "&skypever=&osver=" + FormEncode("Linux b6 test") + "&proxy=0";
    return post("login", data, QString(), tls);
}

QString ServerHarness::signIn(const QString &user, const QString &password, int envLang) {
    const HttpReply reply = login(user, password.isNull() ? user : password, "1", envLang);
    EXPECT_EQ(reply.status, 200);
    EXPECT_TRUE(reply.body.startsWith("okzip")) << reply.body.left(200).toStdString();
    const QString id = SessionSection(DecompressText(reply.body.mid(5))).value("sesid");
    EXPECT_FALSE(id.isEmpty()) << "no session for " << user.toStdString();
    return id;
}

QByteArray ServerHarness::fetch(const QString &session, const QByteArray &provider) {
    const HttpReply reply = post("mybasegetrecords&providername=" + provider, {}, session);
    if (reply.status != 200 || !reply.body.startsWith("okzip"))
        return reply.body;
    return DecompressText(reply.body.mid(5));
}

TTableContent ServerHarness::table(const QString &session, const QByteArray &provider) {
    const QByteArray packet = fetch(session, provider);
    try {
        return ReadDataPacket(packet);
    } catch (const std::exception &e) {
        ADD_FAILURE() << provider.toStdString() << ": " << e.what() << " in "
                      << packet.left(200).toStdString();
        return {};
    }
}

HttpReply ServerHarness::apply(const QString &session, const QByteArray &provider,
                               const QByteArray &changeSet, bool compress, bool returnRecords) {
    const QByteArray boundary = "----tellavo-test-boundary";
    const QByteArray body = "--" + boundary +
                            "\r\nContent-Disposition: form-data; name=\"deltaxml\"\r\n"
                            "Content-Type: application/octet-stream\r\n\r\n" +
                            (compress ? CompressText(changeSet, 6) : changeSet) + "\r\n--" +
                            boundary + "--\r\n";
    return SendHttp(m_httpPort, false, "POST",
                    scriptTarget("mybaseapplyupdates&providername=" + provider +
                                     (returnRecords ? "&returnrecords=1" : "&returnrecords=0"),
                                 session),
                    {{"Content-Type", "multipart/form-data; boundary=" + boundary}}, body);
}

QHash<QString, QString> SessionSection(const QByteArray &inflated) {
    QByteArray rest = inflated;
    const QString section = FromWin1250(NextPacketSection(rest));
    QHash<QString, QString> values;
    for (const QString &line :
         section.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && !values.contains(line.left(eq).toLower()))
            values.insert(line.left(eq).toLower(), line.mid(eq + 1));
    }
    return values;
}

int RowWithKey(const TTableContent &table, qint64 key) {
    for (size_t r = 0; r < table.rows.size(); ++r)
        if (table.store.value(table.rows[r].record, 0, table.fields[0].valueKind()).toInteger() ==
            key)
            return int(r);
    return -1;
}

TValue CellOf(const TTableContent &table, int row, const QString &field) {
    const int f = table.fieldIndex(field);
    if (f < 0 || row < 0)
        return {};
    return table.store.value(table.rows[size_t(row)].record, f, table.fields[f].valueKind());
}
