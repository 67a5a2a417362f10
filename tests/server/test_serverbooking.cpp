// Booking beyond the basic timetable, end to end against the reference server: the features
// question, the cancellation deadline, repeating bookings, the calendar feed, reminders with a
// moved clock, the e-mail when hours run out and waiting for a slot. E-mails are read with
// Python's email package and their calendars, like the feed, with python3-icalendar.
#include "net/requestoutcome.h"
#include "server/booking/bookingsettings.h"
#include "server/booking/reminders.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"
#include "serverharness.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlQuery>
#include <QTimeZone>
#include <gtest/gtest.h>
#include <time.h>

namespace {

// A teacher's name with everything a calendar or mail reader could trip over.
const QString kHostileSurname = QStringLiteral("Nov\"ák; Petr, \\ \u0001X\nДмитрий 李");

// A reply as the program reads it (refusals come in the 8-bit code page).
QString Text(const HttpReply &reply) {
    return ReplyText(reply.body);
}

QByteArray SetStatus(qint64 lesson, int status) {
    return "idtimetable=" + QByteArray::number(lesson) + "&newstatus=" + QByteArray::number(status);
}

// Runs SQL on the server's own connection.
void Exec(ServerHarness &server, const QString &sql, const QVariantList &binds = {}) {
    server.onServer([&](CentralServer &s) { s.database().run(sql, binds); });
}

// A free slot of a teacher at a wall time of the school (a time no demo slot uses).
qint64 AddSlot(ServerHarness &server, qint64 teacher, const QDateTime &when) {
    qint64 id = 0;
    server.onServer([&](CentralServer &s) {
        id = s.database().nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
        s.database().run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER,"
                                        " IDUSER, WHENHOUR, HOURS, TIMETABLESTATUS) SELECT ?,"
                                        " IDJOB, IDUSER, 0, ?, 1, 1 FROM USERS WHERE IDUSER = ?"),
                         {id, when, teacher});
    });
    return id;
}

// The server's "now" to the minute, moved by hours, at half past (no demo slot is there).
QDateTime HalfPastIn(ServerHarness &server, int hours) {
    QDateTime t;
    server.onServer([&](CentralServer &s) { t = s.clock().now(); });
    t = t.addSecs(qint64(hours) * 3600);
    return QDateTime(t.date(), QTime(t.time().hour(), 30));
}

int Status(ServerHarness &server, qint64 lesson) {
    return server.dbValue("SELECT TIMETABLESTATUS FROM TIMETABLE WHERE IDTIMETABLE = ?", {lesson})
        .toInt();
}

// The newcomer with a given number of bookable hours (his debit) and an address.
QString NewcomerWithHours(ServerHarness &server, int hours) {
    Exec(server, "UPDATE USERS SET HOURDEBIT = ?, EMAIL = 'novacek@example.cz' WHERE IDUSER = ?",
         {hours, Demo::Newcomer});
    return server.signIn("novacek");
}

QString PythonWith(const char *module) {
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")})
        if (QProcess::execute(candidate,
                              {QStringLiteral("-c"), QStringLiteral("import %1").arg(module)}) == 0)
            return candidate;
    return {};
}

// Runs a Python script over files and reads its JSON answer.
QJsonValue RunPython(const QString &script, const QStringList &files) {
    const QString python = PythonWith("icalendar");
    if (python.isEmpty())
        return {};
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + files);
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(process.readAllStandardOutput()).object().value("out");
}

// Every event of an iCalendar text as the third-party reader sees it.
const char *kCalendarReader = R"(
import datetime
from icalendar import Calendar
def events(data):
    cal = Calendar.from_ical(data)
    out = []
    for e in cal.walk('VEVENT'):
        s = e.decoded('DTSTART'); d = e.decoded('DTEND')
        out.append({'uid': str(e['UID']), 'summary': str(e['SUMMARY']),
                    'description': str(e.get('DESCRIPTION', '')), 'status': str(e.get('STATUS', '')),
                    'sequence': int(e.get('SEQUENCE', 0)),
                    'start': s.strftime('%Y-%m-%d %H:%M'), 'minutes': int((d - s).total_seconds() // 60),
                    'offset': int(s.utcoffset().total_seconds()),
                    'utc': s.astimezone(datetime.timezone.utc).strftime('%Y-%m-%d %H:%M')})
    return {'method': str(cal.get('METHOD', '')), 'events': out}
)";

