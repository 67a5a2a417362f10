// The timetable's widget-free rules: calendar dates, the one-pass colour map (against the
// per-day restriction it replaces), the hours formulas, filter texts, status choices and the
// iCalendar file.
#include "data/clienttable.h"
#include "data/usertext.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "screens/timetable/hoursbalance.h"
#include "screens/timetable/icalendarwriter.h"
#include "screens/timetable/lessonevents.h"
#include "screens/timetable/month/monthcolourmap.h"
#include "screens/timetable/month/monthgrid.h"
#include "screens/timetable/statuschoices.h"
#include "screens/timetable/timetablefilter.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <gtest/gtest.h>

namespace {

// A timetable with the fields the screen relies on; rows are (id, time, status).
void makeTimetable(TClientTable &t) {
    t.CreateDataSet({MakeField(QStringLiteral("IDTIMETABLE"), TFieldType::I4),
                     MakeField(QStringLiteral("WHENHOUR"), TFieldType::DateTime),
                     MakeField(QStringLiteral("HOURS"), TFieldType::R8),
                     MakeField(QStringLiteral("TEACHERFULLNAME"), TFieldType::String, 130),
                     MakeField(QStringLiteral("CLIENTFULLNAME"), TFieldType::String, 130),
                     MakeField(QStringLiteral("STATUSNAME_L"), TFieldType::String, 60),
                     MakeField(QStringLiteral("IDUSER"), TFieldType::I4),
                     MakeField(QStringLiteral("TIMETABLESTATUS"), TFieldType::I4)});
}

void addLesson(TClientTable &t, int id, const QDateTime &when, int status, int client = 0) {
    t.AppendRecord({TValue::FromInteger(id), TValue::FromDateTime(when), TValue::FromFloat(1),
                    TValue::FromText(QStringLiteral("Svobodová Petra")),
                    TValue::FromText(client ? QStringLiteral("Novák Jan") : QString()),
                    TValue::FromText(QStringLiteral("S%1").arg(status)),
                    TValue::FromInteger(client), TValue::FromInteger(status)});
}

// The map as the per-day restriction computes it: each shown day filters the table in turn.
std::array<int, MonthGrid::kCells> mapByDays(TClientTable &t, const QDate &month) {
    std::array<int, MonthGrid::kCells> values;
    const int status = t.FieldIndex(QStringLiteral("TIMETABLESTATUS"));
    for (int cell = 0; cell < MonthGrid::kCells; ++cell) {
        t.SetFilter(DayFilterText(MonthGrid::CellDate(month, cell)));
        t.SetFiltered(true);
        int value = TMonthColourMap::kNoLesson;
        for (int pos = 0; pos < t.VisibleRowCount(); ++pos) {
            const int s = int(t.ValueAt(pos, status).toInteger());
            value = pos == 0 ? s : value == s ? value : TMonthColourMap::kMixed;
        }
        values[size_t(cell)] = value;
    }
    t.SetFiltered(false);
    return values;
}

TEST(MonthGrid, FirstRowHoldsTheFirstAndMonthsShiftToTheLastDay) {
    // June 2026 begins on a Monday: the first row is that week, not the one before.
    EXPECT_EQ(MonthGrid::FirstCell(QDate(2026, 6, 17)), QDate(2026, 6, 1));
    EXPECT_EQ(MonthGrid::FirstCell(QDate(2026, 3, 5)), QDate(2026, 2, 23)); // 1.3. is a Sunday
    EXPECT_EQ(MonthGrid::CellDate(QDate(2026, 3, 5), 41), QDate(2026, 4, 5));
    EXPECT_EQ(MonthGrid::CellOf(QDate(2026, 3, 5), QDate(2026, 2, 23)), 0);
    EXPECT_EQ(MonthGrid::CellOf(QDate(2026, 3, 5), QDate(2026, 2, 22)), -1);
    EXPECT_EQ(MonthGrid::CellOf(QDate(2026, 3, 5), QDate(2026, 4, 6)), -1);
    const struct {
        QDate from;
        int months;
        QDate to;
    } shifts[] = {{QDate(2026, 1, 31), 1, QDate(2026, 2, 28)},
                  {QDate(2024, 1, 31), 1, QDate(2024, 2, 29)},
                  {QDate(2026, 3, 31), -1, QDate(2026, 2, 28)},
                  {QDate(2026, 12, 15), 1, QDate(2027, 1, 15)},
                  {QDate(2026, 1, 10), -1, QDate(2025, 12, 10)}};
    for (const auto &s : shifts)
        EXPECT_EQ(MonthGrid::ShiftMonths(s.from, s.months), s.to)
            << s.from.toString().toStdString();
    SetLanguageIndex(LangCzech);
    EXPECT_EQ(MonthGrid::Title(QDate(2026, 3, 5)), QStringLiteral("5. března 2026"));
}

TEST(MonthColourMap, DaysTakeTheSharedStatusOrMixed) {
    TClientTable t;
    makeTimetable(t);
    const QDate month(2026, 3, 1);
    const auto at = [](int day, int hour) {
        return QDateTime(QDate(2026, 3, day), QTime(hour, 0));
    };
    addLesson(t, 1, at(2, 9), 1);
    addLesson(t, 2, at(2, 10), 3, 7); // free + confirmed: mixed
    addLesson(t, 3, at(3, 9), 4, 7);
    addLesson(t, 4, at(3, 10), 5, 7); // held and missed: mixed too
    addLesson(t, 5, at(4, 9), 1);
    addLesson(t, 6, at(4, 23), 1); // two free slots: status 1
    addLesson(t, 7, at(5, 0), 2, 7);
    addLesson(t, 8, QDateTime(QDate(2026, 2, 23), QTime(8, 0)), 3, 7);  // first cell
    addLesson(t, 9, QDateTime(QDate(2026, 2, 22), QTime(23, 0)), 3, 7); // not shown
    addLesson(t, 10, QDateTime(QDate(2026, 4, 6), QTime(0, 0)), 3, 7);  // not shown
    // The list's filter does not matter, a deleted lesson does not count.
    addLesson(t, 11, at(6, 9), 2, 7);
    ASSERT_TRUE(t.Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(11)}));
    t.Delete();
    t.SetFilter(QStringLiteral("IDTIMETABLE=1"));
    t.SetFiltered(true);

    TMonthColourMap map;
    EXPECT_FALSE(map.IsFor(month));
    map.Compute(t, month);
    EXPECT_TRUE(map.IsFor(QDate(2026, 3, 31)));
    EXPECT_FALSE(map.IsFor(QDate(2026, 4, 1)));
    EXPECT_EQ(map.ValueOf(QDate(2026, 3, 2)), TMonthColourMap::kMixed);
    EXPECT_EQ(map.ValueOf(QDate(2026, 3, 3)), TMonthColourMap::kMixed);
    EXPECT_EQ(map.ValueOf(QDate(2026, 3, 4)), 1);
    EXPECT_EQ(map.ValueOf(QDate(2026, 3, 5)), 2);
    EXPECT_EQ(map.ValueOf(QDate(2026, 3, 6)), TMonthColourMap::kNoLesson);
    EXPECT_EQ(map.ValueOf(QDate(2026, 2, 23)), 3);
    EXPECT_EQ(map.Value(0), 3);
    EXPECT_EQ(map.ValueOf(QDate(2026, 4, 5)), TMonthColourMap::kNoLesson);
    map.Invalidate();
    EXPECT_FALSE(map.IsFor(month));

    // Colours of the values.
    EXPECT_EQ(DayColour(TMonthColourMap::kNoLesson), std::nullopt);
    EXPECT_EQ(DayColour(TMonthColourMap::kMixed), RgbColor(192, 220, 192));
    EXPECT_EQ(DayColour(1), RgbColor(166, 202, 240));
    EXPECT_EQ(DayColour(2), RgbColor(255, 255, 0));
    EXPECT_EQ(DayColour(3), RgbColor(255, 0, 0));
    EXPECT_EQ(DayColour(4), RgbColor(128, 128, 0));
    EXPECT_EQ(DayColour(8), RgbColor(128, 128, 0));
}

