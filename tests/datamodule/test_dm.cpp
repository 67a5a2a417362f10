#include "base/session.h"
#include "data/dm.h"
#include "fixtures.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/requestoutcome.h"
#include "net/serverrequest.h"
#include "scriptedseam.h"

#include "errorof.h"

#include <gtest/gtest.h>

namespace {

const QDateTime kTen(QDate(2026, 3, 2), QTime(10, 0));

QByteArray ordersPacket(int status) {
    return MakePacket({MakeField("IDORDER", TFieldType::I4),
                       MakeField("ORDERSTATUS", TFieldType::I4),
                       MakeField("WHOSTATUSCHANGE", TFieldType::I4)},
                      {{I(10), I(status), TValue()}});
}

class DataModule : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        module.phpdbcon.URL = fake.url();
        module.RunAction = [this](const ServerRequest &spec) {
            actions.append(spec.action + u'?' + QString::fromLatin1(spec.data));
            RequestOutcome outcome;
            outcome.result = 0;
            return outcome;
        };
        signInAs(1, 7);
    }
    void TearDown() override { SessionValues().clear(); }
    void signInAs(int type, int id) {
        SessionValues().setText(
            QStringLiteral("sesid=s\nusertype=%1\niduser=%2\nidjob=2").arg(type).arg(id));
    }
    void changeOrderStatus(int to) {
        module.cd_order.Edit();
        module.cd_order.FieldByName("ORDERSTATUS").SetAsInteger(to);
        module.cd_order.Post();
    }

    ScriptedSeam seam;
    FakeCentralServer fake;
    Tdm module;
    QStringList actions;
};

TEST_F(DataModule, OrderFromOneToTwoIsStampedSavedAndOffersTheEmail) {
    fake.packets["prov_order"] = ordersPacket(1);
    module.cd_order.Open();
    fake.packets["prov_order"] = ordersPacket(2); // what the server holds after the save
    seam.boxAnswers.enqueue(mrYes);                // send the e-mail
    changeOrderStatus(2);
    ASSERT_EQ(fake.deltas.size(), 1);
    EXPECT_TRUE(fake.deltas[0].contains("WHOSTATUSCHANGE=\"7\""));
    EXPECT_EQ(actions, QStringList{"sendemailorder?idorder=10"});
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(236), AppText(237)}));
    EXPECT_EQ(module.cd_order.State(), TTableState::Browse);
}

TEST_F(DataModule, UnusualStatusChangeAsksAndCancelKeepsTheEdit) {
    fake.packets["prov_order"] = ordersPacket(2);
    module.cd_order.Open();
    seam.boxAnswers.enqueue(mrNo);
    EXPECT_EQ(ErrorOf([this] { changeOrderStatus(1); }), "silent");
    EXPECT_EQ(module.cd_order.State(), TTableState::Edit);
    EXPECT_TRUE(fake.deltas.isEmpty());
    EXPECT_EQ(seam.boxes.last().text, AppText(235));
    module.cd_order.Cancel();

    // Saving without a status change asks nothing and stamps nothing.
    seam.boxes.clear();
    module.cd_order.Edit();
    module.cd_order.Post();
    EXPECT_TRUE(seam.boxes.isEmpty());
    EXPECT_TRUE(actions.isEmpty());
}

TEST_F(DataModule, RefusedStatusChangeLeavesNoStampBehind) {
    fake.packets["prov_order"] = ordersPacket(2);
    module.cd_order.Open();
    seam.boxAnswers.enqueue(mrNo);
    EXPECT_EQ(ErrorOf([this] { changeOrderStatus(1); }), "silent");
    // The user puts the status back and saves: nothing changed, so nothing is sent.
    module.cd_order.FieldByName("ORDERSTATUS").SetAsInteger(2);
    module.cd_order.Post();
    EXPECT_TRUE(module.cd_order.FieldByName("WHOSTATUSCHANGE").IsNull());
    EXPECT_TRUE(fake.deltas.isEmpty());
}

