// Business actions, book files, chats and malformed requests, over loopback.
#include "data/clienttable.h"
#include "data/nullmarkers.h"
#include "lang/textutil.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "server/centralserver.h"
#include "serverharness.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A free slot of the demo timetable from tomorrow on.
qint64 FreeFutureSlot(ServerHarness &server, qint64 teacher = Demo::Teacher) {
    return server
        .dbValue(
            "SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE TIMETABLESTATUS = 1 AND IDTEACHER = ?"
            " AND WHENHOUR > ?",
            {teacher, QDateTime::currentDateTime().addDays(1)})
        .toLongLong();
}

QByteArray SetStatus(qint64 lesson, int status) {
    return "idtimetable=" + QByteArray::number(lesson) + "&newstatus=" + QByteArray::number(status);
}

int LessonStatus(ServerHarness &server, qint64 lesson) {
    return server.dbValue("SELECT TIMETABLESTATUS FROM TIMETABLE WHERE IDTIMETABLE = ?", {lesson})
        .toInt();
}

} // namespace

TEST(ServerOrders, NewOrderForOneselfOrFromStaffForAClient) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const HttpReply reply = server.post("neworder", "idordertype=2", client);
    ASSERT_TRUE(reply.body.startsWith("ok")) << reply.body.toStdString();
    const qint64 id = reply.body.mid(2).toLongLong();
    EXPECT_EQ(server
                  .dbValue("SELECT IDUSER FROM ORDERS WHERE IDORDER = ? AND ORDERSTATUS = 1"
                           " AND TEACHHOURS = 20",
                           {id})
                  .toInt(),
              Demo::Client);
    EXPECT_EQ(server.dbValue("SELECT NEWSTATUS FROM ORDERHIST WHERE IDORDER = ?", {id}).toInt(), 1);

    const QString staff = server.signIn("manazer");
    const HttpReply forClient = server.post("neworder", "idordertype=1&iduser=8", staff);
    ASSERT_TRUE(forClient.body.startsWith("ok"));
    EXPECT_EQ(server
                  .dbValue("SELECT IDUSER FROM ORDERS WHERE IDORDER = ?",
                           {forClient.body.mid(2).toLongLong()})
                  .toInt(),
              Demo::Newcomer);

    struct Refused {
        const char *login;
        QByteArray data;
    };
    for (const Refused &r :
         {Refused{"klient", "idordertype=5"}, Refused{"klient", "idordertype=99"},
          Refused{"klient", "idordertype=1&iduser=8"}, Refused{"manazer", "idordertype=1&iduser=4"},
          Refused{"lektor", "idordertype=1"}, Refused{"klient", "idordertype=x"},
          Refused{"klient", ""}})
        EXPECT_TRUE(
            server.post("neworder", r.data, server.signIn(r.login)).body.startsWith("error"))
            << r.login << " " << r.data.toStdString();
}

TEST(ServerOrders, StatusMailIsRecordedAndWrittenToTheOutbox) {
    ServerHarness server;
    const qint64 order =
        server.dbValue("SELECT MIN(IDORDER) FROM ORDERS WHERE IDUSER = ?", {Demo::Client})
            .toLongLong();
    const QByteArray data = "idorder=" + QByteArray::number(order);
    EXPECT_TRUE(
        server.post("sendemailorder", data, server.signIn("klient")).body.startsWith("error"));
    EXPECT_EQ(server.post("sendemailorder", data, server.signIn("manazer")).body, "ok");
    const QVariant msg =
        server.dbValue("SELECT MAX(IDMSG) FROM MSGS WHERE IDREF = ? AND WHORECEIVER = ?"
                       " AND WHOINITIATOR = ?",
                       {order, Demo::Client, Demo::Manager});
    ASSERT_TRUE(msg.isValid());
    QFile mail(server.dataFolder() +
               QStringLiteral("/outbox/%1.eml").arg(msg.toLongLong(), 6, 10, QLatin1Char('0')));
    ASSERT_TRUE(mail.open(QIODevice::ReadOnly));
    EXPECT_EQ(mail.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
    const QByteArray text = mail.readAll();
    const qsizetype headEnd = text.indexOf("\r\n\r\n");
    ASSERT_GT(headEnd, 0);
    EXPECT_EQ(text.count('\n'), text.count("\r\n")); // CR LF throughout
    const QList<QByteArray> head = text.left(headEnd + 2).split('\n');
    for (const char *header : {"From: ", "To: jan.novak@example.cz\r", "Subject: =?UTF-8?B?",
                               "MIME-Version: 1.0\r", "Content-Transfer-Encoding: base64\r"})
        EXPECT_TRUE(std::any_of(head.begin(), head.end(), [&](const QByteArray &line) {
            return line.startsWith(header);
        })) << header;
    const QString body =
        QString::fromUtf8(QByteArray::fromBase64(text.mid(headEnd + 4).replace("\r\n", "")));
    EXPECT_TRUE(body.contains(QStringLiteral("změnil"))) << body.toStdString();
}

TEST(ServerOrders, AnAddressThatWouldAddHeadersIsRefused) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const HttpReply own = server.post("mybasegetrecords&providername=prov_user_info", {}, client);
    ASSERT_TRUE(own.body.startsWith("okzip"));
    // Stored through the profile: refused.
    TClientTable info;
    info.LoadFromBytes(DecompressText(own.body.mid(5)));
    info.Edit();
    info.FieldByName("EMAIL").SetAsString(QStringLiteral("a@b.cz\r\nBcc: everyone@example.cz"));
    info.Post();
    EXPECT_TRUE(server.apply(client, "prov_user_info", ChangeSetWithNullMarkers(info))
                    .body.startsWith("error"));
    // Already stored by other means: no message is written.
    server.dbValue("UPDATE USERS SET EMAIL = ? WHERE IDUSER = ?",
                   {QStringLiteral("a@b.cz\nBcc: everyone@example.cz"), Demo::Client});
    const qint64 order =
        server.dbValue("SELECT MIN(IDORDER) FROM ORDERS WHERE IDUSER = ?", {Demo::Client})
            .toLongLong();
    EXPECT_TRUE(server
                    .post("sendemailorder", "idorder=" + QByteArray::number(order),
                          server.signIn("manazer"))
                    .body.startsWith("error"));
    EXPECT_TRUE(QDir(server.dataFolder() + "/outbox").entryList(QDir::Files).isEmpty());
}

