// The timetable screen and its dialogs against the reference server with its demo school.
#include "base/session.h"
#include "data/dm.h"
#include "data/usertext.h"
#include "grid/controls/checkedcombobox.h"
#include "grid/controls/datepicker.h"
#include "grid/controls/dbnavigator.h"
#include "grid/gridframe.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "screenfixture.h"
#include "screens/timetable/hoursbalance.h"
#include "screens/timetable/hourspanel.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/month/monthgrid.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/users/tfeduser.h"
#include "screens/timetable/tfflttimetable.h"
#include "screens/timetable/tfhisttimetable.h"
#include "screens/timetable/tfrtimetable.h"
#include "screens/timetable/timetablefilter.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr int kJob = 2;

class TimetableAgainstServer : public ScreenFixture {
protected:
    Tfrtimetable &screen() {
        return *static_cast<Tfrtimetable *>(app->mainWindow()->screen(u"timetable"));
    }
    TClientTable &timetable() { return dm().cd_timetable; }
    QDate today() const { return seam.clock.date(); }
    // A day beyond the demo school's lessons (they reach 61 days ahead).
    QDate freeDay() const { return today().addDays(100); }

    void openTimetable() {
        clickMain("im_timetable");
        ASSERT_EQ(app->mainWindow()->currentScreen(), &screen());
    }
    // A lesson written straight into the school's database; the client sees it after a
    // re-read.
    qint64 addLesson(qint64 teacher, qint64 client, const QDateTime &when, int status) {
        qint64 id = 0;
        server.onServer([&](CentralServer &s) {
            id = s.database().nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
            s.database().run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER,"
                                            " IDUSER, WHENHOUR, HOURS, TIMETABLESTATUS,"
                                            " WHENSTATUSCHANGE, WHOSTATUSCHANGE)"
                                            " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                             {id, kJob, teacher, client, when, 1.0, status, when, Demo::Manager});
        });
        return id;
    }
    QDateTime at(const QDate &day, int hour) const { return QDateTime(day, QTime(hour, 0)); }
    int serverStatus(qint64 id) {
        return server
            .dbValue(QStringLiteral("SELECT TIMETABLESTATUS FROM TIMETABLE WHERE IDTIMETABLE = ?"),
                     {id})
            .toInt();
    }
    qint64 serverClient(qint64 id) {
        return server
            .dbValue(QStringLiteral("SELECT IDUSER FROM TIMETABLE WHERE IDTIMETABLE = ?"), {id})
            .toLongLong();
    }
    // Re-reads the list and shows the day (a new month recomputes the colours).
    void showDay(const QDate &day) {
        timetable().Refresh();
        screen().cal->SetDate(day);
        screen().RecomputeCalendar();
    }
    void select(qint64 id) {
        ASSERT_TRUE(timetable().Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(id)}))
            << id;
    }
    QList<qint64> listedIds() {
        QList<qint64> ids;
        const int key = timetable().FieldIndex(QStringLiteral("IDTIMETABLE"));
        for (int pos = 0; pos < timetable().VisibleRowCount(); ++pos)
            ids << timetable().ValueAt(pos, key).toInteger();
        return ids;
    }
    QString whenText(qint64 id) {
        select(id);
        return timetable().FieldByName(QStringLiteral("WHENHOUR")).AsString();
    }
    // Runs the filter dialog with the values the action sets, then OK.
    void filterWith(const std::function<void(Tfflttimetable &)> &set,
                    const std::function<void()> &open) {
        WhenModal([&](QWidget *w) {
            auto *dialog = qobject_cast<Tfflttimetable *>(w);
            ASSERT_NE(dialog, nullptr);
            set(*dialog);
            dialog->btnok->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        RunGuarded(open);
    }
};

TEST_F(TimetableAgainstServer, ClientSeesHisHoursAndBookingButtonsByStatus) {
    signIn(QStringLiteral("klient"));
    const qint64 free = addLesson(Demo::Teacher, 0, at(freeDay(), 9), 1);
    const qint64 booked = addLesson(Demo::Teacher, Demo::Client, at(freeDay(), 10), 2);
    const qint64 confirmed = addLesson(Demo::Teacher, Demo::Client, at(freeDay(), 11), 3);
    const qint64 held = addLesson(Demo::Teacher, Demo::Client, at(freeDay(), 12), 4);
    openTimetable();
    Tfrtimetable &s = screen();
    Tfrg &frg = *s.frg_timetable;
    for (QWidget *hidden :
         {static_cast<QWidget *>(frg.spbfilter), static_cast<QWidget *>(frg.spbfind), frg.pancfg,
          static_cast<QWidget *>(s.chb_filter), static_cast<QWidget *>(s.spb_user),
          static_cast<QWidget *>(s.spb_hist)})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_TRUE(s.pan_hours->isVisible());
    EXPECT_FALSE(frg.nv->ButtonVisible(nbDelete));
    EXPECT_EQ(s.spb_reserve_new->text(), AppText(349));
    EXPECT_EQ(s.spb_storno_status->text(), AppText(350));
    EXPECT_EQ(s.cal->Date(), today());
    EXPECT_EQ(s.cal->lb_title->text(), MonthGrid::Title(today()));
    EXPECT_EQ(timetable().Filter(), DayFilterText(today()));
    EXPECT_EQ(timetable().IndexFieldNames(), "WHENHOUR");

    // The hours panel as the formulas give it from the user info.
    const THoursBalance balance = THoursBalance::FromUserInfo(dm().cd_user_info);
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Payed), FormatAmount(balance.payed));
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Spent), FormatAmount(balance.Spent()));
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Free), FormatAmount(balance.Free()));
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Bookable), FormatAmount(balance.Bookable()));
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Expiry), balance.ExpiryText());

    showDay(freeDay());
    EXPECT_EQ(listedIds(), (QList<qint64>{free, booked, confirmed, held}));
    const struct {
        qint64 id;
        bool reserve, cancel;
    } cases[] = {
        {free, true, false}, {booked, false, true}, {confirmed, false, true}, {held, false, false}};
    for (const auto &c : cases) {
        select(c.id);
        EXPECT_EQ(s.spb_reserve_new->isEnabled(), c.reserve) << c.id;
        EXPECT_EQ(s.spb_storno_status->isEnabled(), c.cancel) << c.id;
    }
    // A day without lessons: nothing to book or cancel.
    s.cal->SetDate(freeDay().addDays(1));
    EXPECT_TRUE(listedIds().isEmpty());
    EXPECT_FALSE(s.spb_reserve_new->isEnabled());
    EXPECT_FALSE(s.spb_storno_status->isEnabled());
}

