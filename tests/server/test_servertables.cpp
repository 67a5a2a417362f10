// Table fetches for every provider and change-set applies with their permission checks.
#include "data/clienttable.h"
#include "data/nullmarkers.h"
#include "lang/textutil.h"
#include "wire/packetframing.h"
#include "wire/compression.h"
#include "server/centralserver.h"
#include "serverharness.h"
#include "testdatabase.h"

#include <QFileInfo>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

const QList<QByteArray> kProviders{
    "prov_ordertype",  "prov_course",    "prov_orderstatus", "prov_ttstatus",
    "prov_userlevel",  "prov_usertype",  "prov_user",        "prov_user_info",
    "prov_order",      "prov_orderhist", "prov_timetable",   "prov_ttstatushist",
    "prov_userremark", "prov_login",     "prov_msg",         "prov_onlineteacher"};

// Loads a provider into a client table, so that edits produce the change sets the client
// sends (null markers included).
struct EditedTable {
    TClientTable table;
    EditedTable(ServerHarness &server, const QString &session, const QByteArray &provider) {
        table.LoadFromBytes(server.fetch(session, provider));
    }
    void edit(qint64 key, const QList<QPair<QString, TValue>> &values) {
        ASSERT_TRUE(table.Locate(table.FieldDefs()[0].name, {TValue::FromInteger(key)}));
        table.Edit();
        for (const auto &v : values)
            table.FieldByName(v.first).SetValue(v.second);
        table.Post();
    }
    QByteArray changeSet() const { return ChangeSetWithNullMarkers(table); }
};

int AppliedCount(const HttpReply &reply) {
    if (!reply.body.startsWith("ok"))
        return -1;
    return ParseApplyReply(reply.body.mid(2)).appliedCount;
}

} // namespace

TEST(ServerTables, EveryProviderAnswersEachUserTypeWithAPacketOrARefusal) {
    ServerHarness server;
    struct Who {
        const char *login;
        QList<QByteArray> refused;
    };
    const QList<Who> users{
        {"reditel", {}},
        {"manazer", {}},
        {"lektor", {"prov_order", "prov_orderhist", "prov_ttstatushist", "prov_login", "prov_msg"}},
        {"klient",
         {"prov_user", "prov_ttstatushist", "prov_userremark", "prov_login", "prov_msg"}}};
    for (const Who &who : users) {
        const QString session = server.signIn(who.login);
        for (const QByteArray &provider : kProviders) {
            const HttpReply reply =
                server.post("mybasegetrecords&providername=" + provider, {}, session);
            if (who.refused.contains(provider)) {
                EXPECT_TRUE(reply.body.startsWith("error")) << who.login << " " << provider.data();
                continue;
            }
            const TTableContent t = server.table(session, provider);
            EXPECT_FALSE(t.fields.isEmpty()) << who.login << " " << provider.data();
        }
    }
    const QString session = server.signIn("klient");
    EXPECT_TRUE(server.fetch(session, "prov_nothing").startsWith("error"));
}

TEST(ServerTables, EachUserSeesOnlyWhatIsHis) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const TTableContent orders = server.table(client, "prov_order");
    ASSERT_GT(orders.rows.size(), 0u);
    for (int r = 0; r < int(orders.rows.size()); ++r)
        EXPECT_EQ(CellOf(orders, r, "IDUSER").toInteger(), Demo::Client);

    const TTableContent lessons = server.table(client, "prov_timetable");
    const QDateTime now = QDateTime::currentDateTime().addSecs(-60);
    int own = 0;
    for (int r = 0; r < int(lessons.rows.size()); ++r) {
        const bool mine = CellOf(lessons, r, "IDUSER").toInteger() == Demo::Client;
        own += mine;
        if (!mine) {
            EXPECT_EQ(CellOf(lessons, r, "TIMETABLESTATUS").toInteger(), 1);
            EXPECT_GE(CellOf(lessons, r, "WHENHOUR").toQDateTime(), now);
        }
    }
    EXPECT_EQ(own, 4);

    const QString teacher = server.signIn("lektor");
    const TTableContent taught = server.table(teacher, "prov_timetable");
    for (int r = 0; r < int(taught.rows.size()); ++r)
        EXPECT_EQ(CellOf(taught, r, "IDTEACHER").toInteger(), Demo::Teacher);

    // Staff of type 2 do not see type-1 users; type 1 does.
    const TTableContent users2 = server.table(server.signIn("manazer"), "prov_user");
    EXPECT_EQ(RowWithKey(users2, Demo::Director), -1);
    EXPECT_GE(RowWithKey(users2, Demo::Manager), 0);
    const TTableContent users1 = server.table(server.signIn("reditel"), "prov_user");
    EXPECT_GE(RowWithKey(users1, Demo::Director), 0);
    for (int r = 0; r < int(users1.rows.size()); ++r)
        EXPECT_TRUE(CellOf(users1, r, "LOGINPASS").isNull());
}