// Every outbox message given as the mail reader sees it: headers, text, attached calendars.
QJsonArray ReadMails(const QStringList &files) {
    const QString script = QString::fromLatin1(kCalendarReader) + QStringLiteral(R"(
import sys, json, email
from email import policy
mails = []
for name in sys.argv[1:]:
    msg = email.message_from_binary_file(open(name, 'rb'), policy=policy.default)
    body = msg.get_body(preferencelist=('plain',))
    cals = [dict(events(p.get_payload(decode=True)), ctype=p.get_content_type(),
                 param=p.get_param('method'), filename=p.get_filename())
            for p in msg.walk() if p.get_content_type() == 'text/calendar']
    mails.append({'to': str(msg['To']), 'subject': str(msg['Subject']),
                  'text': body.get_content() if body else '', 'calendars': cals,
                  'defects': len(msg.defects)})
print(json.dumps({'out': mails}))
)");
    return RunPython(script, files).toArray();
}

QJsonObject ReadCalendar(const QByteArray &text) {
    QFile file(QDir::tempPath() + QStringLiteral("/tellavo-feed-%1.ics").arg(getpid()));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    const QString script = QString::fromLatin1(kCalendarReader) + QStringLiteral(R"(
import sys, json
print(json.dumps({'out': events(open(sys.argv[1], 'rb').read())}))
)");
    const QJsonObject result = RunPython(script, {file.fileName()}).toObject();
    file.remove();
    return result;
}

// The outbox files of the messages of one kind to one person (about one lesson), oldest first.
QStringList Outbox(ServerHarness &server, const char *type, qint64 receiver, qint64 about = -1) {
    QStringList files;
    server.onServer([&](CentralServer &s) {
        QSqlQuery q = s.database().run(
            QStringLiteral("SELECT IDMSG FROM MSGS WHERE MSGTYPE = ? AND WHORECEIVER = ?"
                           " AND (? < 0 OR IDREF = ?) ORDER BY IDMSG"),
            {QString::fromLatin1(type), receiver, about, about});
        while (q.next())
            files << server.dataFolder() +
                         QStringLiteral("/outbox/%1.eml")
                             .arg(q.value(0).toLongLong(), 6, 10, QLatin1Char('0'));
    });
    return files;
}

int SweepReminders(ServerHarness &server) {
    int sent = 0;
    server.onServer([&](CentralServer &s) {
        sent = SendDueReminders(s.database(), s.options(), s.clock().now());
    });
    return sent;
}

// The school's zone for the length of a test (each test runs in a process of its own).
class SchoolZone {
public:
    explicit SchoolZone(const char *zone) : m_old(qgetenv("TZ")) {
        qputenv("TZ", zone);
        tzset();
    }
    ~SchoolZone() {
        if (m_old.isEmpty())
            qunsetenv("TZ");
        else
            qputenv("TZ", m_old);
        tzset();
    }

private:
    QByteArray m_old;
};

#define REQUIRE_ICALENDAR()                                                                        \
    if (PythonWith("icalendar").isEmpty())                                                         \
    GTEST_SKIP() << "python3-icalendar is not installed (scripts/install-deps installs it)"

} // namespace

