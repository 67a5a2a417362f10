#include "data/phpdbcon.h"
#include "fixtures.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "wire/compression.h"
#include "scriptedseam.h"

#include "errorof.h"

#include <gtest/gtest.h>

namespace {

const QList<TFieldDef> kOrderFields = {MakeField("IDORDER", TFieldType::I4),
                                       MakeField("DESCRIPTION", TFieldType::String, 40),
                                       MakeField("ORDERSTATUS", TFieldType::I4)};

class RemoteConnection : public testing::Test {
protected:
    void SetUp() override {
        fake.packets["prov_order"] = MakePacket(
            kOrderFields,
            {{I(1), S("first"), I(1)}, {I(2), S("second"), I(2)}, {I(3), S("third"), I(1)}});
        con.URL = fake.url();
        table.SetProviderName(QStringLiteral("prov_order"));
        table.SetRemoteServer(&con);
    }
    void editDescriptions(int count) {
        ++round;
        table.First();
        for (int i = 0; i < count; ++i, table.Next()) {
            table.Edit();
            table.FieldByName("DESCRIPTION")
                .SetAsString(QStringLiteral("round %1 row %2").arg(round).arg(i));
            table.Post();
        }
    }

    ScriptedSeam seam;
    FakeCentralServer fake;
    TMybasePHPConnection con;
    TClientTable table;
    int round = 0;
};

TEST_F(RemoteConnection, FetchAppendsTheOperationToTheSessionAddress) {
    table.Open();
    EXPECT_EQ(table.RecordCount(), 3);
    ASSERT_EQ(fake.requestCount(), 1);
    EXPECT_EQ(fake.server.received[0].method, "GET");
    EXPECT_TRUE(fake.server.received[0].target.endsWith(
        "/tellavo/client.php?PHPSESSID=abc&action=mybasegetrecords&providername=prov_order"));
    con.URL = QStringLiteral("http://h/s.php");
    EXPECT_EQ(con.OperationUrl("action=x"), "http://h/s.php?action=x");
    // The busy cursor was shown and given back.
    EXPECT_EQ(seam.cursorChanges.size(), 2);
    EXPECT_EQ(seam.currentCursor(), -1);
}

TEST_F(RemoteConnection, ClosingAndApplyingNothingSendNoRequest) {
    table.Open();
    table.Close();
    table.Open();
    table.ApplyUpdates(0);
    EXPECT_TRUE(con.AS_GetRecords(QStringLiteral("prov_order"), 0, 2).isEmpty());
    EXPECT_EQ(fake.requestCount(), 2);
}

struct FetchFailure {
    int status;
    QByteArray body;
    const char *message;
};

TEST_F(RemoteConnection, FetchFailuresRaiseAndLeaveTheTableClosed) {
    const FetchFailure cases[] = {
        {404, "missing",
         "Cannot get records for provider prov_order, bad server responsecode: 404"},
        {200, "error: no session",
         "Cannot get records for provider prov_order, bad server answer: error: no session"},
        {200, "ok<DATAPACKET", ""}, // a malformed packet: the loader's own message
        {200, "okzip\x01\x02garbage", ""},
    };
    for (const FetchFailure &c : cases) {
        fake.server.handler = [&c](const LoopbackRequest &) {
            LoopbackReply r;
            r.status = c.status;
            r.body = c.body;
            return r;
        };
        const QString message = ErrorOf([this] { table.Open(); });
        if (*c.message)
            EXPECT_EQ(message, QString::fromUtf8(c.message));
        else
            EXPECT_NE(message, "no error") << c.body.constData();
        EXPECT_FALSE(table.Active());
    }
}

TEST_F(RemoteConnection, ApplySendsTheCompressedChangeSetWithNullMarkers) {
    table.Open();
    table.First();
    table.Edit();
    table.FieldByName("DESCRIPTION").Clear();
    table.FieldByName("ORDERSTATUS").SetAsInteger(3);
    table.Post();
    table.ApplyUpdates(0);
    EXPECT_EQ(table.ChangeCount(), 0);
    ASSERT_EQ(fake.deltas.size(), 1);
    const LoopbackRequest &post = fake.server.received.last();
    EXPECT_EQ(post.method, "POST");
    EXPECT_TRUE(
        post.target.endsWith("action=mybaseapplyupdates&providername=prov_order&returnrecords=0"));
    EXPECT_TRUE(post.header("Content-Type").startsWith("multipart/form-data; boundary="));
    EXPECT_TRUE(post.body.contains("name=\"deltaxml\""));
    const QByteArray delta = fake.deltas[0];
    EXPECT_TRUE(delta.contains("DATASET_DELTA"));
    EXPECT_TRUE(delta.contains("NULLSINREC_1"));
    EXPECT_TRUE(delta.contains("RowState=\"8\""));
}

TEST_F(RemoteConnection, AppliedCountMismatchDiscardsTheEdits) {
    table.Open();
    fake.applyAnswer = [](const QByteArray &) { return "okzip" + CompressText("3|", 6); };
    editDescriptions(3);
    table.ApplyUpdates(0); // three changes, three applied
    EXPECT_EQ(table.ChangeCount(), 0);

    editDescriptions(2);
    EXPECT_EQ(ErrorOf([this] { table.ApplyUpdates(0); }),
              QString::fromUtf8("Nesouhlasí počet aplikovaných změn na serveru: 2 x 3"));
    EXPECT_EQ(table.ChangeCount(), 0);
    table.First();
    EXPECT_EQ(table.FieldByName("DESCRIPTION").AsString(), "round 1 row 0"); // the merged value

    fake.applyAnswer = [](const QByteArray &) { return QByteArray("ok"); };
    editDescriptions(1);
    EXPECT_EQ(ErrorOf([this] { table.ApplyUpdates(0); }),
              QString::fromUtf8("Nesouhlasí počet aplikovaných změn na serveru: 1 x 0"));
    fake.applyAnswer = [](const QByteArray &) { return QByteArray("error: denied"); };
    editDescriptions(1);
    EXPECT_EQ(ErrorOf([this] { table.ApplyUpdates(0); }),
              "Cannot apply updates for provider prov_order, bad server answer: error: denied");
    EXPECT_EQ(table.ChangeCount(), 0);
}

TEST_F(RemoteConnection, ApplyForAnUnknownProviderAndDiagnostics) {
    EXPECT_EQ(ErrorOf([this] { con.AS_ApplyUpdates(QStringLiteral("prov_none")); }),
              "Applyupdates error - cannot find dataset for provider prov_none");
    con.AS_Execute();
    con.AS_GetParams();
    EXPECT_EQ(seam.boxTexts(), (QStringList{"TMybasePHPAppServerAdapter - AS_Execute called",
                                            "TMybasePHPAppServerAdapter - AS_GetParams called"}));
}

TEST_F(RemoteConnection, FailedRequestsDiscardTheEditsAndKeepTheFetchedRows) {
    table.Open();
    fake.server.handler = [](const LoopbackRequest &) {
        LoopbackReply r;
        r.status = 500;
        r.body = "boom";
        return r;
    };
    editDescriptions(1);
    EXPECT_EQ(ErrorOf([this] { table.ApplyUpdates(0); }),
              "Cannot apply updates for provider prov_order, bad server responsecode: 500");
    EXPECT_EQ(table.ChangeCount(), 0);
    EXPECT_EQ(ErrorOf([this] { table.Refresh(); }),
              "Cannot get records for provider prov_order, bad server responsecode: 500");
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.RecordCount(), 3);

    con.URL = QStringLiteral("http://127.0.0.1:1/tellavo/client.php"); // nothing listens there
    editDescriptions(1);
    EXPECT_NE(ErrorOf([this] { table.ApplyUpdates(0); }), "no error");
    EXPECT_EQ(table.ChangeCount(), 0);
    table.First();
    EXPECT_EQ(table.FieldByName("DESCRIPTION").AsString(), "first");
    EXPECT_NE(ErrorOf([this] { table.Refresh(); }), "no error");
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(seam.currentCursor(), -1);
}

TEST_F(RemoteConnection, DamagedPacketOnRefreshKeepsRowsAndPosition) {
    table.Open();
    table.Last();
    for (const QByteArray body : {QByteArray("ok<DATAPACKET"), QByteArray("okzip\x01\x02junk")}) {
        fake.server.handler = [body](const LoopbackRequest &) {
            LoopbackReply r;
            r.body = body;
            return r;
        };
        EXPECT_NE(ErrorOf([this] { table.Refresh(); }), "no error");
        EXPECT_TRUE(table.Active());
        EXPECT_EQ(table.RecordCount(), 3);
        EXPECT_EQ(table.FieldByName("IDORDER").AsInteger(), 3);
    }
}

} // namespace