TEST(ServerTables, UserStatisticsFollowOrdersAndLessons) {
    ServerHarness server;
    const QString staff = server.signIn("reditel");
    const TTableContent users = server.table(staff, "prov_user");
    const int row = RowWithKey(users, Demo::Client);
    const double paid = server
                            .dbValue("SELECT SUM(TEACHHOURS) FROM ORDERS WHERE IDUSER = ?"
                                     " AND ORDERSTATUS IN (2, 3)",
                                     {Demo::Client})
                            .toDouble();
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSPAYED").toFloat(), paid);
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSLEARNED").toFloat(), 1);
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSMISSED").toFloat(), 1);
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSUNCONFIRMED").toFloat(), 1);
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSCONFIRMED").toFloat(), 1);
    EXPECT_DOUBLE_EQ(CellOf(users, row, "HOURSFREE").toFloat(),
                     paid - CellOf(users, row, "HOURSEXPIRED").toFloat() - 2 + 2 /* debit */);
    const int teacher = RowWithKey(users, Demo::Teacher);
    EXPECT_GT(CellOf(users, teacher, "HOURSTEACHED").toFloat(), 0);
}

TEST(ServerTables, OnlineTeachersAreTheTeachersOfTheJobSignedOnAtTheRelay) {
    ServerHarness server;
    server.onServer([](CentralServer &s) {
        s.setOnlineClientIds(
            [] { return QStringList{"2_4", "2_5_7", "3_6", "2_6", "2_7", "junk", "2_x"}; });
    });
    const TTableContent online = server.table(server.signIn("klient"), "prov_onlineteacher");
    ASSERT_EQ(online.rows.size(), 2u);
    EXPECT_GE(RowWithKey(online, Demo::Teacher), 0);
    EXPECT_GE(RowWithKey(online, Demo::Teacher3), 0);
    EXPECT_EQ(CellOf(online, RowWithKey(online, Demo::Teacher), "FULLNAME").toText(),
              QStringLiteral("Svobodová Petra"));
}

TEST(ServerTables, OnlineTeachersComeFromTheServersOwnRelay) {
    ServerHarness server(
        [](ServerOptions &o) { o.relay << ParseListenAddress(QStringLiteral("127.0.0.1:0")); });
    quint16 relayPort = 0;
    server.onServer([&](CentralServer &s) { relayPort = s.relayPort(); });
    ASSERT_NE(relayPort, 0);
    const QString client = server.signIn("klient");
    EXPECT_TRUE(server.table(client, "prov_onlineteacher").rows.empty());

    // The relay takes only ids proved by a token of a signed-in user.
    const HttpReply token = server.post("relaytoken", {}, server.signIn("lektor2"));
    ASSERT_TRUE(token.body.startsWith("ok"));
    QTcpSocket teacher;
    teacher.connectToHost(QStringLiteral("127.0.0.1"), relayPort);
    ASSERT_TRUE(teacher.waitForConnected(5000));
    teacher.write("c;2_5;vorelitambu;" + token.body.mid(2) + "\r\n");
    QByteArray answer;
    while (!answer.contains('\n') && teacher.waitForReadyRead(5000))
        answer += teacher.readAll();
    ASSERT_TRUE(answer.startsWith("@loginok")) << answer.toStdString();
    const TTableContent online = server.table(client, "prov_onlineteacher");
    ASSERT_EQ(online.rows.size(), 1u);
    EXPECT_EQ(CellOf(online, 0, "IDUSER").toInteger(), Demo::Teacher2);
}