TEST(ServerBooking, TheFeaturesAreOfferedWithTheSchoolsSettings) {
    ServerHarness server;
    Exec(server, "INSERT INTO SERVERINFO (NAME, VALUE) VALUES ('CANCELDEADLINEHOURS', '48')");
    Exec(server, "INSERT INTO SERVERINFO (NAME, VALUE) VALUES ('LOWBALANCEHOURS', 'x')");
    const HttpReply reply = server.post("bookingfeatures", "", server.signIn("klient"));
    ASSERT_TRUE(reply.body.startsWith("ok")) << reply.body.toStdString();
    const QStringList lines = QString::fromUtf8(reply.body.mid(2)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(lines.value(0), "features=deadline lowbalance repeat feed reminders waits");
    EXPECT_TRUE(lines.contains("canceldeadlinehours=48"));
    EXPECT_TRUE(lines.contains("lowbalancehours=2")) << "an unreadable setting gives the default";
    EXPECT_TRUE(lines.contains("reminderhours=24"));
    EXPECT_TRUE(lines.contains("slotfreedcount=0"));
}

// A server without the features answers their actions as any unknown action and has no feeds;
// the basic timetable works as before, a late cancel included.
TEST(ServerBooking, AServerWithoutTheFeaturesKnowsNoneOfThem) {
    ServerHarness server([](ServerOptions &o) { o.bookingFeatures = false; });
    const QString client = server.signIn("klient");
    for (const char *action :
         {"bookingfeatures", "nextlesson", "bookrepeat", "calendarfeed", "waitforslot"})
        EXPECT_TRUE(Text(server.post(action, "op=get&weeks=2&idtimetable=1", client))
                        .startsWith(QStringLiteral("errorNeznámá akce")))
            << action;
    EXPECT_EQ(server.get("/tellavo/calendar/" + QByteArray(43, 'a') + ".ics").status, 404);
    const qint64 slot = AddSlot(server, Demo::Teacher3, HalfPastIn(server, 3));
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 2), client).body, "ok");
    EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 1), client).body, "ok");
}

TEST(ServerBooking, AClientCancelsNoLaterThanTheDeadlineStaffAlways) {
    ServerHarness server;
    const QString client = server.signIn("klient");
    const QString staff = server.signIn("manazer");
    struct Case {
        int deadline, hoursAhead;
        bool clientMay;
    };
    const Case cases[] = {
        {24, 3, false}, {24, 23, false}, {24, 26, true}, {48, 30, false}, {0, 1, true}};
    for (const Case &c : cases) {
        server.onServer([&](CentralServer &s) {
            BookingSettings::Write(s.database(), "CANCELDEADLINEHOURS", c.deadline);
        });
        const qint64 slot = AddSlot(server, Demo::Teacher3, HalfPastIn(server, c.hoursAhead));
        ASSERT_EQ(server.post("settimetablestatus", SetStatus(slot, 2), client).body, "ok");
        const QString cancel = Text(server.post("settimetablestatus", SetStatus(slot, 1), client));
        if (c.clientMay) {
            EXPECT_EQ(cancel, QStringLiteral("ok")) << c.deadline << " " << c.hoursAhead;
            continue;
        }
        EXPECT_EQ(cancel,
                  QStringLiteral("errorRezervaci lze zrušit nejpozději %1 h před začátkem lekce.")
                      .arg(c.deadline));
        EXPECT_EQ(Status(server, slot), 2);
        EXPECT_EQ(server.post("settimetablestatus", SetStatus(slot, 1), staff).body, "ok");
        EXPECT_EQ(Status(server, slot), 1);
    }
    // In Slovak for a Slovak session.
    server.onServer(
        [&](CentralServer &s) { BookingSettings::Write(s.database(), "CANCELDEADLINEHOURS", 24); });
    const qint64 slot = AddSlot(server, Demo::Teacher3, HalfPastIn(server, 2));
    const QString slovak = server.signIn("klient", {}, 3);
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(slot, 2), slovak).body, "ok");
    EXPECT_TRUE(Text(server.post("settimetablestatus", SetStatus(slot, 1), slovak))
                    .startsWith(QStringLiteral("errorRezerváciu je možné zrušiť najneskôr")));
}