TEST_F(TimetableAgainstServer, ClientBooksAndCancelsAndARefusalIsReportedAfterTheReRead) {
    signIn(QStringLiteral("klient"));
    const qint64 slot = addLesson(Demo::Teacher, 0, at(freeDay(), 9), 1);
    const qint64 other = addLesson(Demo::Teacher2, 0, at(freeDay(), 10), 1);
    openTimetable();
    Tfrtimetable &s = screen();
    showDay(freeDay());
    const QString when = whenText(slot);
    const QString bookableBefore = s.pan_hours->ValueText(THoursPanel::Bookable);

    // Declined: nothing is sent.
    seam.boxAnswers << mrNo;
    s.spb_reserve_new->click();
    EXPECT_EQ(serverStatus(slot), 1);
    // Booked: the question names the time, the success follows, the list and the panel are
    // read again and the lesson stays current.
    seam.boxes.clear();
    seam.boxAnswers << mrYes;
    s.spb_reserve_new->click();
    EXPECT_EQ(seam.boxTexts(),
              (QStringList{AppText(355).replace(QStringLiteral("%s"), when), AppText(356)}));
    EXPECT_EQ(serverStatus(slot), 2);
    EXPECT_EQ(serverClient(slot), Demo::Client);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger(), slot);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger(), 2);
    EXPECT_NE(s.pan_hours->ValueText(THoursPanel::Bookable), bookableBefore);
    EXPECT_FALSE(s.spb_reserve_new->isEnabled());
    EXPECT_TRUE(s.spb_storno_status->isEnabled());
    EXPECT_EQ(s.ColourMap().ValueOf(freeDay()), TMonthColourMap::kMixed);

    seam.boxes.clear();
    seam.boxAnswers << mrYes;
    s.spb_storno_status->click();
    EXPECT_EQ(seam.boxTexts(),
              (QStringList{AppText(365).replace(QStringLiteral("%s"), when), AppText(357)}));
    EXPECT_EQ(serverStatus(slot), 1);
    EXPECT_EQ(serverClient(slot), 0);
    EXPECT_EQ(s.pan_hours->ValueText(THoursPanel::Bookable), bookableBefore);
    EXPECT_EQ(s.ColourMap().ValueOf(freeDay()), 1);

    // Someone else took the other slot meanwhile: the server refuses, the list is read again
    // (the slot is gone from it) and only then is the refusal shown, without the success.
    server.dbValue(QStringLiteral("UPDATE TIMETABLE SET TIMETABLESTATUS = 2, IDUSER = ? WHERE "
                                  "IDTIMETABLE = ?"),
                   {Demo::Newcomer, other});
    select(other);
    seam.boxes.clear();
    seam.boxAnswers << mrYes;
    s.spb_reserve_new->click();
    ASSERT_EQ(seam.boxes.size(), 2);
    EXPECT_EQ(seam.boxes[1].type, mtError);
    EXPECT_FALSE(listedIds().contains(other));
    EXPECT_EQ(serverClient(other), Demo::Newcomer);
}

