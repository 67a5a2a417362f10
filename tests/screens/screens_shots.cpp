// A developer program: signs in to the reference server with its demo school and saves
// pictures of the profile dialog, the user dialog and the orders screen into a folder
// ("screens_shots FOLDER"), for the documentation. Run it under a real display or xvfb-run.
#include "screenfixture.h"

#include "app/tfmain.h"
#include "base/session.h"
#include "data/dm.h"
#include "grid/gridframe.h"
#include "screens/orders/tfedorder.h"
#include "screens/users/tfeduser.h"
#include "screens/profile/tfprofile.h"
#include "screens/orders/tfrorder.h"
#include "screens/users/tfrusers.h"
#include "screens/users/userdialogentry.h"

#include <QApplication>
#include <QTabWidget>
#include <QToolButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

QString folder() {
    return qEnvironmentVariable("TELLAVO_SHOTS", QStringLiteral("."));
}

// Saves a picture of the next modal dialog, then closes it.
void shootModal(const QString &file) {
    WhenModal([file](QWidget *dialog) {
        QApplication::processEvents();
        dialog->grab().save(folder() + u'/' + file);
        static_cast<QDialog *>(dialog)->reject();
    });
}

class Shots : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        app->mainWindow()->resize(1100, 700);
    }
    void shootWindow(const QString &file) {
        QApplication::processEvents();
        app->mainWindow()->grab().save(folder() + u'/' + file);
    }
};

TEST_F(Shots, ProfileAndUserDialog) {
    signIn(QStringLiteral("klient"));
    shootModal(QStringLiteral("profile-dialog.png"));
    clickMain("im_profil");
    signOut();
    signIn(QStringLiteral("manazer"));
    shootModal(QStringLiteral("user-dialog.png"));
    ShowUserDialogFor(app->services(), int(Demo::Client));
}

TEST_F(Shots, Orders) {
    signIn(QStringLiteral("klient"));
    clickMain("im_order");
    shootWindow(QStringLiteral("orders-client.png"));
    signOut();
    signIn(QStringLiteral("reditel"));
    clickMain("im_order");
    auto &screen = *static_cast<Tfrorder *>(app->mainWindow()->screen(u"orders"));
    shootWindow(QStringLiteral("orders-staff.png"));
    shootModal(QStringLiteral("order-dialog.png"));
    screen.frg_order->grDblClick();
}

TEST_F(Shots, Users) {
    signIn(QStringLiteral("manazer"));
    clickMain("im_users");
    auto &screen = *static_cast<Tfrusers *>(app->mainWindow()->screen(u"users"));
    dm().cd_user.Locate(QStringLiteral("IDUSER"), {TValue::FromInteger(Demo::Client)});
    screen.pgc->setCurrentIndex(Tfrusers::TimetableTab);
    shootWindow(QStringLiteral("users-timetable.png"));
    shootModal(QStringLiteral("user-filter.png"));
    screen.frg->spbfilter->click();
}

} // namespace