TEST(ServerApply, AClientChangesHisOwnProfileIncludingNulls) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    EditedTable info(server, client, "prov_user_info");
    info.edit(Demo::Client, {{"FIRSTNAME", TValue::FromText(QStringLiteral("Jeník"))},
                             {"PHONENUMBER", TValue()}});
    const HttpReply reply = server.apply(client, "prov_user_info", info.changeSet(), true, true);
    EXPECT_EQ(AppliedCount(reply), info.table.ChangeCount()) << reply.body.toStdString();
    EXPECT_EQ(server.dbValue("SELECT FIRSTNAME FROM USERS WHERE IDUSER = ?", {Demo::Client}),
              QStringLiteral("Jeník"));
    // The stored rows come back behind the count, as a fetch gives them.
    EXPECT_EQ(ParseApplyReply(reply.body.mid(2)).packet, server.fetch(client, "prov_user_info"));
    EXPECT_TRUE(
        server.dbValue("SELECT PHONENUMBER FROM USERS WHERE IDUSER = ?", {Demo::Client}).isNull());
}

TEST(ServerApply, RefusesChangesBeyondTheUsersRightsAndAppliesNothingOfThem) {
    ServerHarness server;
    struct Case {
        const char *login;
        QByteArray provider;
        qint64 key;
        QString field;
        TValue value;
        const char *editor = nullptr; // whose view the change set is made from
    };
    const QList<Case> cases{
        {"klient", "prov_user_info", Demo::Client, "HOURDEBIT", TValue::FromFloat(100)},
        {"klient", "prov_user_info", Demo::Client, "USERTYPE", TValue::FromInteger(1)},
        {"klient", "prov_user_info", Demo::Client, "HOURSPAYED", TValue::FromFloat(99)},
        {"manazer", "prov_user", Demo::Director, "FIRSTNAME", TValue::FromText("X"), "reditel"},
        {"lektor", "prov_user", Demo::Client, "FIRSTNAME", TValue::FromText("X")},
        {"reditel", "prov_user", Demo::Client, "LOGINNAME", TValue::FromText("x")},
        {"reditel", "prov_user", Demo::Client, "FIRSTNAME", TValue::FromText(QString(61, 'a'))},
        {"reditel", "prov_user", Demo::Client, "BOOKIDS", TValue::FromText("1;x")},
    };
    for (const Case &c : cases) {
        const QString session = server.signIn(c.login);
        EditedTable t(server, c.editor ? server.signIn(c.editor) : session, c.provider);
        // A harmless change first: it must not be applied when the second is refused.
        t.edit(c.key, {{"SKYPENICK", TValue::FromText("changed.nick")}, {c.field, c.value}});
        const HttpReply reply = server.apply(session, c.provider, t.changeSet());
        EXPECT_TRUE(reply.body.startsWith("error")) << c.login << " " << c.field.toStdString();
        EXPECT_NE(server.dbValue("SELECT SKYPENICK FROM USERS WHERE IDUSER = ?", {c.key}),
                  QStringLiteral("changed.nick"));
    }
    // A client cannot change another user's row through his own provider.
    const QString client = server.signIn("klient");
    TClientTable forged;
    forged.LoadFromBytes(server.fetch(server.signIn("reditel"), "prov_user"));
    ASSERT_TRUE(forged.Locate("IDUSER", {TValue::FromInteger(Demo::Newcomer)}));
    forged.Edit();
    forged.FieldByName("FIRSTNAME").SetAsString("Hacked");
    forged.Post();
    EXPECT_TRUE(server.apply(client, "prov_user_info", ChangeSetWithNullMarkers(forged))
                    .body.startsWith("error"));
    EXPECT_TRUE(server.apply(client, "prov_user", ChangeSetWithNullMarkers(forged))
                    .body.startsWith("error"));
    EXPECT_EQ(server.dbValue("SELECT FIRSTNAME FROM USERS WHERE IDUSER = ?", {Demo::Newcomer}),
              QStringLiteral("Eva"));
}