TEST(ServerBooking, ARepeatingBookingIsAllOrNothingAndNamesEveryConflict) {
    ServerHarness server;
    const QString client = NewcomerWithHours(server, 3);
    const QDateTime first = HalfPastIn(server, 50);
    QList<qint64> weekSlots;
    for (int week = 0; week < 4; ++week)
        weekSlots << AddSlot(server, Demo::Teacher3, first.addDays(7 * week));
    // Week 3 is taken by another client; week 4 has no slot of this teacher at all.
    Exec(server, "DELETE FROM TIMETABLE WHERE IDTIMETABLE = ?", {weekSlots[3]});
    ASSERT_EQ(
        server.post("settimetablestatus", SetStatus(weekSlots[2], 2), server.signIn("klient")).body,
        "ok");
    const QByteArray base = "idtimetable=" + QByteArray::number(weekSlots[0]);

    const HttpReply check = server.post("bookrepeat", base + "&weeks=4&check=1", client);
    const QString third = first.addDays(14).toString("yyyy-MM-dd HH:mm:ss");
    const QString fourth = first.addDays(21).toString("yyyy-MM-dd HH:mm:ss");
    EXPECT_EQ(QString::fromUtf8(check.body),
              "okconflicts=2\r\nconflict1=" + third + "\r\nconflict2=" + fourth);

    const QString refusal = Text(server.post("bookrepeat", base + "&weeks=4", client));
    EXPECT_TRUE(refusal.startsWith("errorV těchto týdnech není v tento čas volný termín: " +
                                   first.addDays(14).toString("d. M. yyyy H:mm") + ", " +
                                   first.addDays(21).toString("d. M. yyyy H:mm") + "."))
        << refusal.toStdString();
    EXPECT_EQ(Status(server, weekSlots[0]), 1) << "nothing booked";
    EXPECT_EQ(Status(server, weekSlots[1]), 1);

    EXPECT_EQ(QString::fromUtf8(server.post("bookrepeat", base + "&weeks=2&check=1", client).body),
              "okconflicts=0");
    EXPECT_EQ(server.post("bookrepeat", base + "&weeks=2", client).body, "ok2");
    for (const qint64 slot : {weekSlots[0], weekSlots[1]}) {
        EXPECT_EQ(Status(server, slot), 2);
        EXPECT_EQ(server
                      .dbValue("SELECT COUNT(*) FROM TTSTATUSHIST WHERE IDTIMETABLE = ?"
                               " AND NEWUSER = ? AND NEWSTATUS = 2",
                               {slot, Demo::Newcomer})
                      .toInt(),
                  1);
    }
}

TEST(ServerBooking, HostileRepeatRequestsAreRefusedClearly) {
    ServerHarness server;
    const QString client = NewcomerWithHours(server, 3);
    const QDateTime first = HalfPastIn(server, 50);
    QList<qint64> weekSlots;
    for (int week = 0; week < 5; ++week)
        weekSlots << AddSlot(server, Demo::Teacher3, first.addDays(7 * week));
    const QByteArray base = "idtimetable=" + QByteArray::number(weekSlots[0]);
    struct Case {
        QByteArray data;
        const char *login;
        const char *refusal;
    };
    const Case cases[] = {
        {base + "&weeks=10000", "novacek", "errorHodnota položky weeks"},
        {base + "&weeks=0", "novacek", "errorHodnota položky weeks"},
        {base + "&weeks=-3", "novacek", "errorHodnota položky weeks"},
        {base + "&weeks=99999999999999999999", "novacek", "errorChybný požadavek"},
        {base + "&weeks=4", "novacek", "errorNa tolik týdnů nemáte dost volných hodin"},
        {"idtimetable=99999999&weeks=2", "novacek", "errorTermín nebyl nalezen"},
        {base + "&weeks=2", "lektor3", "errorNemáte oprávnění"},
        {base, "novacek", "errorChybí parametr požadavku: weeks"},
    };
    for (const Case &c : cases) {
        const QString session =
            QLatin1String(c.login) == "novacek" ? client : server.signIn(c.login);
        const QString body = Text(server.post("bookrepeat", c.data, session));
        EXPECT_TRUE(body.startsWith(QString::fromUtf8(c.refusal)))
            << c.data.toStdString() << " -> " << body.toStdString();
    }
    for (const qint64 slot : weekSlots)
        EXPECT_EQ(Status(server, slot), 1);
}