TEST_F(DataModule, OrdersCannotBeInserted) {
    fake.packets["prov_order"] = ordersPacket(1);
    module.cd_order.Open();
    EXPECT_EQ(ErrorOf([this] { module.cd_order.Append(); }), "silent");
    EXPECT_EQ(module.cd_order.RecordCount(), 1);
}

QByteArray timetablePacket() {
    return MakePacket({MakeField("IDTIMETABLE", TFieldType::I4),
                       MakeField("WHENHOUR", TFieldType::DateTime),
                       MakeField("IDTEACHER", TFieldType::I4), MakeField("IDJOB", TFieldType::I4),
                       MakeField("TIMETABLESTATUS", TFieldType::I4)},
                      {{I(1), D(kTen), I(5), I(2), I(7)},
                       {I(2), D(kTen.addSecs(3600)), I(5), I(2), I(3)},
                       {I(3), D(kTen.addSecs(7200)), I(5), I(2), I(1)}});
}

TEST_F(DataModule, TimetableDeleteRules) {
    fake.packets["prov_timetable"] = timetablePacket();
    module.cd_timetable.Open();
    module.cd_timetable.RecNo();
    signInAs(4, 9);
    module.cd_timetable.Last();
    EXPECT_EQ(ErrorOf([this] { module.cd_timetable.Delete(); }), "silent");
    signInAs(2, 7);
    module.cd_timetable.First();
    module.cd_timetable.Next();
    EXPECT_EQ(ErrorOf([this] { module.cd_timetable.Delete(); }), AppText(238));
    EXPECT_EQ(module.cd_timetable.RecordCount(), 3);
    module.cd_timetable.Last();
    module.cd_timetable.Delete(); // a free slot goes to the server at once
    ASSERT_EQ(fake.deltas.size(), 1);
    EXPECT_TRUE(fake.deltas[0].contains("RowState=\"2\""));
}

TEST_F(DataModule, FindTimetableSlotIgnoresFilterAndCancelledLessons) {
    fake.packets["prov_timetable"] = timetablePacket();
    module.cd_timetable.Open();
    module.cd_timetable.SetFilter(QStringLiteral("IDTIMETABLE = 3"));
    module.cd_timetable.SetFiltered(true);
    EXPECT_TRUE(module.FindTimetableSlot(kTen.addSecs(3600), 5, 2)); // filtered out, still found
    EXPECT_FALSE(module.FindTimetableSlot(kTen, 5, 2));              // status 7 does not count
    EXPECT_FALSE(module.FindTimetableSlot(kTen.addSecs(3600), 6, 2));
    EXPECT_TRUE(module.cd_timetable.Filtered());
    EXPECT_EQ(module.cd_timetable.RecordCount(), 1);
    EXPECT_EQ(module.cd_timetable.FieldByName("IDTIMETABLE").AsInteger(), 3);
}

TEST_F(DataModule, RemarksOfOthersNeedStaff) {
    fake.packets["prov_userremark"] =
        MakePacket({MakeField("IDUSERREMARK", TFieldType::I4), MakeField("IDUSER", TFieldType::I4),
                    MakeField("IDJOB", TFieldType::I4), MakeField("WHOWRITE", TFieldType::I4),
                    MakeField("REMARK", TFieldType::String, 100)},
                   {{I(1), I(20), I(2), I(8), S("by someone else")}});
    module.cd_userremark.Open();
    signInAs(3, 7);
    EXPECT_EQ(ErrorOf([this] { module.cd_userremark.Edit(); }), AppText(239));
    EXPECT_EQ(ErrorOf([this] { module.cd_userremark.Delete(); }), AppText(239));
    signInAs(2, 7);
    module.cd_userremark.Edit();
    module.cd_userremark.Cancel();

    // A new remark is stamped before it is saved.
    module.RemarkUserId = 20;
    module.cd_userremark.Append();
    module.cd_userremark.FieldByName("IDUSERREMARK").SetAsInteger(2);
    module.cd_userremark.FieldByName("REMARK").SetAsString(QStringLiteral("new"));
    module.cd_userremark.Post();
    ASSERT_EQ(fake.deltas.size(), 1);
    EXPECT_TRUE(fake.deltas[0].contains("WHOWRITE=\"7\""));
    EXPECT_TRUE(fake.deltas[0].contains("IDJOB=\"2\""));
    EXPECT_TRUE(fake.deltas[0].contains("IDUSER=\"20\""));
}

