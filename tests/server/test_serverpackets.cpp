// Provider packets written as a stream: the same bytes as the table content written by the
// client's packet writer, for every provider and user, plain and zipped, with awkward values.
#include "wire/packetcodec.h"
#include "wire/packetvalues.h"
#include "wire/compression.h"
#include "referencepacket.h"
#include "server/actions/actioncontext.h"
#include "server/centralserver.h"
#include "server/packets/freeslotcache.h"
#include "server/packets/packetfields.h"
#include "server/packets/packetstream.h"
#include "server/packets/packettext.h"
#include "server/packets/providers.h"
#include "server/store/schooldatabase.h"
#include "server/packets/userstatistics.h"
#include "serverharness.h"

#include <QRandomGenerator>
#include <ctime>
#include <gtest/gtest.h>

namespace {

const QStringList kProviders{
    "prov_ordertype",  "prov_course",    "prov_orderstatus", "prov_ttstatus",
    "prov_userlevel",  "prov_usertype",  "prov_user",        "prov_user_info",
    "prov_order",      "prov_orderhist", "prov_timetable",   "prov_ttstatushist",
    "prov_userremark", "prov_login",     "prov_msg",         "prov_onlineteacher"};

// Every ASCII character but NUL (which PostgreSQL refuses), letters with diacritics, a
// character beyond the basic plane, a lone surrogate and the two non-characters.
QString AwkwardText() {
    QString text;
    for (char16_t c = 1; c < 128; ++c)
        text += QChar(c);
    text += QStringLiteral(" Žluťoučký kůň úpěl ďábelské ódy ä ß € ");
    text += QString::fromUtf8("\xF0\x9F\x98\x80");
    text += QChar(0xD800);
    text += QChar(0xFFFE);
    text += QChar(0xFFFF);
    return text;
}

// Gives the demo school values that take every path of the writer: short and long texts,
// plain and with characters the database converts, memos, numbers and date-times.
void MakeAwkward(SchoolDatabase &db) {
    const QString awkward = AwkwardText();
    const QString plain = awkward.chopped(3); // without the surrogate and the non-characters
    db.run("UPDATE USERS SET SURNAME = ?, FIRSTNAME = ?, TITLE = '', REMARK = ? WHERE IDUSER = ?",
           {plain.left(60), awkward.right(60), plain.repeated(40), Demo::Client});
    db.run("UPDATE USERREMARKS SET REMARK = ?", {awkward});
    db.run("UPDATE MSGS SET EMAILSUBJECT = ?, EMAILBODY = ?",
           {awkward.left(200), awkward.repeated(30)});
    db.run("UPDATE TIMETABLE SET HOURS = 1.25 WHERE IDTIMETABLE IN (SELECT MIN(IDTIMETABLE)"
           " FROM TIMETABLE)");
    db.run("UPDATE ORDERS SET AMOUNT = 12345678.91, WHENSTATUSCHANGE = ?",
           {QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9, 123))});
    db.run("UPDATE ORDERHIST SET WHENCHANGE = ?", {QDateTime(QDate(2024, 3, 5), QTime(0, 0))});
    if (db.isPostgres())
        return;
    // Values only SQLite keeps: malformed UTF-8, texts longer than a piece of the writer, texts
    // that are no date-time, and numbers stored as text or as a float where integers belong.
    db.run("UPDATE USERS SET TITLE = CAST(X'C3A9A9FF41E08080EDA080F4908080C3' AS TEXT),"
           " STREET_F = ?, CITY_F = ?, WHENBORN = 'abc', WHENCONFIRMREGIST = '2024-02-30T10:00:00',"
           " HOURDEBIT = '1,5' WHERE IDUSER = ?",
           {awkward.repeated(80), plain.repeated(80), Demo::Client});
    db.run("UPDATE USERREMARKS SET REMARK = CAST(X'41C3A9FF' AS TEXT) WHERE IDUSERREMARK IN"
           " (SELECT MIN(IDUSERREMARK) FROM USERREMARKS)");
    db.run("UPDATE TIMETABLE SET WHOSTATUSCHANGE = 2.5, WHENSTATUSCHANGE = '2024-03-05 07:08'"
           " WHERE IDTIMETABLE IN (SELECT MAX(IDTIMETABLE) FROM TIMETABLE)");
}

// Where two packets part, with a little of each from there; empty when they are equal.
std::string Difference(const QByteArray &actual, const QByteArray &expected) {
    if (actual == expected)
        return {};
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return QStringLiteral("differ at byte %1 of %2/%3: \"%4\" instead of \"%5\"")
        .arg(at)
        .arg(actual.size())
        .arg(expected.size())
        .arg(QString::fromUtf8(actual.mid(qMax(0, at - 20), 80)),
             QString::fromUtf8(expected.mid(qMax(0, at - 20), 80)))
        .toStdString();
}