// The feed needs no session, shows only the owner's lessons with the school's zone, reads
// back whole with hostile names, and stops at once when revoked; guessed addresses get 404.
TEST(ServerBooking, TheCalendarFeedShowsOnlyItsOwnersLessons) {
    REQUIRE_ICALENDAR();
    SchoolZone zone("Europe/Prague");
    ServerHarness server;
    Exec(server, "UPDATE USERS SET SURNAME = ? WHERE IDUSER = ?", {kHostileSurname, Demo::Teacher});
    const QString client = server.signIn("klient");
    EXPECT_EQ(server.post("calendarfeed", "op=show", client).body, "ok") << "none yet";
    const HttpReply address = server.post("calendarfeed", "op=get", client);
    ASSERT_TRUE(address.body.startsWith("ok/tellavo/calendar/")) << address.body.toStdString();
    const QByteArray path = address.body.mid(2);
    EXPECT_EQ(server.post("calendarfeed", "op=get", client).body.mid(2), path) << "kept";
    EXPECT_EQ(server.post("calendarfeed", "op=show", client).body.mid(2), path);
    EXPECT_NE(
        server.post("calendarfeed", "op=get", server.signIn("student10", "heslo")).body.mid(2),
        path);

    const HttpReply feed = server.get(path);
    ASSERT_EQ(feed.status, 200);
    const QJsonObject calendar = ReadCalendar(feed.body);
    EXPECT_EQ(calendar.value("method").toString(), "PUBLISH");
    // Exactly the client's lessons of the window, each at its school time.
    QHash<QString, QDateTime> expected;
    server.onServer([&](CentralServer &s) {
        const QDateTime now = s.clock().now();
        QSqlQuery q = s.database().run(
            QStringLiteral("SELECT IDTIMETABLE, WHENHOUR FROM TIMETABLE WHERE IDUSER = ? AND"
                           " TIMETABLESTATUS IN (2, 3, 4, 5) AND WHENHOUR >= ? AND WHENHOUR < ?"),
            {Demo::Client, now.addDays(-60), now.addYears(1)});
        while (q.next())
            expected.insert(QStringLiteral("timetable-%1@localhost").arg(q.value(0).toLongLong()),
                            q.value(1).toDateTime());
    });
    const QJsonArray events = calendar.value("events").toArray();
    ASSERT_GT(expected.size(), 0);
    EXPECT_EQ(events.size(), expected.size());
    const QTimeZone prague("Europe/Prague");
    int withHostileName = 0;
    for (const QJsonValue &value : events) {
        const QJsonObject e = value.toObject();
        ASSERT_TRUE(expected.contains(e.value("uid").toString()))
            << e.value("uid").toString().toStdString();
        const QDateTime wall = expected.value(e.value("uid").toString());
        EXPECT_EQ(e.value("start").toString(), wall.toString("yyyy-MM-dd HH:mm"));
        EXPECT_EQ(e.value("offset").toInt(),
                  prague.offsetFromUtc(QDateTime(wall.date(), wall.time(), prague)));
        EXPECT_EQ(e.value("minutes").toInt(), 60);
        if (e.value("summary").toString().contains(
                QStringLiteral("Nov\"ák; Petr, \\ X\nДмитрий 李"))) {
            ++withHostileName;
            EXPECT_TRUE(e.value("description")
                            .toString()
                            .startsWith(QStringLiteral("Lektor: Nov\"ák; Petr, \\ X\nДмитрий 李")));
        }
    }
    EXPECT_GT(withHostileName, 0);

    // A teacher's feed holds his lessons as teacher, none of another teacher.
    const QByteArray teacherPath =
        server.post("calendarfeed", "op=get", server.signIn("lektor2")).body.mid(2);
    const qint64 teacherLessons =
        server
            .dbValue("SELECT COUNT(*) FROM TIMETABLE WHERE IDTEACHER = ? AND TIMETABLESTATUS"
                     " IN (2, 3, 4, 5) AND WHENHOUR >= ? AND WHENHOUR < ?",
                     {Demo::Teacher2, QDateTime::currentDateTime().addDays(-60),
                      QDateTime::currentDateTime().addYears(1)})
            .toLongLong();
    EXPECT_EQ(ReadCalendar(server.get(teacherPath).body).value("events").toArray().size(),
              teacherLessons);

    // Guesses and tricks get nothing.
    QByteArray guessed = path;
    guessed[guessed.size() - 5] = guessed[guessed.size() - 5] == 'A' ? 'B' : 'A';
    for (const QByteArray &target :
         {guessed, QByteArray("/tellavo/calendar/"), QByteArray("/tellavo/calendar/.ics"),
          path + "x", path.chopped(4), QByteArray("/tellavo/calendar/'%20OR%201=1%20--.ics"),
          QByteArray("/tellavo/calendar/../client.php"),
          "/tellavo/calendar/" + QByteArray(5000, 'a')})
        EXPECT_EQ(server.get(target).status, 404) << target.left(80).toStdString();

    EXPECT_EQ(server.post("calendarfeed", "op=revoke", client).body, "ok");
    EXPECT_EQ(server.get(path).status, 404);
    const QByteArray renewed = server.post("calendarfeed", "op=get", client).body.mid(2);
    EXPECT_NE(renewed, path);
    EXPECT_EQ(server.get(renewed).status, 200);
    EXPECT_TRUE(server.post("calendarfeed", "op=steal", client).body.startsWith("error"));
}