TEST_F(TimetableAgainstServer, MonthColoursFollowTheDaysAndMonthsKeepTheDay) {
    signIn(QStringLiteral("reditel"));
    const QDate day = freeDay();
    addLesson(Demo::Teacher, 0, at(day, 9), 1);
    addLesson(Demo::Teacher, Demo::Client, at(day, 10), 3); // free + confirmed
    addLesson(Demo::Teacher, Demo::Client, at(day.addDays(1), 9), 4);
    addLesson(Demo::Teacher2, Demo::Client, at(day.addDays(1), 10), 5); // held + missed
    addLesson(Demo::Teacher, 0, at(day.addDays(2), 9), 1);
    addLesson(Demo::Teacher2, 0, at(day.addDays(2), 9), 1); // two free slots
    addLesson(Demo::Teacher3, Demo::Client, at(day.addDays(3), 8), 2);
    openTimetable();
    Tfrtimetable &s = screen();
    showDay(day);
    const struct {
        int offset;
        int value;
    } days[] = {{0, TMonthColourMap::kMixed},
                {1, TMonthColourMap::kMixed},
                {2, 1},
                {3, 2},
                {4, TMonthColourMap::kNoLesson}};
    for (const auto &d : days) {
        if (MonthGrid::CellOf(day, day.addDays(d.offset)) < 0)
            continue; // beyond the shown weeks
        EXPECT_EQ(s.ColourMap().ValueOf(day.addDays(d.offset)), d.value) << d.offset;
        EXPECT_EQ(s.CellColour(day.addDays(d.offset)), DayColour(d.value)) << d.offset;
    }
    EXPECT_EQ(listedIds().size(), 2);
    EXPECT_TRUE(s.cal->isEnabled());

    // 31 January: the next month's button goes to the last day of February.
    const QDate january(today().year() + 1, 1, 31);
    s.cal->SetDate(january);
    s.cal->btn_next->click();
    const QDate february(january.year(), 2, QDate(january.year(), 2, 1).daysInMonth());
    EXPECT_EQ(s.cal->Date(), february);
    EXPECT_EQ(s.cal->lb_title->text(), MonthGrid::Title(february));
    EXPECT_EQ(timetable().Filter(), DayFilterText(february));
    EXPECT_TRUE(s.ColourMap().IsFor(february));
    s.cal->btn_prior->click();
    EXPECT_EQ(s.cal->Date(), QDate(january.year(), 1, february.day()));
}