TEST(ServerApply, TeachersAddAndDeleteFreeSlotsWithoutDoubleBooking) {
    ServerHarness server;
    const QString teacher = server.signIn("lektor");
    EditedTable t(server, teacher, "prov_timetable");
    const QDateTime day(QDate::currentDate().addDays(90), QTime(6, 0));
    for (int h : {0, 1}) {
        t.table.Append();
        t.table.FieldByName("IDTIMETABLE").SetAsInteger(-1 - h);
        t.table.FieldByName("IDJOB").SetAsInteger(2);
        t.table.FieldByName("IDTEACHER").SetAsInteger(Demo::Teacher);
        t.table.FieldByName("TIMETABLESTATUS").SetAsInteger(1);
        t.table.FieldByName("HOURS").SetAsFloat(1);
        t.table.FieldByName("WHENHOUR").SetAsDateTime(day.addSecs(3600 * h));
        t.table.Post();
    }
    EXPECT_EQ(AppliedCount(server.apply(teacher, "prov_timetable", t.changeSet())), 2);
    // The same hour again is taken.
    const HttpReply again = server.apply(teacher, "prov_timetable", t.changeSet());
    EXPECT_TRUE(again.body.startsWith("error")) << again.body.toStdString();
    EXPECT_EQ(server.dbValue("SELECT COUNT(*) FROM TIMETABLE WHERE WHENHOUR >= ?", {day}).toInt(),
              2);
    EXPECT_EQ(server
                  .dbValue("SELECT COUNT(*) FROM TTSTATUSHIST H JOIN TIMETABLE T ON"
                           " T.IDTIMETABLE = H.IDTIMETABLE WHERE T.WHENHOUR >= ?",
                           {day})
                  .toInt(),
              2);

    // Deleting: a free slot goes, a booked lesson stays; another teacher's slot is not his.
    EditedTable fresh(server, teacher, "prov_timetable");
    const qint64 freeSlot =
        server.dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE WHENHOUR >= ?", {day})
            .toLongLong();
    const qint64 booked = server
                              .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDTEACHER = ?"
                                       " AND TIMETABLESTATUS = 3",
                                       {Demo::Teacher})
                              .toLongLong();
    ASSERT_TRUE(fresh.table.Locate("IDTIMETABLE", {TValue::FromInteger(freeSlot)}));
    fresh.table.Delete();
    EXPECT_EQ(AppliedCount(server.apply(teacher, "prov_timetable", fresh.changeSet())), 1);
    EditedTable second(server, teacher, "prov_timetable");
    ASSERT_TRUE(second.table.Locate("IDTIMETABLE", {TValue::FromInteger(booked)}));
    second.table.Delete();
    EXPECT_TRUE(
        server.apply(teacher, "prov_timetable", second.changeSet()).body.startsWith("error"));

    // Clients add nothing to the timetable.
    const QString client = server.signIn("klient");
    EXPECT_TRUE(server.apply(client, "prov_timetable", t.changeSet()).body.startsWith("error"));
}

TEST(ServerApply, StaffStatusChangeOfAnOrderIsStampedAndWrittenToItsHistory) {
    ServerHarness server;
    const QString staff = server.signIn("manazer");
    const qint64 order =
        server.dbValue("SELECT MIN(IDORDER) FROM ORDERS WHERE ORDERSTATUS = 1").toLongLong();
    ASSERT_GT(order, 0);
    EditedTable t(server, staff, "prov_order");
    t.edit(order, {{"ORDERSTATUS", TValue::FromInteger(2)}});
    EXPECT_EQ(AppliedCount(server.apply(staff, "prov_order", t.changeSet())), 1);
    EXPECT_EQ(
        server.dbValue("SELECT WHOSTATUSCHANGE FROM ORDERS WHERE IDORDER = ?", {order}).toInt(),
        Demo::Manager);
    EXPECT_EQ(server
                  .dbValue("SELECT COUNT(*) FROM ORDERHIST WHERE IDORDER = ? AND OLDSTATUS = 1"
                           " AND NEWSTATUS = 2 AND WHOCHANGE = ?",
                           {order, Demo::Manager})
                  .toInt(),
              1);
    // Clients do not edit orders.
    const QString client = server.signIn("klient");
    EXPECT_TRUE(server.apply(client, "prov_order", t.changeSet()).body.startsWith("error"));
}