TEST(MonthColourMap, OnePassEqualsTheRestrictionOfEachDay) {
    TClientTable t;
    makeTimetable(t);
    QRandomGenerator random(15);
    const QDate start(2026, 1, 1);
    for (int id = 1; id <= 3000; ++id) {
        const QDateTime when(start.addDays(random.bounded(120)), QTime(random.bounded(24), 0));
        addLesson(t, id, when, 1 + random.bounded(8) / (random.bounded(3) + 1));
    }
    for (const QDate month : {QDate(2026, 1, 1), QDate(2026, 2, 15), QDate(2026, 4, 30)}) {
        TMonthColourMap map;
        map.Compute(t, month);
        const std::array<int, MonthGrid::kCells> expected = mapByDays(t, month);
        for (int cell = 0; cell < MonthGrid::kCells; ++cell)
            EXPECT_EQ(map.Value(cell), expected[size_t(cell)])
                << month.toString().toStdString() << " cell " << cell;
    }
}

TEST(MonthColourMap, ATableWithoutTheFieldsIsAnError) {
    TClientTable t;
    t.CreateDataSet({MakeField(QStringLiteral("IDTIMETABLE"), TFieldType::I4)});
    TMonthColourMap map;
    EXPECT_THROW(map.Compute(t, QDate(2026, 3, 1)), AppError);
    TClientTable closed;
    map.Compute(closed, QDate(2026, 3, 1)); // a closed table: no lessons
    EXPECT_EQ(map.Value(10), TMonthColourMap::kNoLesson);
}