TEST_F(TimetableAgainstServer, TeacherChangesStatusesThroughHisMenu) {
    signIn(QStringLiteral("lektor"));
    // A lesson that has begun (the server lets a lesson be marked held only then) and a slot
    // on the same day.
    const QDate day = today();
    const qint64 lesson = addLesson(Demo::Teacher, Demo::Client, at(day, 0), 3);
    const qint64 slot = addLesson(Demo::Teacher, 0, at(day, 1), 1);
    openTimetable();
    Tfrtimetable &s = screen();
    EXPECT_FALSE(s.spb_hist->isVisible());
    EXPECT_TRUE(s.spb_user->isVisible());
    EXPECT_TRUE(s.frg_timetable->nv->ButtonVisible(nbDelete));
    EXPECT_EQ(s.spb_reserve_new->text(), AppText(351));
    EXPECT_EQ(s.spb_storno_status->text(), AppText(352));
    QList<int> entries;
    for (QAction *a : s.pm_status->actions())
        entries << a->data().toInt();
    EXPECT_EQ(entries, (QList<int>{3, 4, 5}));

    showDay(day);
    select(slot); // a free slot: no status change, no client
    EXPECT_TRUE(s.spb_reserve_new->isEnabled());
    EXPECT_FALSE(s.spb_storno_status->isEnabled());
    EXPECT_FALSE(s.spb_user->isEnabled());
    select(lesson);
    EXPECT_TRUE(s.spb_storno_status->isEnabled());
    EXPECT_TRUE(s.spb_user->isEnabled());
    s.spb_storno_status->click();
    EXPECT_TRUE(s.pm_status->isVisible());
    EXPECT_FALSE(s.pm_status->EntryOf(3)->isEnabled());
    EXPECT_TRUE(s.pm_status->EntryOf(4)->isEnabled());
    EXPECT_TRUE(s.pm_status->EntryOf(5)->isEnabled());
    s.pm_status->EntryOf(4)->trigger();
    s.pm_status->close();
    EXPECT_EQ(serverStatus(lesson), 4);
    EXPECT_EQ(seam.boxTexts(), QStringList()); // no success text
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger(), lesson);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger(), 4);

    // The lesson vanished on the server: the refusal is shown after the list was re-read.
    server.dbValue(QStringLiteral("DELETE FROM TIMETABLE WHERE IDTIMETABLE = ?"), {lesson});
    EXPECT_FALSE(s.ChangeStatus(5));
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].type, mtError);
    EXPECT_FALSE(listedIds().contains(lesson)); // the day's other lessons stay listed
    EXPECT_TRUE(listedIds().contains(slot));

    // The menu is built anew after sign-out: staff get every status.
    signOut();
    EXPECT_TRUE(s.pm_status->IsEmpty());
    signIn(QStringLiteral("manazer"));
    openTimetable();
    EXPECT_EQ(s.pm_status->actions().size(), dm().cd_ttstatus.RecordCount());
    EXPECT_TRUE(s.spb_hist->isVisible());
}

