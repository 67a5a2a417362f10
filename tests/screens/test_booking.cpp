// The booking features in the program against the reference server: shown and working when it
// offers them, none of them shown (and no message) against a server without them.
#include "app/booking/lessonbanner.h"
#include "base/bookingfeatures.h"
#include "base/session.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "screenfixture.h"
#include "screens/orders/tfedordernew.h"
#include "screens/profile/calendar/calendarfeedbox.h"
#include "screens/profile/tfprofile.h"
#include "screens/timetable/booking/tfrepeatbooking.h"
#include "screens/timetable/booking/timetableextras.h"
#include "screens/timetable/hourspanel.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/timetable/tfrtimetable.h"
#include "seam/messagebox.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

namespace {

class BookingFixture : public ScreenFixture {
protected:
    using ScreenFixture::ScreenFixture;

    Tfrtimetable &screen() {
        return *static_cast<Tfrtimetable *>(app->mainWindow()->screen(u"timetable"));
    }
    TTimetableExtras &extras() { return *screen().Extras(); }
    TLessonBanner &banner() { return *app->mainWindow()->findChild<TLessonBanner *>(); }
    TClientTable &timetable() { return dm().cd_timetable; }

    qint64 addLesson(qint64 teacher, qint64 client, const QDateTime &when, int status) {
        qint64 id = 0;
        server.onServer([&](CentralServer &s) {
            id = s.database().nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
            s.database().run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER,"
                                            " IDUSER, WHENHOUR, HOURS, TIMETABLESTATUS)"
                                            " SELECT ?, IDJOB, IDUSER, ?, ?, 1, ? FROM USERS"
                                            " WHERE IDUSER = ?"),
                             {id, client, when, status, teacher});
        });
        return id;
    }
    void setHours(qint64 user, int debit) {
        server.onServer([&](CentralServer &s) {
            s.database().run(QStringLiteral("UPDATE USERS SET HOURDEBIT = ? WHERE IDUSER = ?"),
                             {debit, user});
        });
    }
    // The server's time to the minute, moved by minutes (half past: no demo slot is there).
    QDateTime halfPast(int hoursAhead) const {
        const QDateTime t = seam.clock.addSecs(qint64(hoursAhead) * 3600);
        return QDateTime(t.date(), QTime(t.time().hour(), 30));
    }
    void showLesson(qint64 id, const QDate &day) {
        clickMain("im_timetable");
        timetable().Refresh();
        screen().cal->SetDate(day);
        screen().RecomputeCalendar();
        ASSERT_TRUE(timetable().Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(id)}));
    }
};

class WithoutFeatures : public BookingFixture {
protected:
    WithoutFeatures() : BookingFixture([](ServerOptions &o) { o.bookingFeatures = false; }) {}
};

} // namespace

// The program asks once, hears "unknown action", says nothing and shows none of the features;
// the basic timetable and profile work as before.
TEST_F(WithoutFeatures, NoneOfTheFeaturesIsShown) {
    const qint64 soon = addLesson(Demo::Teacher, Demo::Client, seam.clock.addSecs(600), 2);
    const qint64 free = addLesson(Demo::Teacher, 0, halfPast(3), 1);
    signIn(QStringLiteral("klient"));
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
    EXPECT_TRUE(TBookingFeatures::FromSession(SessionValues()).offered.isEmpty());
    showLesson(soon, seam.clock.date());
    EXPECT_TRUE(screen().spb_storno_status->isEnabled()) << "no deadline known";
    EXPECT_FALSE(extras().pan_cancelreason->isVisible());
    EXPECT_TRUE(screen().spb_storno_status->toolTip().isEmpty());
    ASSERT_TRUE(timetable().Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(free)}));
    for (QWidget *w :
         {static_cast<QWidget *>(extras().spb_repeat), static_cast<QWidget *>(extras().spb_wait)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(screen().pan_hours->property("lowBalance").toBool());
    EXPECT_FALSE(banner().isVisible());
    EXPECT_FALSE(banner().NextLesson().has_value());

    Tfprofile profile(app->services(), app->mainWindow());
    profile.Prepare();
    profile.show();
    EXPECT_FALSE(profile.gb_calendarfeed->isVisible());
    profile.reject();
    EXPECT_TRUE(seam.boxes.isEmpty());

    // A teacher's add-slots dialog has no weeks to repeat.
    signOut();
    signIn(QStringLiteral("lektor"));
    clickMain("im_timetable");
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tfaddtimetable *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->spn_weeks->isVisible());
        dialog->reject();
    });
    screen().spb_reserve_new->click();
}