TEST(HoursBalance, FormulasAndTheExpiryOnlyWhileSomethingIsBookable) {
    THoursBalance b;
    b.payed = 20;
    b.learned = 5;
    b.missed = 1;
    b.stornoPay = 0.5;
    b.expired = 2;
    b.debit = 1;
    b.unconfirmed = 3;
    b.confirmed = 2;
    b.expiry = QStringLiteral("30.6.2026");
    EXPECT_DOUBLE_EQ(b.Spent(), 6.5);
    EXPECT_DOUBLE_EQ(b.Free(), 20 - 2 - 6.5 + 1);
    EXPECT_DOUBLE_EQ(b.Bookable(), 12.5 - 3 - 2);
    EXPECT_EQ(b.ExpiryText(), "30.6.2026");
    for (double confirmed : {9.5, 10.0}) { // bookable exactly 0, then below
        b.confirmed = confirmed;
        EXPECT_EQ(b.ExpiryText(), "-  ") << confirmed;
    }
}

TEST(TimetableFilter, ConditionsInTheirOrderAndTheStatusData) {
    TTimetableFilterValues v;
    EXPECT_EQ(TimetableFilterText(v), "");
    v.statusCondition = QStringLiteral("TIMETABLESTATUS=2 OR TIMETABLESTATUS=3");
    v.teacherId = 4;
    v.clientId = 7;
    v.from = QDate(2026, 3, 1);
    v.to = QDate(2026, 3, 31);
    EXPECT_EQ(TimetableFilterText(v),
              QStringLiteral("(TIMETABLESTATUS=2 OR TIMETABLESTATUS=3) AND (IDTEACHER=4) AND "
                             "(IDUSER=7) AND (WHENHOUR>='%1') AND (WHENHOUR<'%2')")
                  .arg(FormatShortDate(QDate(2026, 3, 1)), FormatShortDate(QDate(2026, 4, 1))));
    QString users = QStringLiteral("(IDTEACHER=4)");
    AddTimetableConditions({QString(), 0, 0, std::nullopt, QDate(2026, 3, 31)}, users);
    EXPECT_EQ(users, "(IDTEACHER=4) AND (WHENHOUR<'1.4.2026')");
    EXPECT_EQ(DayFilterText(QDate(2026, 2, 28)), "WHENHOUR>='28.2.2026' AND WHENHOUR<'1.3.2026'");
    EXPECT_EQ(TimetableStatusData(15, 2), "idtimetable=15&newstatus=2");
    EXPECT_EQ(TimetableStatusData(15, 2, 7), "idtimetable=15&newstatus=2&idclientnew=7");
}

TEST(StatusChoices, TeachersGetThreeFourAndFiveInTableOrder) {
    TClientTable statuses;
    statuses.CreateDataSet({MakeField(QStringLiteral("IDTIMETABLESTATUS"), TFieldType::I4),
                            MakeField(QStringLiteral("STATUSNAME_L"), TFieldType::String, 60)});
    for (int s = 1; s <= 8; ++s)
        statuses.AppendRecord(
            {TValue::FromInteger(s), TValue::FromText(QStringLiteral("S%1").arg(s))});
    EXPECT_EQ(TimetableStatusChoices(statuses, 3),
              (QList<TStatusChoice>{{3, "S3"}, {4, "S4"}, {5, "S5"}}));
    for (int type : {1, 2}) {
        const QList<TStatusChoice> all = TimetableStatusChoices(statuses, type);
        ASSERT_EQ(all.size(), 8);
        EXPECT_EQ(all.first(), (TStatusChoice{1, "S1"}));
        EXPECT_EQ(all.last(), (TStatusChoice{8, "S8"}));
    }
}

// --- iCalendar ---