TEST_F(DataModule, SignInTablesStopAfterTheUserRecord) {
    const QByteArray lookup =
        MakePacket({MakeField("ID", TFieldType::I4), MakeField("NAME_L", TFieldType::String, 20)},
                   {{I(1), S("a")}, {I(2), S("b")}});
    const QByteArray user = MakePacket(
        {MakeField("IDUSER", TFieldType::I4), MakeField("FULLNAME", TFieldType::String, 40)},
        {{I(7), S("Jan Nový")}});
    const QByteArray course = MakePacket({MakeField("IDCOURSE", TFieldType::I4)}, {{I(3)}, {I(1)}});
    QByteArray full = lookup + "<mybaseseparator/>" + user;
    for (int i = 0; i < 5; ++i)
        full += "<mybaseseparator/>" + (i == 0 ? course : lookup);
    module.LoadSignInTables(full);
    EXPECT_EQ(module.cd_usertype.RecordCount(), 2);
    EXPECT_EQ(module.cd_course.IndexFieldNames(), "IDCOURSE");
    EXPECT_EQ(module.cd_user_info.RemoteServer(), nullptr);

    module.LoadSignInTables(lookup + "<mybaseseparator/>" + user);
    EXPECT_TRUE(module.cd_usertype.Active());
    EXPECT_EQ(module.cd_course.RecordCount(), 2);
    EXPECT_EQ(module.cd_user_info.FieldByName("FULLNAME").AsString(),
              QString::fromUtf8("Jan Nový"));

    module.CloseAllTables();
    EXPECT_FALSE(module.cd_usertype.Active());
}

TEST_F(DataModule, RefreshUserInfoNeedsExactlyOneRow) {
    const QList<TFieldDef> fields{MakeField("IDUSER", TFieldType::I4)};
    fake.packets["prov_user_info"] = MakePacket(fields, {{I(7)}});
    module.RefreshUserInfo();
    EXPECT_EQ(module.cd_user_info.ProviderName(), "prov_user_info");
    fake.packets["prov_user_info"] = MakePacket(fields, {{I(7)}, {I(8)}});
    EXPECT_EQ(ErrorOf([this] { module.RefreshUserInfo(); }), "Recordcount should be exactly one");
}

TEST_F(DataModule, ApplyFailingBeforeItIsSentStillDropsTheEdit) {
    // The user record from the sign-in reply is not bound to the server yet.
    const QByteArray lookup = MakePacket({MakeField("ID", TFieldType::I4)}, {{I(1)}});
    const QByteArray user = MakePacket(
        {MakeField("IDUSER", TFieldType::I4), MakeField("FULLNAME", TFieldType::String, 40)},
        {{I(7), S("Jan")}});
    module.LoadSignInTables(lookup + "<mybaseseparator/>" + user);
    TClientTable &info = module.cd_user_info;
    info.Edit();
    info.FieldByName("FULLNAME").SetAsString(QStringLiteral("Petr"));
    EXPECT_NE(ErrorOf([&info] { info.Post(); }), "no error");
    EXPECT_EQ(info.ChangeCount(), 0);
    EXPECT_EQ(info.FieldByName("FULLNAME").AsString(), "Jan");
    EXPECT_EQ(fake.requestCount(), 0);
}

TEST_F(DataModule, FailedApplyShowsTheServerStateAgain) {
    fake.packets["prov_order"] = ordersPacket(1);
    module.cd_order.Open();
    fake.applyAnswer = [](const QByteArray &) { return QByteArray("error: locked"); };
    EXPECT_EQ(ErrorOf([this] { changeOrderStatus(4); }),
              "Cannot apply updates for provider prov_order, bad server answer: error: locked");
    EXPECT_EQ(module.cd_order.FieldByName("ORDERSTATUS").AsInteger(), 1);
    EXPECT_EQ(module.cd_order.ChangeCount(), 0);
}

} // namespace