TEST(ServerTimetable, AClientBooksAFreeSlotAndCancelsHisBooking) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const qint64 slot = FreeFutureSlot(server);
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 2), client).body, "ok");
    EXPECT_EQ(LessonStatus(server, slot), 2);
    // The same slot is no longer free, not even for another client.
    const QString other = server.signIn("manazer");
    EXPECT_TRUE(
        server.post("settimetablestatus", SetStatus(slot, 2), client).body.startsWith("error"));
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 1), client).body, "ok");
    EXPECT_EQ(server.dbValue("SELECT IDUSER FROM TIMETABLE WHERE IDTIMETABLE = ?", {slot}).toInt(),
              0);
    EXPECT_EQ(
        server
            .dbValue("SELECT COUNT(*) FROM TTSTATUSHIST WHERE IDTIMETABLE = ? AND WHOCHANGE = ?",
                     {slot, Demo::Client})
            .toInt(),
        2);
    // The history shows up for staff with names and statuses.
    const TTableContent hist = server.table(other, "prov_ttstatushist");
    int rows = 0;
    for (int r = 0; r < int(hist.rows.size()); ++r)
        if (CellOf(hist, r, "IDTIMETABLE").toInteger() == slot &&
            CellOf(hist, r, "NEWSTATUS").toInteger() == 2) {
            ++rows;
            EXPECT_EQ(CellOf(hist, r, "FULLNAME_NEWUSER").toText(), QStringLiteral("Novák Jan"));
        }
    EXPECT_EQ(rows, 1);
}

TEST(ServerTimetable, BookingNeedsBookableHoursAndAFutureFreeSlot) {
    ServerHarness server;
    const QString newcomer = server.signIn("novacek"); // no paid hours yet
    const qint64 slot = FreeFutureSlot(server);
    EXPECT_TRUE(
        server.post("settimetablestatus", SetStatus(slot, 2), newcomer).body.startsWith("error"));
    const QString client = server.signIn("klient");
    const qint64 past =
        server
            .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE TIMETABLESTATUS = 1"
                     " AND WHENHOUR < ?",
                     {QDateTime::currentDateTime().addDays(-1)})
            .toLongLong();
    const qint64 held =
        server
            .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE TIMETABLESTATUS = 4"
                     " AND IDUSER <> ?",
                     {Demo::Client})
            .toLongLong();
    for (const QByteArray &data :
         {SetStatus(past, 2), SetStatus(held, 1), SetStatus(slot, 4), SetStatus(slot, 9),
          SetStatus(999999, 2), QByteArray("idtimetable=1")})
        EXPECT_TRUE(server.post("settimetablestatus", data, client).body.startsWith("error"))
            << data.toStdString();
    EXPECT_EQ(LessonStatus(server, slot), 1);
    EXPECT_EQ(LessonStatus(server, held), 4);
}

