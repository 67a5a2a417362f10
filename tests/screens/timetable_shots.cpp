// A developer program: signs in to the reference server with its demo school and saves
// pictures of the timetable screen (a client's month with his bookings, a teacher's list with
// the status menu open, the filter and add-lessons dialogs) into the folder TELLAVO_SHOTS,
// for the documentation. Run it under a real display or xvfb-run.
#include "screenfixture.h"

#include "app/tfmain.h"
#include "data/dm.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfrtimetable.h"

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QString folder() {
    return qEnvironmentVariable("TELLAVO_SHOTS", QStringLiteral("."));
}

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Saves a picture of the next modal dialog, then closes it.
void shootModal(const QString &file) {
    WhenModal([file](QWidget *dialog) {
        settle();
        dialog->grab().save(folder() + u'/' + file);
        static_cast<QDialog *>(dialog)->reject();
    });
}

class TimetableShots : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        app->mainWindow()->resize(1100, 720);
    }
    Tfrtimetable &screen() {
        return *static_cast<Tfrtimetable *>(app->mainWindow()->screen(u"timetable"));
    }
    // The first day from today on that holds a lesson of one of the statuses.
    QDate dayWith(std::initializer_list<int> statuses) {
        for (int offset = 0; offset < 60; ++offset) {
            const QDate day = seam.clock.date().addDays(offset);
            for (int status : statuses)
                if (screen().ColourMap().ValueOf(day) == status)
                    return day;
        }
        return seam.clock.date();
    }
    // A menu is a window of its own: it is painted below its button over the main window.
    void shootWindow(const QString &file, QWidget *popup = nullptr, QWidget *below = nullptr) {
        settle();
        QPixmap picture = app->mainWindow()->grab();
        if (popup && below) {
            QPainter painter(&picture);
            painter.drawPixmap(below->mapTo(app->mainWindow(), QPoint(0, below->height())),
                               popup->grab());
        }
        picture.save(folder() + u'/' + file);
    }
};

TEST_F(TimetableShots, ClientMonth) {
    signIn(QStringLiteral("klient"));
    clickMain("im_timetable");
    screen().cal->SetDate(dayWith({2, 3}));
    shootWindow(QStringLiteral("timetable-client.png"));
}

TEST_F(TimetableShots, TeacherWithTheStatusMenu) {
    signIn(QStringLiteral("lektor"));
    clickMain("im_timetable");
    Tfrtimetable &s = screen();
    s.cal->SetDate(dayWith({TMonthColourMap::kMixed}));
    TClientTable &t = dm().cd_timetable;
    for (t.First(); !t.Eof(); t.Next())
        if (t.FieldByName(QStringLiteral("TIMETABLESTATUS")).AsInteger() == 3)
            break;
    s.spb_storno_status->click();
    shootWindow(QStringLiteral("timetable-teacher.png"), s.pm_status, s.spb_storno_status);
    s.pm_status->close();
    shootModal(QStringLiteral("timetable-add.png"));
    s.spb_reserve_new->click();
}

TEST_F(TimetableShots, StaffFilter) {
    signIn(QStringLiteral("manazer"));
    clickMain("im_timetable");
    shootModal(QStringLiteral("timetable-filter.png"));
    screen().spbfilterClick();
}

} // namespace