TEST_F(TimetableAgainstServer, AddingSlotsRefusesATakenHourAsAWholeAndAPastDay) {
    signIn(QStringLiteral("lektor"));
    const QDate day = freeDay();
    addLesson(Demo::Teacher, 0, at(day, 10), 1);
    addLesson(Demo::Teacher, 0, at(day, 11), 7);  // cancelled by the school: not taken
    addLesson(Demo::Teacher2, 0, at(day, 12), 1); // another teacher's hour
    openTimetable();
    Tfrtimetable &s = screen();
    showDay(day);
    const auto count = [&] {
        return server
            .dbValue(QStringLiteral("SELECT COUNT(*) FROM TIMETABLE WHERE IDTEACHER = ? AND "
                                    "WHENHOUR >= ? AND WHENHOUR < ?"),
                     {Demo::Teacher, at(day, 0), at(day.addDays(1), 0)})
            .toInt();
    };
    const int before = count();
    QStringList shown;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfaddtimetable *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Date(), day);
        EXPECT_EQ(dialog->hours.size(), 24);
        dialog->btnok->click(); // nothing checked
        dialog->hours[9]->setChecked(true);
        dialog->hours[10]->setChecked(true);
        dialog->btnok->click(); // 10:00 is taken: nothing is added
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(timetable().ChangeCount(), 0);
        shown = seam.boxTexts();
        dialog->btnclear->click();
        EXPECT_FALSE(dialog->hours[9]->isChecked());
        for (int hour : {9, 11, 12})
            dialog->hours[hour]->setChecked(true);
        dialog->btnok->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    s.spb_reserve_new->click();
    EXPECT_EQ(shown, (QStringList{AppText(6), AppText(7).replace(QStringLiteral("%s"),
                                                                 FormatShortDate(day) +
                                                                     QStringLiteral(" 10:00"))}));
    EXPECT_EQ(count(), before + 3);
    EXPECT_EQ(server
                  .dbValue(QStringLiteral("SELECT COUNT(*) FROM TIMETABLE WHERE IDTEACHER = ? AND "
                                          "WHENHOUR = ? AND TIMETABLESTATUS = 1 AND IDJOB = ?"),
                           {Demo::Teacher, at(day, 9), kJob})
                  .toInt(),
              1);
    EXPECT_EQ(timetable().ChangeCount(), 0);
    EXPECT_EQ(listedIds().size(), 2 + 3); // his own lessons of the day and the new slots
    EXPECT_EQ(s.ColourMap().ValueOf(day), TMonthColourMap::kMixed); // 1 and 7

    // A past day: the dialog does not open.
    seam.boxes.clear();
    s.cal->SetDate(today().addDays(-1));
    s.spb_reserve_new->click();
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(5)});
    EXPECT_FALSE(s.AddDialog()->isVisible());
}