TEST_F(BookingFixture, TheCancelButtonSaysWhyItIsOffWithinTheDeadline) {
    const qint64 near = addLesson(Demo::Teacher, Demo::Client, halfPast(5), 2);
    const qint64 far = addLesson(Demo::Teacher, Demo::Client, halfPast(24 * 100), 3);
    signIn(QStringLiteral("klient"));
    showLesson(near, halfPast(5).date());
    const QString reason = FormatText(AppText(1904), {24});
    EXPECT_FALSE(screen().spb_storno_status->isEnabled());
    EXPECT_EQ(screen().spb_storno_status->toolTip(), reason);
    EXPECT_TRUE(extras().pan_cancelreason->isVisible());
    EXPECT_EQ(extras().lb_cancelreason->text(), reason);
    // Writing to the teacher instead: by e-mail about that lesson, or in the lesson chat.
    extras().MessageByEmail();
    ASSERT_EQ(seam.opened.size(), 1);
    EXPECT_TRUE(seam.opened[0].startsWith(QStringLiteral("mailto:?subject=Lekce%20")));
    extras().MessageByChat();
    EXPECT_EQ(app->mainWindow()->currentScreen(), app->mainWindow()->screen(u"learn"));

    showLesson(far, halfPast(24 * 100).date());
    EXPECT_TRUE(screen().spb_storno_status->isEnabled());
    EXPECT_TRUE(screen().spb_storno_status->toolTip().isEmpty());
    EXPECT_FALSE(extras().pan_cancelreason->isVisible());
}

// A booking that leaves the hours at the school's level warns and offers an order at once;
// the hours panel keeps the mark.
TEST_F(BookingFixture, ALowBalanceWarnsAndOffersAnOrder) {
    setHours(Demo::Newcomer, 4);
    const QDateTime day = halfPast(24 * 30);
    const qint64 first = addLesson(Demo::Teacher, 0, day, 1);
    const qint64 second = addLesson(Demo::Teacher, 0, day.addSecs(3600), 1);
    signIn(QStringLiteral("novacek"));
    seam.boxes.clear();
    showLesson(first, day.date());
    EXPECT_FALSE(screen().pan_hours->property("lowBalance").toBool());
    seam.boxAnswers << mrYes << mrOK;
    screen().spb_reserve_new->click();
    EXPECT_EQ(seam.boxes.size(), 2) << "3 hours left: no warning";

    ASSERT_TRUE(timetable().Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(second)}));
    seam.boxes.clear();
    seam.boxAnswers << mrYes << mrOK << mrYes;
    bool orderOffered = false;
    WhenModal([&](QWidget *w) {
        orderOffered = qobject_cast<Tfedordernew *>(w) != nullptr;
        qobject_cast<QDialog *>(w)->reject();
    });
    screen().spb_reserve_new->click();
    ASSERT_EQ(seam.boxes.size(), 3);
    EXPECT_EQ(seam.boxes[2].text, FormatText(AppText(1909), {FormatAmount(2)}));
    EXPECT_TRUE(orderOffered);
    EXPECT_TRUE(screen().pan_hours->property("lowBalance").toBool());
    EXPECT_TRUE(screen().pan_hours->title().endsWith(AppText(1910)));
}

// The repeat dialog lists the weeks without a free slot before anything is booked; with one
// such week nothing is booked, without any every week is.
TEST_F(BookingFixture, TheRepeatDialogListsConflictsBeforeBooking) {
    setHours(Demo::Newcomer, 6);
    const QDateTime first = halfPast(24 * 30);
    QList<qint64> weeks;
    for (int week = 0; week < 3; ++week)
        weeks << (week == 1 ? 0 : addLesson(Demo::Teacher, 0, first.addDays(7 * week), 1));
    signIn(QStringLiteral("novacek"));
    seam.boxes.clear();
    showLesson(weeks[0], first.date());
    ASSERT_TRUE(extras().spb_repeat->isVisible());
    ASSERT_TRUE(extras().spb_repeat->isEnabled());
    QStringList listed;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfrepeatbooking *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->spn_weeks->setValue(3);
        dialog->btnok->click(); // checks first, finds the missing week, books nothing
        for (int i = 0; i < dialog->lst_conflicts->count(); ++i)
            listed << dialog->lst_conflicts->item(i)->text();
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
    });
    extras().spb_repeatClick();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_TRUE(listed[0].contains(first.addDays(7).toString(QStringLiteral("d. M. yyyy H:mm"))));
    EXPECT_EQ(
        server.dbValue("SELECT TIMETABLESTATUS FROM TIMETABLE WHERE IDTIMETABLE = ?", {weeks[0]})
            .toInt(),
        1);

    addLesson(Demo::Teacher, 0, first.addDays(7), 1);
    showLesson(weeks[0], first.date());
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfrepeatbooking *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->spn_weeks->setValue(3);
        dialog->btnok->click();
    });
    seam.boxAnswers << mrOK;
    extras().spb_repeatClick();
    EXPECT_EQ(seam.boxTexts().value(0), FormatText(AppText(1920), {3}));
    EXPECT_EQ(
        server
            .dbValue("SELECT COUNT(*) FROM TIMETABLE WHERE IDUSER = ? AND TIMETABLESTATUS = 2",
                     {Demo::Newcomer})
            .toInt(),
        3);
}