struct Fetched {
    bool refused = false;
    QByteArray bytes;
};

Fetched FetchWith(ActionContext &ctx, const QString &provider, PacketOutput::Mode mode) {
    Fetched f;
    try {
        PacketOutput out(mode);
        WriteProviderPacket(ctx, provider, out);
        f.bytes = out.finish();
    } catch (const Refusal &) {
        f.refused = true;
    }
    return f;
}

Fetched FetchReference(ActionContext &ctx, const QString &provider) {
    Fetched f;
    try {
        ReferencePacket reference;
        FetchProvider(ctx, provider, reference);
        f.bytes = reference.packet();
    } catch (const Refusal &) {
        f.refused = true;
    }
    return f;
}

} // namespace

TEST(ServerPackets, StreamWritesTheBytesOfTheTableWriterForEveryProviderAndUser) {
    ServerHarness server;
    server.onServer([](CentralServer &s) {
        MakeAwkward(s.database());
        ActionRequest request;
        LoginThrottle throttle(5, 30);
        QStringList onlineIds;
        const OnlineClientIds online = [&onlineIds] { return onlineIds; };
        // A student's timetable comes from the free slots kept in pieces of two rows, so that
        // it takes every splice.
        FreeSlotCache cache(2);
        for (qint64 user :
             {Demo::Director, Demo::Manager, Demo::Manager2, Demo::Teacher, Demo::Client}) {
            for (int envLang : {2, 3}) {
                Session session;
                session.userId = user;
                session.userType =
                    s.database()
                        .scalar("SELECT USERTYPE FROM USERS WHERE IDUSER = ?", {user})
                        .toInt();
                session.jobId =
                    s.database().scalar("SELECT IDJOB FROM USERS WHERE IDUSER = ?", {user}).toInt();
                session.envLang = envLang;
                const QString job = QString::number(session.jobId);
                onlineIds = {job + "_4", job + "_5", job + "_4_7", "x_6"};
                ActionContext ctx{request,      std::make_shared<const Session>(session),
                                  s.database(), s.sessions(),
                                  throttle,     s.options(),
                                  s.clock(),    online,
                                  &cache};
                for (const QString &provider : kProviders) {
                    SCOPED_TRACE(QStringLiteral("%1 as user %2, language %3")
                                     .arg(provider)
                                     .arg(user)
                                     .arg(envLang)
                                     .toStdString());
                    const Fetched reference = FetchReference(ctx, provider);
                    const Fetched plain = FetchWith(ctx, provider, PacketOutput::Plain);
                    const Fetched zipped = FetchWith(ctx, provider, PacketOutput::Zipped);
                    ASSERT_EQ(plain.refused, reference.refused);
                    ASSERT_EQ(zipped.refused, reference.refused);
                    EXPECT_EQ(Difference(plain.bytes, reference.bytes), "");
                    EXPECT_EQ(Difference(DecompressText(zipped.bytes), reference.bytes), "");
                }
            }
        }
    });
}