TEST(ServerApply, RemarksBelongToTheirWritersAndRecordsAreDeletedOnlyByTheDirector) {
    ServerHarness server;
    const QString teacher = server.signIn("lektor2");
    const qint64 others =
        server
            .dbValue("SELECT MIN(IDUSERREMARK) FROM USERREMARKS WHERE WHOWRITE <> ?",
                     {Demo::Teacher2})
            .toLongLong();
    EditedTable remarks(server, teacher, "prov_userremark");
    remarks.edit(others, {{"REMARK", TValue::FromText("přepsáno")}});
    EXPECT_TRUE(
        server.apply(teacher, "prov_userremark", remarks.changeSet()).body.startsWith("error"));

    // A new remark is stamped with the writer and the job whatever the client sent.
    EditedTable added(server, teacher, "prov_userremark");
    added.table.Append();
    added.table.FieldByName("IDUSERREMARK").SetAsInteger(-1);
    added.table.FieldByName("IDUSER").SetAsInteger(Demo::Client);
    added.table.FieldByName("WHOWRITE").SetAsInteger(Demo::Director);
    added.table.FieldByName("REMARK").SetAsString("Nová poznámka");
    added.table.Post();
    EXPECT_EQ(AppliedCount(server.apply(teacher, "prov_userremark", added.changeSet())), 1);
    EXPECT_EQ(server
                  .dbValue("SELECT WHOWRITE FROM USERREMARKS WHERE REMARK = ?",
                           {QStringLiteral("Nová poznámka")})
                  .toInt(),
              Demo::Teacher2);

    for (const char *login : {"manazer", "reditel"}) {
        const QString session = server.signIn(login);
        EditedTable logins(server, session, "prov_login");
        logins.table.First();
        logins.table.Delete();
        const HttpReply reply = server.apply(session, "prov_login", logins.changeSet());
        EXPECT_EQ(reply.body.startsWith("error"), QByteArray(login) == "manazer") << login;
    }
}

TEST(ServerApply, MalformedChangeSetsAreRefusedWithAMessage) {
    ServerHarness server([](ServerOptions &o) { o.maxChangeSetBytes = 100000; });
    const QString staff = server.signIn("reditel");
    const QByteArray bomb = QByteArray(5'000'000, ' ');
    const QList<QPair<QByteArray, bool>> bodies{
        {"not zlib at all", false},
        {"<DATAPACKET><broken", true},
        {"<?xml version=\"1.0\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS/></METADATA>"
         "<ROWDATA/></DATAPACKET>",
         true},
        {bomb, true},
    };
    for (const auto &body : bodies) {
        const HttpReply reply = server.apply(staff, "prov_user", body.first, body.second);
        EXPECT_EQ(reply.status, 200);
        EXPECT_TRUE(reply.body.startsWith("error")) << reply.body.left(80).toStdString();
    }
    const HttpReply missing =
        server.post("mybaseapplyupdates&providername=prov_user", "x=1", staff);
    EXPECT_TRUE(missing.body.startsWith("error"));
    // A read-only provider takes no changes.
    EditedTable hist(server, staff, "prov_orderhist");
    hist.table.First();
    hist.table.Delete();
    EXPECT_TRUE(server.apply(staff, "prov_orderhist", hist.changeSet()).body.startsWith("error"));
}