// Fifteen minutes before the next lesson the strip appears on every screen with its teacher,
// the lesson screen is one button away, and in the background a notification goes out once.
TEST_F(BookingFixture, TheBannerAnnouncesTheNextLesson) {
    // The client's own lessons of the next hour make way for this one.
    server.onServer([&](CentralServer &s) {
        s.database().run(QStringLiteral("DELETE FROM TIMETABLE WHERE IDUSER = ? AND WHENHOUR > ?"
                                        " AND WHENHOUR < ?"),
                         {Demo::Client, seam.clock.addSecs(-3600), seam.clock.addSecs(3600)});
    });
    addLesson(Demo::Teacher, Demo::Client, seam.clock.addSecs(10 * 60 + 30), 2);
    QStringList notes;
    banner().inBackground = [] { return true; };
    banner().notify = [&](const QString &title, const QString &text) {
        notes << title + u'|' + text;
    };
    signIn(QStringLiteral("klient"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return banner().isVisible(); }, 10000));
    const QString teacher = banner().NextLesson()->partner;
    EXPECT_FALSE(teacher.isEmpty());
    EXPECT_EQ(banner().lb_text->text(), FormatText(AppText(1900), {11, teacher}));
    EXPECT_EQ(notes, QStringList{AppText(1902) + u'|' + banner().lb_text->text()});
    banner().Tick();
    EXPECT_EQ(notes.size(), 1) << "once per lesson";
    banner().btn_open->click();
    EXPECT_EQ(app->mainWindow()->currentScreen(), app->mainWindow()->screen(u"learn"));
    clickMain("im_timetable");
    EXPECT_TRUE(banner().isVisible());
    // Half an hour earlier it says nothing; after sign-out it is gone.
    seam.clock = seam.clock.addSecs(-30 * 60);
    banner().Tick();
    EXPECT_FALSE(banner().isVisible());
    seam.clock = seam.clock.addSecs(30 * 60);
    banner().Tick();
    EXPECT_TRUE(banner().isVisible());
    signOut();
    EXPECT_FALSE(banner().isVisible());
}

TEST_F(BookingFixture, TheProfileCreatesCopiesAndRevokesTheCalendarAddress) {
    signIn(QStringLiteral("klient"));
    Tfprofile profile(app->services(), app->mainWindow());
    profile.Prepare();
    profile.show();
    TCalendarFeedBox &box = *profile.gb_calendarfeed;
    ASSERT_TRUE(box.isVisible());
    EXPECT_TRUE(box.btn_create->isVisible());
    EXPECT_FALSE(box.btn_copy->isVisible());
    box.btn_create->click();
    const QString address = box.ed_address->text();
    EXPECT_TRUE(address.startsWith(
        QStringLiteral("http://127.0.0.1:%1/tellavo/calendar/").arg(server.httpPort())))
        << address.toStdString();
    EXPECT_EQ(server.get(address.mid(address.indexOf(u'/', 8)).toLatin1()).status, 200);
    box.btn_copy->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), address);
    seam.boxAnswers << mrYes;
    box.btn_revoke->click();
    EXPECT_TRUE(box.ed_address->text().isEmpty());
    EXPECT_TRUE(box.btn_create->isVisible());
    EXPECT_EQ(server.get(address.mid(address.indexOf(u'/', 8)).toLatin1()).status, 404);
    profile.reject();
}

// A teacher repeats a day's pattern for weeks: all slots or, when one is taken, none.
TEST_F(BookingFixture, ATeacherAddsAWeeksPatternForSeveralWeeks) {
    signIn(QStringLiteral("lektor"));
    clickMain("im_timetable");
    const QDate day = seam.clock.date().addDays(120);
    screen().cal->SetDate(day);
    const auto count = [&] {
        return server
            .dbValue("SELECT COUNT(*) FROM TIMETABLE WHERE IDTEACHER = ? AND WHENHOUR >= ?",
                     {Demo::Teacher, QDateTime(day, QTime(0, 0))})
            .toInt();
    };
    const int before = count();
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tfaddtimetable *>(w);
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->spn_weeks->isVisible());
        dialog->hours[7]->setChecked(true);
        dialog->hours[8]->setChecked(true);
        dialog->spn_weeks->setValue(3);
        dialog->btnok->click();
    });
    screen().spb_reserve_new->click();
    EXPECT_EQ(count(), before + 6);
}