TEST(ServerTimetable, TeachersMoveTheirOwnLessonsAndStaffBookForAClient) {
    ServerHarness server;
    const QString teacher = server.signIn("lektor");
    const qint64 own = server
                           .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDTEACHER = ?"
                                    " AND TIMETABLESTATUS = 2",
                                    {Demo::Teacher})
                           .toLongLong();
    const qint64 foreign = server
                               .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDTEACHER = ?"
                                        " AND TIMETABLESTATUS = 2",
                                        {Demo::Teacher2})
                               .toLongLong();
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(own, 3), teacher).body, "ok");
    for (const QByteArray &data : {SetStatus(own, 7), SetStatus(own, 1), SetStatus(foreign, 3),
                                   SetStatus(FreeFutureSlot(server), 4)})
        EXPECT_TRUE(server.post("settimetablestatus", data, teacher).body.startsWith("error"))
            << data.toStdString();

    const QString staff = server.signIn("manazer");
    const qint64 slot = FreeFutureSlot(server, Demo::Teacher2);
    EXPECT_TRUE(
        server.post("settimetablestatus", SetStatus(slot, 3), staff).body.startsWith("error"));
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 3) + "&idclientnew=7", staff).body,
              "ok");
    EXPECT_EQ(server.dbValue("SELECT IDUSER FROM TIMETABLE WHERE IDTIMETABLE = ?", {slot}).toInt(),
              Demo::Client);
    EXPECT_TRUE(server
                    .post("settimetablestatus",
                          SetStatus(FreeFutureSlot(server), 2) + "&idclientnew=4", staff)
                    .body.startsWith("error"));
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 7), staff).body, "ok");
}

TEST(ServerAccounts, PasswordChangesAndResetsTakeEffectAtTheNextSignIn) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    // The client sends "pass=" and the fully form-encoded UTF-8 text; "&", "+", "=", "%" and
    // blanks must survive the trip.
    const QString password = QStringLiteral("Žlutý kůň & 50%+1=x");
    EXPECT_EQ(server.post("changepass", "pass=" + FormEncode(password.toUtf8()), client).body,
              "ok");
    EXPECT_EQ(server.login("klient", "klient").status, 203);
    EXPECT_TRUE(server.login("klient", password).body.startsWith("okzip"));

    EXPECT_TRUE(
        server.post("changepass", "iduser=7", server.signIn("lektor")).body.startsWith("error"));
    EXPECT_TRUE(
        server.post("changepass", "iduser=1", server.signIn("manazer")).body.startsWith("error"));
    EXPECT_EQ(server.post("changepass", "iduser=7", server.signIn("manazer")).body, "ok");
    EXPECT_TRUE(server.login("klient", "").body.startsWith("okzip"));
}

// The entrance test has 40 items; a client's first result stays.
TEST(ServerAccounts, TestResultIsStoredOnceForClientsOnlyAndWithinTheTest) {
    ServerHarness server;
    const QString newcomer = server.signIn("novacek");
    for (const char *refused : {"testresult=-1", "testresult=41", "testresult=1000"})
        EXPECT_TRUE(server.post("posttestresult", refused, newcomer).body.startsWith("error"))
            << refused;
    EXPECT_EQ(server.post("posttestresult", "testresult=33", newcomer).body, "ok");
    EXPECT_TRUE(server.post("posttestresult", "testresult=40", newcomer).body.startsWith("error"));
    const HttpReply again = server.login("novacek", "novacek");
    EXPECT_EQ(SessionSection(DecompressText(again.body.mid(5))).value("progtestresult"), "33");
    EXPECT_TRUE(server.post("posttestresult", "testresult=3", server.signIn("lektor"))
                    .body.startsWith("error"));
}

TEST(ServerBooks, FilesOfAllowedBooksOnlyAndRefusalsBeginWithError) {
    ServerHarness server;
    const QString client =
        server.signIn("student12", "heslo"); // books 1 only ("1" for id % 4 == 0)
    auto file = [&](const QString &session, int book, int index, int type) {
        return server.post("getbookfile",
                           QStringLiteral("bookid=%1&fileid=%2&filetype=%3")
                               .arg(book)
                               .arg(index)
                               .arg(type)
                               .toLatin1(),
                           session);
    };
    const HttpReply page = file(client, 1, 3, 1);
    EXPECT_TRUE(page.body.startsWith("\xFF\xD8")) << page.body.left(20).toStdString();
    QFile stored(server.dataFolder() + "/books/01/003.jpg");
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_EQ(page.body, stored.readAll());
    QFile recording(server.dataFolder() + "/books/01/a002.mp3");
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    const HttpReply audio = file(client, 1, 2, 2);
    ASSERT_FALSE(audio.body.isEmpty());
    EXPECT_EQ(audio.body, recording.readAll());
    EXPECT_EQ(quint8(audio.body.at(0)), 0xFF); // an MPEG audio frame
    for (const HttpReply &refused :
         {file(client, 2, 1, 1), file(client, 3, 0, 4), file(client, 1, 99, 1),
          file(client, 9, 1, 1), file(client, 1, 1, 7)})
        EXPECT_TRUE(refused.body.startsWith("error")) << refused.body.left(20).toStdString();
    // Teachers use every book; the HTML book travels as one ZIP archive.
    EXPECT_TRUE(file(server.signIn("lektor"), 3, 0, 4).body.startsWith("PK\x03\x04"));
}