// Reminders go out once the lesson is within the school's reminder time (moved clock), once,
// to the client and the teacher, each with the lesson attached; none for a lesson booked
// within that time; a cancelled lesson sends both a cancellation of the same event.
TEST(ServerBooking, RemindersAndCancellationsCarryTheLesson) {
    REQUIRE_ICALENDAR();
    SchoolZone zone("Europe/Prague");
    ServerHarness server;
    Exec(server,
         "UPDATE USERS SET SURNAME = ?, FIRSTNAME = 'Petra', EMAIL = 'lektor3@example.cz'"
         " WHERE IDUSER = ?",
         {kHostileSurname, Demo::Teacher3});
    const QString client = NewcomerWithHours(server, 5);
    const QDateTime when = HalfPastIn(server, 30);
    ASSERT_EQ(when.timeZone(), QTimeZone::systemTimeZone());
    const qint64 lesson = AddSlot(server, Demo::Teacher3, when);
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(lesson, 2), client).body, "ok");
    SweepReminders(server); // the demo school's own lessons of the next day
    EXPECT_TRUE(Outbox(server, "REMINDER", Demo::Newcomer).isEmpty()) << "30 hours ahead";

    server.advanceClock(7 * 3600); // 23 hours ahead now; the session has expired meanwhile
    const qint64 late = AddSlot(server, Demo::Teacher3, HalfPastIn(server, 10));
    ASSERT_EQ(Text(server.post("settimetablestatus", SetStatus(late, 2), server.signIn("novacek"))),
              "ok");
    EXPECT_GE(SweepReminders(server), 2);
    EXPECT_EQ(SweepReminders(server), 0) << "once";

    const QStringList studentMails = Outbox(server, "REMINDER", Demo::Newcomer);
    const QStringList teacherMails = Outbox(server, "REMINDER", Demo::Teacher3, lesson);
    ASSERT_EQ(studentMails.size(), 1) << "none for the lesson booked 10 hours ahead";
    ASSERT_EQ(teacherMails.size(), 1);
    EXPECT_TRUE(Outbox(server, "REMINDER", Demo::Teacher3, late).isEmpty());

    EXPECT_EQ(
        server.post("settimetablestatus", SetStatus(lesson, 7), server.signIn("manazer")).body,
        "ok");
    const QStringList cancels = Outbox(server, "LESSONCANCEL", Demo::Newcomer) +
                                Outbox(server, "LESSONCANCEL", Demo::Teacher3, lesson);
    ASSERT_EQ(cancels.size(), 2);

    const QJsonArray mails = ReadMails(studentMails + teacherMails + cancels);
    ASSERT_EQ(mails.size(), 4);
    const QString uid = QStringLiteral("timetable-%1@localhost").arg(lesson);
    const QString hostile = QStringLiteral("Nov\"ák; Petr, \\ X\nДмитрий 李");
    for (int i = 0; i < 4; ++i) {
        const QJsonObject mail = mails[i].toObject();
        const bool toStudent = i % 2 == 0, cancel = i >= 2;
        EXPECT_EQ(mail.value("defects").toInt(), 0);
        EXPECT_EQ(mail.value("to").toString(),
                  toStudent ? "novacek@example.cz" : "lektor3@example.cz");
        // The teacher last signed in in Slovak, the student in Czech.
        const QString subject = toStudent ? (cancel ? QStringLiteral("Zrušená lekce ")
                                                    : QStringLiteral("Připomínka: lekce "))
                                          : (cancel ? QStringLiteral("Zrušená lekcia ")
                                                    : QStringLiteral("Pripomienka: lekcia "));
        EXPECT_EQ(mail.value("subject").toString(), subject + when.toString("d. M. yyyy H:mm"));
        const QJsonArray calendars = mail.value("calendars").toArray();
        ASSERT_EQ(calendars.size(), 1);
        const QJsonObject cal = calendars[0].toObject();
        EXPECT_EQ(cal.value("method").toString(), cancel ? "CANCEL" : "PUBLISH");
        EXPECT_EQ(cal.value("param").toString(), cancel ? "CANCEL" : "PUBLISH");
        const QJsonArray events = cal.value("events").toArray();
        ASSERT_EQ(events.size(), 1);
        const QJsonObject e = events[0].toObject();
        EXPECT_EQ(e.value("uid").toString(), uid);
        EXPECT_EQ(e.value("start").toString(), when.toString("yyyy-MM-dd HH:mm"));
        EXPECT_EQ(e.value("utc").toString(), when.toUTC().toString("yyyy-MM-dd HH:mm"));
        EXPECT_EQ(e.value("sequence").toInt(), cancel ? 1 : 0);
        EXPECT_EQ(e.value("status").toString(), cancel ? "CANCELLED" : "TENTATIVE");
        if (toStudent) {
            EXPECT_EQ(e.value("summary").toString().toStdString(),
                      (QStringLiteral("Lekce angličtiny - ") + hostile + " Petra").toStdString());
        }
        EXPECT_TRUE(e.value("description").toString().startsWith("Lektor: " + hostile));
        EXPECT_TRUE(mail.value("text").toString().contains(when.toString("d. M. yyyy H:mm")));
    }
    EXPECT_EQ(SweepReminders(server), 0) << "a cancelled lesson is not reminded again";
}

