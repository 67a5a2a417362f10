#include "signin_fixture.h"

#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "wire/compression.h"
#include "net/runrequest.h"
#include "net/settings/settings.h"

#include <QUrlQuery>

void SignInTest::SetUp() {
    SetLanguageIndex(LangCzech);
    InitLocations(dir.path() + QStringLiteral("/tellavo"));
    SessionValues().clear();
    ASSERT_TRUE(server.start());
    Settings() = AppSettings();
    Settings().useSsl = false;
    Settings().loginName = QString::fromUtf8("Jan Nový");
    Settings().loginPass = QStringLiteral("tajne heslo");
    CurrentConnectionTarget().server = server.hostAndPort();
    CurrentConnectionTarget().path = QStringLiteral("/tellavo/client.php");
    TSignIn::Hooks hooks;
    hooks.runRequest = [](const ServerRequest &request) { return RunRequest(request); };
    hooks.refreshState = [this] { ++refreshes; };
    hooks.runEntranceTest = [this] { ++entranceTests; };
    signIn = std::make_unique<TSignIn>(module, hooks);
}

void SignInTest::TearDown() {
    SessionValues().clear();
    Settings() = AppSettings();
}

QByteArray SignInTest::LoginReply(const QString &session, const QList<QByteArray> &packets) {
    QByteArray text = session.toUtf8();
    for (const QByteArray &packet : packets)
        text += "<mybaseseparator/>" + packet;
    return "okzip" + CompressText(text, 6);
}

LoopbackReply SignInTest::Reply(int status, const QByteArray &body) {
    LoopbackReply reply;
    reply.status = status;
    reply.body = body;
    return reply;
}

QByteArray SignInTest::LookupPacket(const char *field, int rows) {
    TClientTable table;
    table.CreateDataSet({MakeField(QString::fromLatin1(field), TFieldType::I4),
                         MakeField(QStringLiteral("NAME_L"), TFieldType::String, 30)});
    for (int i = 1; i <= rows; ++i)
        table.AppendRecord(
            {TValue::FromInteger(i), TValue::FromText(QStringLiteral("item %1").arg(i))});
    table.MergeChangeLog();
    return table.DataPacket();
}

QByteArray SignInTest::UserPacket() {
    TClientTable table;
    table.CreateDataSet({MakeField(QStringLiteral("IDUSER"), TFieldType::I4),
                         MakeField(QStringLiteral("FULLNAME"), TFieldType::String, 40),
                         MakeField(QStringLiteral("USERTYPENAME_L"), TFieldType::String, 20)});
    table.AppendRecord({TValue::FromInteger(7), TValue::FromText(QString::fromUtf8("Jan Nový")),
                        TValue::FromText(QStringLiteral("Klient"))});
    table.MergeChangeLog();
    return table.DataPacket();
}

QList<QByteArray> SignInTest::AllLookups() const {
    return {LookupPacket("IDORDERTYPE", 2),       UserPacket(),
            LookupPacket("IDCOURSE", 3),          LookupPacket("IDORDERSTATUS", 4),
            LookupPacket("IDTIMETABLESTATUS", 8), LookupPacket("IDUSERLEVEL", 5),
            LookupPacket("IDUSERTYPE", 4)};
}

QList<LoopbackRequest> SignInTest::Requests(const QString &action) const {
    QList<LoopbackRequest> found;
    for (const LoopbackRequest &r : server.received) {
        const QUrlQuery query(QUrl::fromEncoded(r.target).query());
        if (query.queryItemValue(QStringLiteral("action")) == action)
            found.append(r);
    }
    return found;
}