QList<TCalendarEvent> sampleEvents() {
    TCalendarEvent a;
    a.uid = QStringLiteral("timetable-15@school.example");
    a.start = QDateTime(QDate(2026, 3, 5), QTime(15, 0));
    a.end = a.start.addSecs(3600);
    a.summary = QStringLiteral("Výuka: Svobodová Petra (Potvrzené; hodina, \"B1\")");
    a.description = QStringLiteral("Vyučující: Svobodová Petra\nKlient: Novák Jan\\Ž");
    TCalendarEvent b = a;
    b.uid = QStringLiteral("timetable-16@school.example");
    b.start = QDateTime(QDate(2026, 7, 1), QTime(0, 0));
    b.end = b.start.addSecs(5400);
    b.summary = QString(40, QChar(0x017D)) + QStringLiteral(" long summary that needs folding");
    b.description.clear();
    return {a, b};
}

TEST(ICalendar, LinesAreFoldedEscapedAndEndInCrLf) {
    const QByteArray file =
        TICalendarWriter().Write(sampleEvents(), QDateTime(QDate(2026, 3, 1), QTime(12, 0)));
    ASSERT_TRUE(file.endsWith("END:VCALENDAR\r\n"));
    // Every line ends in CRLF, has at most 75 octets, and is valid UTF-8 on its own (a fold
    // never splits a character); a continuation line starts with one space.
    QByteArray unfolded;
    for (const QByteArray &line : file.chopped(1).split('\n')) {
        ASSERT_TRUE(line.endsWith('\r')) << line.toStdString();
        const QByteArray content = line.chopped(1);
        EXPECT_LE(content.size(), 75) << content.toStdString();
        EXPECT_FALSE(content.contains('\r'));
        EXPECT_TRUE(QString::fromUtf8(content).toUtf8() == content) << content.toStdString();
        if (content.startsWith(' '))
            unfolded += content.mid(1);
        else
            unfolded += (unfolded.isEmpty() ? "" : "\n") + content;
    }
    const QStringList lines = QString::fromUtf8(unfolded).split(u'\n');
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"BEGIN:VCALENDAR", "VERSION:2.0", "PRODID:-//Tellavo//Tellavo//CS"}));
    EXPECT_TRUE(lines.contains("UID:timetable-15@school.example"));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("SUMMARY:Výuka: Svobodová Petra (Potvrzené\\; hodina\\, \"B1\")")));
    EXPECT_TRUE(lines.contains(
        QStringLiteral("DESCRIPTION:Vyučující: Svobodová Petra\\nKlient: Novák Jan\\\\Ž")));
    EXPECT_TRUE(lines.contains(QStringLiteral("SUMMARY:") + QString(40, QChar(0x017D)) +
                               QStringLiteral(" long summary that needs folding")));
    // 15:00 in Prague (winter time) whatever the machine's zone.
    EXPECT_TRUE(lines.contains("DTSTART:20260305T140000Z"));
    EXPECT_TRUE(lines.contains("DTEND:20260305T150000Z"));
    EXPECT_TRUE(lines.contains("DTSTART:20260630T220000Z")); // summer time
    EXPECT_EQ(lines.count("BEGIN:VEVENT"), 2);
    EXPECT_EQ(
        lines.count(
            QStringLiteral("DTSTAMP:") +
            QDateTime(QDate(2026, 3, 1), QTime(12, 0)).toUTC().toString("yyyyMMdd'T'HHmmss'Z'")),
        2);
}