// A student's timetable made of his own rows and the free slots kept for his job is the
// packet read whole by the query, after every change that touches it.
TEST(ServerPackets, StudentTimetableFromKeptFreeSlotsFollowsEveryChange) {
    ServerHarness server;
    server.onServer([](CentralServer &s) {
        SchoolDatabase &db = s.database();
        ActionRequest request;
        LoginThrottle throttle(5, 30);
        const OnlineClientIds online = [] { return QStringList(); };
        FreeSlotCache cache(3);
        Session session;
        session.userId = Demo::Client;
        session.userType = 4;
        session.jobId =
            db.scalar("SELECT IDJOB FROM USERS WHERE IDUSER = ?", {Demo::Client}).toInt();
        session.envLang = 2;
        ActionContext ctx{request,   std::make_shared<const Session>(session),
                          db,        s.sessions(),
                          throttle,  s.options(),
                          s.clock(), online,
                          &cache};
        const QVariant job = session.jobId;
        auto firstFree = [&](int fromDay = 0) {
            return db.scalar("SELECT MIN(IDTIMETABLE) FROM TIMETABLE WHERE IDJOB = ? AND"
                             " TIMETABLESTATUS = 1 AND WHENHOUR >= ?",
                             {job, s.clock().now().addDays(fromDay)});
        };
        const QVariant other = db.scalar("SELECT MIN(IDUSER) FROM USERS WHERE USERTYPE = 4 AND"
                                         " IDUSER <> ?",
                                         {Demo::Client});
        const QDateTime later(s.clock().now().date().addDays(3), QTime(10, 0));
        // What changed, whether the free slots are read again, and the change.
        struct Change {
            const char *what;
            bool readAgain;
            std::function<void()> make;
        };
        const QList<Change> changes{
            {"nothing changed", true, [] {}},
            {"again, from the kept slots", false, [] {}},
            {"a free slot booked by him", true,
             [&] {
                 db.run(
                     "UPDATE TIMETABLE SET IDUSER = ?, TIMETABLESTATUS = 2 WHERE IDTIMETABLE = ?",
                     {Demo::Client, firstFree()});
             }},
            {"a free slot in his name", true,
             [&] {
                 db.run("UPDATE TIMETABLE SET IDUSER = ? WHERE IDTIMETABLE = ?",
                        {Demo::Client, firstFree()});
             }},
            {"a free slot booked by another student", true,
             [&] {
                 db.run(
                     "UPDATE TIMETABLE SET IDUSER = ?, TIMETABLESTATUS = 2 WHERE IDTIMETABLE = ?",
                     {other, firstFree()});
             }},
            {"a teacher renamed", true,
             [&] {
                 db.run("UPDATE USERS SET SURNAME = 'Přejmenovaná' WHERE IDUSER = ?",
                        {Demo::Teacher});
             }},
            {"the free status renamed", true,
             [&] {
                 db.run("UPDATE TTSTATUSES SET STATUSNAME_CS = 'Volný termín'"
                        " WHERE IDTIMETABLESTATUS = 1");
             }},
            {"a free slot added", true,
             [&] {
                 db.run("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER, IDUSER, WHENHOUR,"
                        " HOURS, TIMETABLESTATUS) VALUES (?, ?, ?, 0, ?, 1, 1)",
                        {db.nextId("TIMETABLE", "IDTIMETABLE"), job, Demo::Teacher, later});
             }},
            {"a free slot removed", true,
             [&] { db.run("DELETE FROM TIMETABLE WHERE IDTIMETABLE = ?", {firstFree()}); }},
            {"two days later", false, [&] { s.clock().advance(2 * 86400); }},
            {"a day before the first fetch", true, [&] { s.clock().advance(-3 * 86400); }},
            // SQLite keeps a time as it was written; one written in another form orders
            // differently, and the timetable is then read whole, as the query orders it.
            {"a lesson time in another form", !db.isPostgres(),
             [&] {
                 // Late on the day of a free slot, written with a space: the query puts it
                 // before that slot.
                 if (!db.isPostgres())
                     db.run("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER, IDUSER,"
                            " WHENHOUR, HOURS, TIMETABLESTATUS) SELECT ?, IDJOB, IDTEACHER, 0,"
                            " SUBSTR(WHENHOUR, 1, 10) || ' 23:30:00', 1, 1 FROM TIMETABLE"
                            " WHERE IDTIMETABLE = ?",
                            {db.nextId("TIMETABLE", "IDTIMETABLE"), firstFree(2)});
             }},
            {"again, read whole without reading the free slots", false, [] {}},
        };
        for (const Change &change : changes) {
            SCOPED_TRACE(change.what);
            const int reads = cache.reads();
            change.make();
            const Fetched reference = FetchReference(ctx, "prov_timetable");
            ASSERT_GT(reference.bytes.count("<ROW "), 6); // more rows than two pieces
            EXPECT_EQ(Difference(FetchWith(ctx, "prov_timetable", PacketOutput::Plain).bytes,
                                 reference.bytes),
                      "");
            EXPECT_EQ(Difference(DecompressText(
                                     FetchWith(ctx, "prov_timetable", PacketOutput::Zipped).bytes),
                                 reference.bytes),
                      "");
            EXPECT_EQ(cache.reads(), reads + (change.readAgain ? 1 : 0));
        }
    });
}