TEST_F(TimetableAgainstServer, FilterBoxGreysTheCalendarAndListsTheFilter) {
    signIn(QStringLiteral("manazer"));
    const qint64 lesson = addLesson(Demo::Teacher3, Demo::Client, at(freeDay(), 9), 3);
    addLesson(Demo::Teacher3, 0, at(freeDay(), 10), 1);
    openTimetable();
    Tfrtimetable &s = screen();
    TClientTable &users = dm().cd_user;
    users.Open();
    users.SetIndexFieldNames(QStringLiteral("SURNAME"));
    timetable().Refresh();
    // Checking the box opens the filter; the teacher list holds types 2 and 3 by name, the
    // client list type 4.
    filterWith(
        [&](Tfflttimetable &dialog) {
            EXPECT_TRUE(dialog.cb_teacher->isVisible());
            const auto typeOf = [&](int id) {
                return server
                    .dbValue(QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ?"), {id})
                    .toInt();
            };
            EXPECT_EQ(dialog.cb_teacher->itemText(0), CommonText(130));
            for (int i = 1; i < dialog.cb_teacher->count(); ++i)
                EXPECT_TRUE(typeOf(dialog.cb_teacher->itemData(i).toInt()) == 2 ||
                            typeOf(dialog.cb_teacher->itemData(i).toInt()) == 3);
            for (int i = 1; i < dialog.cb_client->count(); ++i)
                EXPECT_EQ(typeOf(dialog.cb_client->itemData(i).toInt()), 4);
            dialog.cb_teacher->setCurrentIndex(dialog.cb_teacher->findData(int(Demo::Teacher3)));
            dialog.cb_status->RestoreCheckedPositions(QStringLiteral("2"));
        },
        [&] { s.chb_filter->click(); });
    EXPECT_TRUE(s.chb_filter->isChecked());
    EXPECT_EQ(users.IndexFieldNames(), "SURNAME");
    EXPECT_FALSE(users.Filtered());
    EXPECT_FALSE(s.cal->isEnabled());
    for (QLabel *label : s.lb_legend)
        EXPECT_FALSE(label->isEnabled());
    EXPECT_EQ(timetable().Filter(),
              QStringLiteral("(TIMETABLESTATUS=3) AND (IDTEACHER=%1)").arg(Demo::Teacher3));
    EXPECT_TRUE(listedIds().contains(lesson));
    const int status = timetable().FieldIndex(QStringLiteral("TIMETABLESTATUS"));
    for (int pos = 0; pos < timetable().VisibleRowCount(); ++pos)
        EXPECT_EQ(timetable().ValueAt(pos, status).toInteger(), 3);
    EXPECT_TRUE(s.frg_timetable->spbfilter->toolTip().startsWith(AppText(110)));

    // Cancel gives back the values of the opening.
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tfflttimetable *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->cb_status->RestoreCheckedPositions(QStringLiteral("0"));
        dialog->btncancel->click();
    });
    s.frg_timetable->spbfilter->click();
    EXPECT_EQ(s.FilterDialog()->cb_status->CheckedPositions(), "2");

    // Unchecking returns to the selected day.
    s.chb_filter->click();
    EXPECT_TRUE(s.cal->isEnabled());
    EXPECT_EQ(timetable().Filter(), DayFilterText(s.cal->Date()));
    // Leaving the screen lifts the filter and empties the people lists.
    clickMain("im_order");
    EXPECT_FALSE(timetable().Filtered());
    EXPECT_EQ(s.FilterDialog()->cb_teacher->count(), 1);
    signOut();
    EXPECT_EQ(s.FilterDialog(), nullptr);
}

TEST_F(TimetableAgainstServer, ClientDetailAndHistoryForStaff) {
    signIn(QStringLiteral("reditel"));
    const qint64 lesson = addLesson(Demo::Teacher, 0, at(freeDay(), 9), 1);
    openTimetable();
    Tfrtimetable &s = screen();
    showDay(freeDay());
    select(lesson);
    // A status change through the menu makes a history entry.
    s.pm_status->MarkCurrent(1);
    server.dbValue(QStringLiteral("UPDATE TIMETABLE SET IDUSER = ?, TIMETABLESTATUS = 2 WHERE "
                                  "IDTIMETABLE = ?"),
                   {Demo::Client, lesson});
    ASSERT_TRUE(s.ChangeStatus(3));
    ASSERT_TRUE(s.spb_user->isEnabled());
    int shownUser = 0;
    bool filtered = false;
    WhenModal([&](QWidget *w) {
        filtered = dm().cd_user.Filtered() && dm().cd_user.RecordCount() == 1;
        shownUser = int(dm().cd_user.FieldByName(QStringLiteral("IDUSER")).AsInteger());
        static_cast<QDialog *>(w)->reject();
    });
    s.spb_user->click();
    EXPECT_TRUE(filtered);
    EXPECT_EQ(shownUser, Demo::Client);
    EXPECT_FALSE(dm().cd_user.Filtered());

    QString title;
    QList<qint64> historyOf;
    WhenModal([&](QWidget *w) {
        title = w->windowTitle();
        TClientTable &h = dm().cd_ttstatushist;
        const int field = h.FieldIndex(QStringLiteral("IDTIMETABLE"));
        for (int pos = 0; pos < h.VisibleRowCount(); ++pos)
            historyOf << h.ValueAt(pos, field).toInteger();
        static_cast<QDialog *>(w)->reject();
    });
    s.spb_hist->click();
    EXPECT_EQ(title, AppText(130).replace(QStringLiteral("%s"), whenText(lesson)));
    ASSERT_FALSE(historyOf.isEmpty());
    for (qint64 id : historyOf)
        EXPECT_EQ(id, lesson);
    EXPECT_FALSE(dm().cd_ttstatushist.Filtered());
}