// The file read back by a third-party parser (python3-icalendar, installed by
// scripts/install-deps): events, times in UTC and texts as written.
TEST(ICalendar, AThirdPartyParserReadsTheEventsBack) {
    QString python;
    for (const QString &candidate : {QStringLiteral("/usr/bin/python3"),
                                     QStandardPaths::findExecutable(QStringLiteral("python3"))}) {
        if (!candidate.isEmpty() &&
            QProcess::execute(candidate,
                              {QStringLiteral("-c"), QStringLiteral("import icalendar")}) == 0) {
            python = candidate;
            break;
        }
    }
    if (python.isEmpty())
        GTEST_SKIP() << "python3-icalendar is not installed (scripts/install-deps installs it)";
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(
        TICalendarWriter().Write(sampleEvents(), QDateTime(QDate(2026, 3, 1), QTime(12, 0))));
    file.close();
    const QString script = QStringLiteral(
        "import sys, icalendar\n"
        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
        "for e in cal.walk('VEVENT'):\n"
        "    s = e.decoded('DTSTART'); d = e.decoded('DTEND')\n"
        "    print(e['UID'], s.utcoffset().total_seconds(), int((d - s).total_seconds()),\n"
        "          s.strftime('%Y-%m-%d %H:%M'), str(e['SUMMARY']), sep='|')\n"
        "    print(str(e.get('DESCRIPTION', '')).replace('\\n', '/'))\n");
    QProcess process;
    process.start(python, {QStringLiteral("-c"), script, file.fileName()});
    ASSERT_TRUE(process.waitForFinished(30000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QStringList out =
        QString::fromUtf8(process.readAllStandardOutput()).chopped(1).split(u'\n');
    ASSERT_EQ(out.size(), 4);
    const QList<TCalendarEvent> events = sampleEvents();
    EXPECT_EQ(out[0], QStringLiteral("timetable-15@school.example|0.0|3600|2026-03-05 14:00|") +
                          events[0].summary);
    EXPECT_EQ(out[1], QStringLiteral("Vyučující: Svobodová Petra/Klient: Novák Jan\\Ž"));
    EXPECT_EQ(out[2], QStringLiteral("timetable-16@school.example|0.0|5400|2026-06-30 22:00|") +
                          events[1].summary);
}

// School times are read in the school's zone around both changes of time: the hour skipped
// in spring still gives a lesson with an end, the repeated autumn hour its standard time.
TEST(ICalendar, SchoolTimesConvertFromTheSchoolsZone) {
    struct Case {
        QDate date;
        QTime time;
        const char *utc;
    };
    const Case cases[] = {
        {QDate(2026, 3, 5), QTime(15, 0), "20260305T140000Z"},
        {QDate(2026, 3, 29), QTime(1, 59), "20260329T005900Z"},
        {QDate(2026, 3, 29), QTime(2, 30), "20260329T013000Z"}, // skipped: 03:30 summer time
        {QDate(2026, 3, 29), QTime(3, 0), "20260329T010000Z"},
        {QDate(2026, 10, 25), QTime(2, 30), "20261025T013000Z"},
        {QDate(2026, 10, 25), QTime(15, 0), "20261025T140000Z"},
    };
    const TICalendarWriter writer;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.utc);
        EXPECT_EQ(TICalendarWriter::UtcStamp(writer.SchoolTimeToUtc(c.date, c.time)), c.utc);
    }
    // A zone named by the server replaces the default one.
    EXPECT_EQ(TICalendarWriter::UtcStamp(TICalendarWriter(QTimeZone("Europe/London"))
                                             .SchoolTimeToUtc(QDate(2026, 7, 1), QTime(15, 0))),
              "20260701T140000Z");
    // An end that fell into a skipped hour of the machine (an invalid value) gives an hour.
    TCalendarEvent gap;
    gap.uid = QStringLiteral("gap");
    gap.start = QDateTime(QDate(2026, 3, 29), QTime(2, 30));
    gap.end = QDateTime();
    const QByteArray file = writer.Write({gap}, QDateTime(QDate(2026, 3, 1), QTime(12, 0)));
    EXPECT_TRUE(file.contains("DTSTART:20260329T013000Z\r\nDTEND:20260329T023000Z\r\n"));
}

TEST(LessonEvents, ClientsExportTheirBookingsAndSummariesNameTheOtherSide) {
    SetLanguageIndex(LangCzech);
    TClientTable t;
    makeTimetable(t);
    const QDateTime when(QDate(2026, 3, 5), QTime(15, 0));
    addLesson(t, 3, when.addDays(2), 3, 7);
    addLesson(t, 1, when, 2, 7);
    addLesson(t, 2, when, 1);                // a free slot
    addLesson(t, 4, when, 2, 8);             // someone else's
    addLesson(t, 5, when.addDays(-9), 4, 7); // held
    t.SetFilter(QStringLiteral("IDTIMETABLE=2"));
    t.SetFiltered(true);
    QList<qint64> ids;
    for (const TLessonRow &l : BookedLessons(t, 7))
        ids << l.id;
    EXPECT_EQ(ids, (QList<qint64>{1, 3}));
    EXPECT_EQ(ListedLessons(t).size(), 1);

    TLessonRow lesson = BookedLessons(t, 7).first();
    const TCalendarEvent forClient = LessonEvent(lesson, 4, QStringLiteral("school.example"));
    EXPECT_EQ(forClient.uid, "timetable-1@school.example");
    EXPECT_EQ(forClient.summary, AppText(1301) + QStringLiteral(": Svobodová Petra (S2)"));
    EXPECT_EQ(forClient.end, when.addSecs(3600));
    EXPECT_EQ(LessonEvent(lesson, 3, QString()).summary,
              AppText(1301) + QStringLiteral(": Novák Jan (S2)"));
    EXPECT_EQ(LessonEvent(lesson, 1, QString()).summary,
              AppText(1301) + QStringLiteral(": Svobodová Petra – Novák Jan (S2)"));
    lesson.hours = 0; // no length: an hour, so the event still ends after it starts
    EXPECT_EQ(LessonEvent(lesson, 4, QString()).end, when.addSecs(3600));
}

} // namespace