// Paid hours expire by the school's wall clock, also where it is not UTC: an order running out
// in half an hour still holds its hours, one that ran out half an hour ago does not.
TEST(ServerPackets, PaidHoursExpireByTheWallClock) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Prague");
    tzset();
    ServerHarness server;
    server.onServer([](CentralServer &s) {
        SchoolDatabase &db = s.database();
        const int job =
            db.scalar("SELECT IDJOB FROM USERS WHERE IDUSER = ?", {Demo::Client}).toInt();
        db.run("DELETE FROM ORDERS WHERE IDUSER = ?", {Demo::Client});
        db.run("UPDATE TIMETABLE SET IDUSER = 0, TIMETABLESTATUS = 1 WHERE IDUSER = ?",
               {Demo::Client});
        const QDateTime now = QDateTime::currentDateTime();
        auto order = [&](qint64 id, double hours, qint64 secondsToExpiry) {
            const QDateTime ordered = now.addSecs(secondsToExpiry).addMonths(-1);
            db.run("INSERT INTO ORDERS (IDORDER, IDUSER, IDJOB, ORDERTYPE, WHENORDER, VARSYMBOL,"
                   " AMOUNT, TEACHHOURS, EXPIREMONTHS, ORDERSTATUS) VALUES"
                   " (?, ?, ?, 1, ?, 'x', 100, ?, 1, 2)",
                   {id, Demo::Client, job,
                    ordered.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")), hours});
        };
        order(db.nextId("ORDERS", "IDORDER"), 5, 30 * 60);
        order(db.nextId("ORDERS", "IDORDER"), 3, -30 * 60);
        const UserStats stats =
            ComputeUserStatistics(db, job, Demo::Client, now).value(Demo::Client);
        EXPECT_EQ(stats.hoursExpired, 3);
        EXPECT_EQ(stats.whenExpireHoursFree.time().minute(), now.addSecs(30 * 60).time().minute());
    });
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

TEST(ServerPackets, ZippedOutputInflatesToWhatWasWrittenInPiecesOfAnySize) {
    PacketOutput zipped(PacketOutput::Zipped, "okzip");
    PacketOutput plain(PacketOutput::Plain, "ok");
    QByteArray expected;
    QRandomGenerator random(7);
    // Small writes across many pieces, one write larger than a piece, an empty write.
    QList<qsizetype> sizes;
    for (int i = 0; i < 4000; ++i)
        sizes << random.bounded(1, 200);
    sizes << 300 * 1024 << 0 << 17;
    for (qsizetype size : sizes) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (char &c : bytes)
            c = char('a' + random.bounded(26));
        zipped.append(bytes);
        plain.append(bytes);
        expected += bytes;
    }
    const QByteArray reply = zipped.finish();
    ASSERT_TRUE(reply.startsWith("okzip"));
    EXPECT_EQ(DecompressText(reply.mid(5)), expected);
    EXPECT_EQ(plain.finish(), "ok" + expected);
}

TEST(ServerPackets, TextFormsMatchTheClientWriter) {
    char buffer[64 * PacketText::kEscapedPerByte];
    auto escaped = [&](std::string_view text) {
        const char *end = PacketText::WriteEscaped(buffer, text);
        return end ? QByteArray(buffer, end - buffer) : QByteArray("(none)");
    };
    for (char16_t c = 0; c < 128; ++c) {
        QByteArray expected;
        PacketCodec::AppendEscaped(expected, QString(QChar(c)), true);
        const char ch = char(c);
        EXPECT_EQ(escaped(std::string_view(&ch, 1)), expected) << "character " << int(c);
    }
    const QString wellFormed = QStringLiteral("ďábel ß € ") + QString::fromUtf8("\xF0\x9F\x98\x80");
    QByteArray expected;
    PacketCodec::AppendEscaped(expected, wellFormed, true);
    EXPECT_EQ(escaped(wellFormed.toUtf8().toStdString()), expected);
    // Bytes the database would turn into other characters are left to its own conversion.
    for (const char *bad : {"\xC3", "\xC3\xA9\xA9", "\xFF", "\xE0\x80\x80", "\xED\xA0\x80",
                            "\xEF\xBF\xBE", "\xF4\x90\x80\x80", "\xC0\xAF"})
        EXPECT_EQ(escaped(bad), "(none)") << bad;

    for (int size = 0; size < 8; ++size) {
        const QByteArray bytes = QByteArray("\xFF\x01\x80xyz\x7F\x10", size);
        const char *end = PacketText::WriteBase64(buffer, bytes.toStdString());
        EXPECT_EQ(QByteArray(buffer, end - buffer), bytes.toBase64());
    }

    for (const char *stored :
         {"2024-03-05T07:08:09.123", "2024-03-05T00:00:00.000", "2024-03-05", "2024-03-05 07:08:09",
          "2024-03-05T23:59:59.999x", "2024-02-29T12:00:00", "2023-02-29T12:00:00",
          "2024-03-05T24:00:00", "2024-3-05T07:08:09", "0000-01-01", "2024-03-05T07:08",
          "2024-03-05T07:08:09.12"}) {
        const std::optional<TDateTimeMs> parsed = ParseStoredDateTime(QString::fromLatin1(stored));
        QByteArray expected = "(none)";
        if (parsed) {
            expected.clear();
            PacketValues::AppendDateTime(expected, *parsed, TFieldType::DateTime);
        }
        const char *end = PacketText::WriteStoredDateTime(buffer, stored);
        EXPECT_EQ(end ? QByteArray(buffer, end - buffer) : QByteArray("(none)"), expected)
            << stored;
    }
}