TEST(ServerBooking, ABookingThatUsesUpTheHoursSaysHowToOrder) {
    REQUIRE_ICALENDAR();
    ServerHarness server;
    const QString client = NewcomerWithHours(server, 2);
    const qint64 a = AddSlot(server, Demo::Teacher3, HalfPastIn(server, 40));
    const qint64 b = AddSlot(server, Demo::Teacher3, HalfPastIn(server, 41));
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(a, 2), client).body, "ok");
    EXPECT_TRUE(Outbox(server, "HOURSOUT", Demo::Newcomer).isEmpty()) << "one hour is left";
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(b, 2), client).body, "ok");
    const QJsonArray mails = ReadMails(Outbox(server, "HOURSOUT", Demo::Newcomer));
    ASSERT_EQ(mails.size(), 1);
    const QString text = mails[0].toObject().value("text").toString();
    EXPECT_TRUE(text.contains(QStringLiteral("Objednávky zvolte Nová objednávka")))
        << text.toStdString();
}

// A client waiting for a teacher's day hears of a cancelled booking there by e-mail and once
// at his next sign-in; other days, other teachers and the canceller himself hear nothing.
TEST(ServerBooking, AWaitingClientIsToldWhenASlotComesFree) {
    REQUIRE_ICALENDAR();
    ServerHarness server;
    Exec(server, "UPDATE USERS SET EMAIL = 'student10@example.cz' WHERE LOGINNAME = 'student10'");
    const qint64 waiter =
        server.dbValue("SELECT IDUSER FROM USERS WHERE LOGINNAME = 'student10'").toLongLong();
    const QString waiting = server.signIn("student10", "heslo");
    const QDateTime when = HalfPastIn(server, 72);
    const QByteArray day = when.date().toString("yyyy-MM-dd").toLatin1();
    EXPECT_EQ(server.post("waitforslot", "idteacher=6&day=" + day, waiting).body, "ok");
    EXPECT_EQ(server.post("waitforslot", "idteacher=6&day=" + day, waiting).body, "ok");
    EXPECT_EQ(server.post("waitforslot", "idteacher=5&day=" + day, waiting).body, "ok");
    for (const QByteArray &bad :
         {QByteArray("idteacher=7&day=") + day, // a client, no teacher
          QByteArray("idteacher=6&day=2001-01-01"), QByteArray("idteacher=6&day=tomorrow"),
          QByteArray("idteacher=6")})
        EXPECT_TRUE(server.post("waitforslot", bad, waiting).body.startsWith("error"))
            << bad.toStdString();
    EXPECT_TRUE(server.post("waitforslot", "idteacher=6&day=" + day, server.signIn("lektor"))
                    .body.startsWith("error"));

    const QString client = server.signIn("klient");
    const qint64 lesson = AddSlot(server, Demo::Teacher3, when);
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(lesson, 2), client).body, "ok");
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(lesson, 1), client).body, "ok");

    const QJsonArray mails = ReadMails(Outbox(server, "SLOTFREED", waiter));
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(
        mails[0].toObject().value("text").toString().contains(when.toString("d. M. yyyy H:mm")));
    EXPECT_TRUE(Outbox(server, "SLOTFREED", Demo::Client).isEmpty());

    const QString next = server.signIn("student10", "heslo");
    const QString told = QString::fromUtf8(server.post("bookingfeatures", "", next).body);
    EXPECT_TRUE(told.contains(
        "slotfreedcount=1\r\nslotfreed1=" + when.toString("yyyy-MM-dd HH:mm:ss") + "|"))
        << told.toStdString();
    EXPECT_TRUE(QString::fromUtf8(server.post("bookingfeatures", "", next).body)
                    .contains("slotfreedcount=0"));
}