TEST(ServerTables, TeachersGetTheBasicDataOfUsersAndSetOnlyLevelAndCourse) {
    ServerHarness server;
    const QString teacher = server.signIn("lektor");
    const TTableContent users = server.table(teacher, "prov_user");
    const int client = RowWithKey(users, Demo::Client);
    ASSERT_GE(client, 0);
    EXPECT_EQ(CellOf(users, client, "FIRSTNAME").toText(), "Jan");
    EXPECT_FALSE(CellOf(users, client, "USERLEVEL").isNull());
    for (int row = 0; row < int(users.rows.size()); ++row)
        for (const char *hidden : {"BANKACCOUNT", "STREET_F", "PHONENUMBER", "LASTLOGIP", "ICO",
                                   "HOURSPAYED", "AMOUNTPAYED", "REMARK"})
            EXPECT_TRUE(CellOf(users, row, hidden).isNull()) << hidden << " in row " << row;

    struct Case {
        qint64 user;
        QString field;
        TValue value;
        bool applied;
    };
    const QList<Case> cases{
        {Demo::Client, "USERLEVEL", TValue::FromInteger(3), true},
        {Demo::Client, "COURSE", TValue::FromInteger(2), true},
        {Demo::Client, "EMAIL", TValue::FromText("x@y.cz"), false},
        {Demo::Client, "USERACTIVE", TValue::FromInteger(0), false},
        {Demo::Teacher2, "USERLEVEL", TValue::FromInteger(3), false},
    };
    const QString staff = server.signIn("reditel");
    for (const Case &c : cases) {
        EditedTable t(server, staff, "prov_user"); // full rows, so only the field differs
        t.edit(c.user, {{c.field, c.value}});
        const HttpReply reply = server.apply(teacher, "prov_user", t.changeSet());
        EXPECT_EQ(reply.body.startsWith("ok"), c.applied) << c.field.toStdString();
    }
    EXPECT_EQ(server.dbValue("SELECT USERLEVEL FROM USERS WHERE IDUSER = ?", {Demo::Client}), 3);
}

TEST(ServerTables, TeachersReadTheChatsOfTheirOwnStudentsOnly) {
    ServerHarness server;
    const qint64 own = server
                           .dbValue("SELECT MIN(IDUSER) FROM TIMETABLE WHERE IDTEACHER = ?"
                                    " AND IDUSER > 0",
                                    {Demo::Teacher})
                           .toLongLong();
    const qint64 other = server
                             .dbValue("SELECT MIN(IDUSER) FROM USERS WHERE USERTYPE = 4 AND IDJOB ="
                                      " 2 AND IDUSER NOT IN (SELECT IDUSER FROM TIMETABLE WHERE"
                                      " IDTEACHER = ?)",
                                      {Demo::Teacher})
                             .toLongLong();
    ASSERT_GT(own, 0);
    ASSERT_GT(other, 0);
    const QString teacher = server.signIn("lektor");
    EXPECT_TRUE(server.post("getchatfile", "aiduser=" + QByteArray::number(own), teacher)
                    .body.startsWith("okzip"));
    EXPECT_TRUE(server.post("getchatfile", "aiduser=" + QByteArray::number(other), teacher)
                    .body.startsWith("error"));
    // A student on line in the teacher's lesson counts as his.
    server.onServer([&](CentralServer &s) {
        s.setOnlineClientIds([=] { return QStringList{QStringLiteral("2_4_%1").arg(other)}; });
    });
    EXPECT_TRUE(server.post("getchatfile", "aiduser=" + QByteArray::number(other), teacher)
                    .body.startsWith("okzip"));
}

TEST(ServerFiles, TheSchoolsDataIsForTheServersUserOnly) {
    ServerHarness server;
    server.signIn("klient"); // writes, so the WAL exists
    QStringList names{"", "/outbox"};
    if (!TestDatabase::UsesPostgres())
        names << "/school.sqlite"
              << "/school.sqlite-wal";
    for (const QString &name : names) {
        const QFileInfo info(server.dataFolder() + name);
        ASSERT_TRUE(info.exists()) << name.toStdString();
        EXPECT_EQ(info.permissions() & (QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                        QFileDevice::ReadOther | QFileDevice::WriteOther),
                  0)
            << name.toStdString();
    }
}

