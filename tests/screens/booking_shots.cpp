// A developer program: signs in to the reference server with its demo school and saves
// pictures of the booking features (the banner before a lesson, the cancel button off with
// its reason, the low-balance warning, the repeat dialog with a missing week, the profile's
// calendar address) into the folder TELLAVO_SHOTS, in the language TELLAVO_SHOTS_LANG ("cs"
// or "sk"). Run it under xvfb-run.
#include "screenfixture.h"

#include "app/booking/lessonbanner.h"
#include "app/tfmain.h"
#include "base/locations.h"
#include "base/session.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "screens/profile/calendar/calendarfeedbox.h"
#include "screens/profile/tfprofile.h"
#include "screens/timetable/booking/tfrepeatbooking.h"
#include "screens/timetable/booking/timetableextras.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/tfrtimetable.h"
#include "seam/widgetseam.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"

#include <QApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString folder() {
    return qEnvironmentVariable("TELLAVO_SHOTS", QStringLiteral("."));
}

QString language() {
    return qEnvironmentVariable("TELLAVO_SHOTS_LANG", QStringLiteral("cs"));
}

QString fileName(const char *name) {
    return folder() + QStringLiteral("/%1-%2.png").arg(QLatin1String(name), language());
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Real message boxes for the length of a picture; the clock stays the test's.
class BoxSeam : public WidgetSeam {
public:
    explicit BoxSeam(Seam &clock) : m_clock(clock), m_previous(InstallSeam(this)) {}
    ~BoxSeam() override { InstallSeam(m_previous); }
    QDateTime now() override { return m_clock.now(); }

private:
    Seam &m_clock;
    Seam *m_previous;
};

class BookingShots : public ScreenFixture {
protected:
    void SetUp() override {
        seam.clock = QDateTime::currentDateTime();
        SetLanguageIndex(language() == QLatin1String("sk") ? LangSlovak : LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        SessionValues().clear();
        useAccount(QStringLiteral("klient"));
        app = std::make_unique<TApp>(StartSwitches{});
        app->createWindows();
        app->mainWindow()->resize(1100, 720);
        app->mainWindow()->show();
    }
    Tfrtimetable &screen() {
        return *static_cast<Tfrtimetable *>(app->mainWindow()->screen(u"timetable"));
    }
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
    QDateTime halfPast(int hoursAhead) const {
        const QDateTime t = seam.clock.addSecs(qint64(hoursAhead) * 3600);
        return QDateTime(t.date(), QTime(t.time().hour(), 30));
    }
    void showLesson(qint64 id, const QDate &day) {
        clickMain("im_timetable");
        dm().cd_timetable.Refresh();
        screen().cal->SetDate(day);
        screen().RecomputeCalendar();
        dm().cd_timetable.Locate(QStringLiteral("IDTIMETABLE"), {TValue::FromInteger(id)});
    }
    void shootWindow(const char *name) {
        settle();
        app->mainWindow()->grab().save(fileName(name));
    }
};

// Acts on each modal window that comes up, in turn (message boxes and dialogs).
void OnModals(std::function<bool(int index, QWidget *modal)> act) {
    auto *timer = new QTimer;
    auto *last = new QPointer<QWidget>;
    auto *index = new int(0);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == *last)
            return;
        *last = modal;
        settle();
        if (!act((*index)++, modal)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace

TEST_F(BookingShots, BannerAndCancelReason) {
    server.onServer([&](CentralServer &s) {
        s.database().run(QStringLiteral("DELETE FROM TIMETABLE WHERE IDUSER = ? AND WHENHOUR > ?"
                                        " AND WHENHOUR < ?"),
                         {Demo::Client, seam.clock.addSecs(-3600), seam.clock.addSecs(7200)});
    });
    QDateTime when = seam.clock.addSecs(15 * 60);
    when.setTime(QTime(when.time().hour(), when.time().minute()));
    const qint64 soon = addLesson(Demo::Teacher, Demo::Client, when, 2);
    signIn(QStringLiteral("klient"));
    auto *banner = app->mainWindow()->findChild<TLessonBanner *>();
    ASSERT_TRUE(QTest::qWaitFor([&] { return banner->isVisible(); }, 10000));
    showLesson(soon, when.date());
    shootWindow("booking-banner");
}

TEST_F(BookingShots, LowBalanceWarning) {
    server.onServer([&](CentralServer &s) {
        s.database().run(QStringLiteral("UPDATE USERS SET HOURDEBIT = 3 WHERE IDUSER = ?"),
                         {Demo::Newcomer});
    });
    const qint64 slot = addLesson(Demo::Teacher, 0, halfPast(24 * 20), 1);
    signIn(QStringLiteral("novacek"));
    showLesson(slot, halfPast(24 * 20).date());
    BoxSeam boxes(seam);
    OnModals([](int index, QWidget *modal) {
        if (index == 2) {
            modal->grab().save(fileName("booking-lowbalance"));
            QTest::keyClick(modal, Qt::Key_Escape);
            return false;
        }
        QTest::keyClick(modal, Qt::Key_Return);
        return true;
    });
    screen().spb_reserve_new->click();
    shootWindow("booking-lowbalance-panel");
}

TEST_F(BookingShots, RepeatDialogWithAMissingWeek) {
    server.onServer([&](CentralServer &s) {
        s.database().run(QStringLiteral("UPDATE USERS SET HOURDEBIT = 8 WHERE IDUSER = ?"),
                         {Demo::Newcomer});
    });
    const QDateTime first = halfPast(24 * 20);
    const qint64 slot = addLesson(Demo::Teacher, 0, first, 1);
    addLesson(Demo::Teacher, 0, first.addDays(7), 1);
    addLesson(Demo::Teacher, 0, first.addDays(21), 1);
    signIn(QStringLiteral("novacek"));
    showLesson(slot, first.date());
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tfrepeatbooking *>(w);
        dialog->spn_weeks->setValue(4);
        dialog->btncheck->click();
        settle();
        dialog->grab().save(fileName("booking-repeat"));
        dialog->reject();
    });
    screen().Extras()->spb_repeatClick();
}

TEST_F(BookingShots, ProfileCalendarAddress) {
    signIn(QStringLiteral("klient"));
    Tfprofile profile(app->services(), app->mainWindow());
    profile.Prepare();
    profile.show();
    profile.gb_calendarfeed->btn_create->click();
    settle();
    profile.grab().save(fileName("booking-profile"));
    profile.reject();
}