TEST(ServerChats, AStudentsChatIsStoredAndReadByHisTeacher) {
    ServerHarness server;
    const QString student = server.signIn("novacek");
    const QByteArray rtf = "{\\rtf1\\ansi Dobr\\'fd den & 100% +ano\\par}";
    EXPECT_EQ(server.post("postchatfile", "chatdata=" + FormEncode(rtf), student).body, "ok");
    const HttpReply own = server.post("getchatfile", "aiduser=0", student);
    ASSERT_TRUE(own.body.startsWith("okzip"));
    EXPECT_EQ(DecompressText(own.body.mid(5)), rtf);
    // The teacher reads it while the student is in his lesson.
    server.onServer(
        [](CentralServer &s) { s.setOnlineClientIds([] { return QStringList{"2_4_8"}; }); });
    const HttpReply teacher = server.post("getchatfile", "aiduser=8", server.signIn("lektor"));
    EXPECT_EQ(DecompressText(teacher.body.mid(5)), rtf);
    EXPECT_TRUE(server.post("getchatfile", "aiduser=7", student).body.startsWith("error"));
    // A student without a history gets an empty one.
    EXPECT_EQ(server.post("getchatfile", "aiduser=0", server.signIn("student10", "heslo")).body,
              "okzip");
}

TEST(ServerRequests, MalformedRequestsGetAnErrorAndTheServerKeepsServing) {
    ServerHarness server([](ServerOptions &o) { o.maxRequestBytes = 64 * 1024; });
    const QString session = server.signIn("klient");
    EXPECT_TRUE(server.post("nosuchaction", "a=1", session).body.startsWith("error"));
    EXPECT_EQ(server.get("/tellavo/other.php").status, 404);
    EXPECT_EQ(server.get("/tellavo/client.php").status, 203); // no session, no action
    // Declared bodies beyond the limit are refused before they are read.
    const QByteArray huge =
        SendRaw(server.httpPort(), "POST /tellavo/client.php?action=login HTTP/1.1\r\nHost: x\r\n"
                                   "Content-Length: 999999999\r\n\r\nuser=");
    EXPECT_TRUE(huge.startsWith("HTTP/1.1 413")) << huge.left(40).toStdString();
    const QByteArray chunked =
        SendRaw(server.httpPort(), "POST /tellavo/client.php?action=login HTTP/1.1\r\nHost: x\r\n"
                                   "Transfer-Encoding: chunked\r\n\r\n5\r\nuser=\r\n0\r\n\r\n");
    EXPECT_TRUE(chunked.startsWith("HTTP/1.1 411")) << chunked.left(40).toStdString();
    SendRaw(server.httpPort(), "GARBAGE\r\n\r\n\x01\x02\x03", 300);
    SendRaw(server.httpPort(), QByteArray(70000, 'A'), 300);
    EXPECT_TRUE(server.post("getchatfile", "aiduser=0", session).body.startsWith("ok"));
}

// A client holds a bounded number of unpaid orders; a lesson is held or missed only once it
// has begun; a NUL in the sign-in name is an unknown name.
TEST(ServerRules, OrdersLessonsAndNamesAreBounded) {
    ServerHarness server;
    const QString newcomer = server.signIn("novacek");
    const QByteArray order = "idordertype=2";
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(server.post("neworder", order, newcomer).body.startsWith("ok")) << i;
    EXPECT_TRUE(server.post("neworder", order, newcomer).body.startsWith("error"));
    EXPECT_TRUE(server.post("neworder", order + "&iduser=8", server.signIn("manazer"))
                    .body.startsWith("ok")); // staff order for a client as before

    const QString teacher = server.signIn("lektor");
    const QDateTime ahead = QDateTime::currentDateTime().addDays(3);
    const qint64 future = server
                              .dbValue("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDTEACHER = ?"
                                       " AND TIMETABLESTATUS IN (2, 3) AND WHENHOUR > ?",
                                       {Demo::Teacher, ahead})
                              .toLongLong();
    ASSERT_GT(future, 0);
    for (const int status : {4, 5})
        EXPECT_TRUE(server.post("settimetablestatus", SetStatus(future, status), teacher)
                        .body.startsWith("error"))
            << status;
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(future, 3), teacher).body, "ok");

    // The client sends the name full-form-encoded: a NUL byte as %00.
    EXPECT_EQ(server.post("login", "user=klient%00&pass=klient&envlang=2", {}).status, 203);
}