TEST_F(TimetableAgainstServer, ExportWritesTheListOrTheClientsBookings) {
    signIn(QStringLiteral("klient"));
    addLesson(Demo::Teacher, 0, at(freeDay(), 9), 1);
    addLesson(Demo::Teacher, Demo::Client, at(freeDay(), 10), 2);
    openTimetable();
    showDay(freeDay());
    const QString file = dir.path() + QStringLiteral("/mine");
    seam.fileAnswers << file;
    screen().spb_export->click();
    QFile ics(file + QStringLiteral(".ics"));
    ASSERT_TRUE(ics.open(QIODevice::ReadOnly)) << seam.boxTexts().join(u'|').toStdString();
    const QByteArray text = ics.readAll();
    ics.close();
    const qint64 booked = server
                              .dbValue(QStringLiteral("SELECT COUNT(*) FROM TIMETABLE WHERE "
                                                      "IDUSER = ? AND TIMETABLESTATUS IN (2, 3)"),
                                       {Demo::Client})
                              .toLongLong();
    EXPECT_EQ(text.count("BEGIN:VEVENT"), booked); // his bookings, not the free slots
    EXPECT_TRUE(text.contains("SUMMARY:" + AppText(1301).toUtf8()));
    EXPECT_EQ(seam.fileDialogs.size(), 1);
    EXPECT_TRUE(seam.fileDialogs[0].save);
    // The export says where it went.
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(1312).arg(booked).arg(
                                   QDir::toNativeSeparators(file + QStringLiteral(".ics")))});

    // Staff export the listed day; a day without lessons says so and asks nothing.
    signOut();
    signIn(QStringLiteral("manazer"));
    openTimetable();
    showDay(freeDay());
    seam.fileAnswers << file;
    screen().spb_export->click();
    ASSERT_TRUE(ics.open(QIODevice::ReadOnly));
    EXPECT_EQ(ics.readAll().count("BEGIN:VEVENT"), 2);
    ics.close();
    screen().cal->SetDate(freeDay().addDays(1));
    seam.boxes.clear();
    screen().spb_export->click();
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(1305)});
    EXPECT_EQ(seam.fileDialogs.size(), 2);
}

// Two program instances against one server: the client's instance books, the teacher's sees
// the booking after a refresh of his list.
TEST_F(TimetableAgainstServer, ABookingInAnotherInstanceIsSeenAfterARefresh) {
    signIn(QStringLiteral("lektor"));
    const qint64 slot = addLesson(Demo::Teacher, 0, at(freeDay(), 9), 1);
    openTimetable();
    Tfrtimetable &s = screen();
    showDay(freeDay());
    select(slot);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger(), 1);
    EXPECT_EQ(s.ColourMap().ValueOf(freeDay()), 1);

    QProcess peer;
    peer.start(QStringLiteral(TELLAVO_TIMETABLE_PEER),
               {QString::number(server.httpPort()), QStringLiteral("klient"), QString::number(slot),
                freeDay().toString(Qt::ISODate)});
    ASSERT_TRUE(peer.waitForFinished(60000));
    ASSERT_EQ(peer.exitCode(), 0) << peer.readAllStandardError().toStdString();
    // Not before the refresh.
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger(), 1);
    s.frg_timetable->nv->BtnClick(nbRefresh);
    select(slot);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger(), 2);
    EXPECT_EQ(timetable().FieldByName(QStringLiteral("IDUSER")).AsInteger(), Demo::Client);
    EXPECT_FALSE(timetable().FieldByName(QStringLiteral("CLIENTFULLNAME")).AsString().isEmpty());
    EXPECT_EQ(s.ColourMap().ValueOf(freeDay()), 2);
}

} // namespace