TEST(ServerBooking, TheNextLessonIsTheOwnersOnly) {
    ServerHarness server;
    const QString client = NewcomerWithHours(server, 3);
    EXPECT_EQ(server.post("nextlesson", "", client).body, "ok");
    const QDateTime when = HalfPastIn(server, 5);
    const qint64 lesson = AddSlot(server, Demo::Teacher3, when);
    AddSlot(server, Demo::Teacher3, HalfPastIn(server, 2)); // free: nobody's lesson
    ASSERT_EQ(server.post("settimetablestatus", SetStatus(lesson, 2), client).body, "ok");
    const QString expected = QStringLiteral("okidtimetable=%1\r\nwhenhour=%2\r\npartner=")
                                 .arg(lesson)
                                 .arg(when.toString("yyyy-MM-dd HH:mm:ss"));
    EXPECT_TRUE(QString::fromUtf8(server.post("nextlesson", "", client).body).startsWith(expected));
    const QString teacher =
        QString::fromUtf8(server.post("nextlesson", "", server.signIn("lektor3")).body);
    EXPECT_TRUE(teacher.startsWith("okidtimetable=")) << teacher.toStdString();
    EXPECT_FALSE(
        QString::fromUtf8(server.post("nextlesson", "", server.signIn("student10", "heslo")).body)
            .contains(QString::number(lesson)));
}