// Values a change set may store are bound by the school's rules: order hours and amounts in
// range, slots in the school's near years, remarks dated when they are written.
TEST(ServerApply, ValuesAndTimesStayWithinTheSchoolsRules) {
    ServerHarness server;
    const QString staff = server.signIn("manazer");
    const qint64 order =
        server.dbValue("SELECT MIN(IDORDER) FROM ORDERS WHERE ORDERSTATUS = 1").toLongLong();
    struct Case {
        const char *field;
        TValue value;
        bool stored;
    };
    const QList<Case> cases{{"TEACHHOURS", TValue::FromFloat(-5000), false},
                            {"TEACHHOURS", TValue::FromFloat(1e308), false},
                            {"AMOUNT", TValue::FromFloat(-1), false},
                            {"TEACHHOURS", TValue::FromFloat(37.5), true}};
    for (const Case &c : cases) {
        EditedTable t(server, staff, "prov_order");
        t.edit(order, {{c.field, c.value}});
        const HttpReply reply = server.apply(staff, "prov_order", t.changeSet());
        EXPECT_EQ(reply.body.startsWith("ok"), c.stored)
            << c.field << " " << c.value.toFloat() << " " << reply.body.toStdString();
    }

    const QString teacher = server.signIn("lektor");
    const int year = QDate::currentDate().year();
    for (const int y : {1, 9999, year - 3, year + 5, year + 1}) {
        EditedTable t(server, teacher, "prov_timetable");
        t.table.Append();
        t.table.FieldByName("IDTIMETABLE").SetAsInteger(-1);
        t.table.FieldByName("IDJOB").SetAsInteger(2);
        t.table.FieldByName("IDTEACHER").SetAsInteger(Demo::Teacher);
        t.table.FieldByName("TIMETABLESTATUS").SetAsInteger(1);
        t.table.FieldByName("HOURS").SetAsFloat(1);
        t.table.FieldByName("WHENHOUR").SetAsDateTime(QDateTime(QDate(y, 6, 2), QTime(7, 0)));
        t.table.Post();
        EXPECT_EQ(server.apply(teacher, "prov_timetable", t.changeSet()).body.startsWith("ok"),
                  y == year + 1)
            << y;
    }

    EditedTable added(server, teacher, "prov_userremark");
    added.table.Append();
    added.table.FieldByName("IDUSERREMARK").SetAsInteger(-1);
    added.table.FieldByName("IDUSER").SetAsInteger(Demo::Client);
    added.table.FieldByName("WHENWRITTEN").SetAsDateTime(QDateTime(QDate(2001, 1, 1), QTime()));
    added.table.FieldByName("REMARK").SetAsString("Zpětně");
    added.table.Post();
    EXPECT_EQ(AppliedCount(server.apply(teacher, "prov_userremark", added.changeSet())), 1);
    const QDateTime written =
        server.dbValue("SELECT WHENWRITTEN FROM USERREMARKS WHERE REMARK = ?", {"Zpětně"})
            .toDateTime();
    EXPECT_GE(written.date().year(), year);
    const qint64 remark =
        server.dbValue("SELECT IDUSERREMARK FROM USERREMARKS WHERE REMARK = ?", {"Zpětně"})
            .toLongLong();
    EditedTable redated(server, teacher, "prov_userremark");
    redated.edit(remark,
                 {{"WHENWRITTEN", TValue::FromDateTime(QDateTime(QDate(2001, 1, 1), QTime()))}});
    EXPECT_TRUE(
        server.apply(teacher, "prov_userremark", redated.changeSet()).body.startsWith("error"));
    // A NUL in a text is refused, on every database alike.
    EditedTable nul(server, teacher, "prov_userremark");
    nul.edit(remark, {{"REMARK", TValue::FromText(QStringLiteral("a") + QChar(0) + "b")}});
    const HttpReply refused = server.apply(teacher, "prov_userremark", nul.changeSet());
    EXPECT_EQ(FromWin1250(refused.body), "errorPoložka REMARK obsahuje nepovolené znaky.");
}
