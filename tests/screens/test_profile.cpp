#include "base/locations.h"
#include "base/session.h"
#include "data/dm.h"
#include "grid/controls/dbedit.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/settings/settings.h"
#include "screenfixture.h"
#include "screens/profile/tfpasschange.h"
#include "screens/profile/tfprofile.h"
#include "screens/profile/tfrprofil.h"

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using ProfileAgainstServer = ScreenFixture;

// Types a text into a bound editor as the user does and leaves it.
void typeInto(TDBEdit *edit, const QString &text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    if (!text.isEmpty()) {
        QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &typed);
    }
    edit->UpdateRecord();
}

QVariant userValue(ServerHarness &server, const char *column) {
    return server.dbValue(
        QStringLiteral("SELECT %1 FROM USERS WHERE IDUSER = ?").arg(QString::fromLatin1(column)),
        {UserId()});
}

TEST_F(ProfileAgainstServer, ProfileEditIsSavedAndSeenAfterTheReRead) {
    signIn(QStringLiteral("klient"));
    bool closedWithOk = false;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfprofile *>(w);
        ASSERT_NE(dialog, nullptr);
        typeInto(dialog->fr_profil->Editor(QStringLiteral("EMAIL")),
                 QStringLiteral("nova@example.cz"));
        typeInto(dialog->fr_profil->Editor(QStringLiteral("CITY_F")), QStringLiteral("Žďár"));
        dialog->btnok->click();
        closedWithOk = dialog->result() == QDialog::Accepted && !dialog->isVisible();
        if (dialog->isVisible())
            dialog->reject();
    });
    clickMain("im_profil");
    EXPECT_TRUE(closedWithOk) << seam.boxTexts().join(u'|').toStdString();
    EXPECT_EQ(userValue(server, "EMAIL").toString(), "nova@example.cz");
    EXPECT_EQ(userValue(server, "CITY_F").toString(), "Žďár");
    TClientTable &info = dm().cd_user_info;
    EXPECT_EQ(info.State(), TTableState::Browse);
    EXPECT_EQ(info.FieldByName(QStringLiteral("EMAIL")).AsString(), "nova@example.cz");
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

TEST_F(ProfileAgainstServer, FirstEmptyRequiredFieldKeepsTheDialogWithItsFocus) {
    signIn(QStringLiteral("klient"));
    const QString firstName = userValue(server, "FIRSTNAME").toString();
    bool stayedOpen = false;
    QString focused;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfprofile *>(w);
        ASSERT_NE(dialog, nullptr);
        typeInto(dialog->fr_profil->Editor(QStringLiteral("SURNAME")), QString());
        typeInto(dialog->fr_profil->Editor(QStringLiteral("FIRSTNAME")), QString());
        dialog->btnok->click();
        stayedOpen = dialog->isVisible();
        focused = dialog->focusWidget() ? dialog->focusWidget()->objectName() : QString();
        dialog->btncancel->click(); // cancels the edit
    });
    clickMain("im_profil");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(focused, "ed_firstname");
    // Only the first of the two empty fields is reported.
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(306)});
    EXPECT_EQ(userValue(server, "FIRSTNAME").toString(), firstName);
    EXPECT_EQ(dm().cd_user_info.State(), TTableState::Browse);
    EXPECT_EQ(dm().cd_user_info.FieldByName(QStringLiteral("FIRSTNAME")).AsString(), firstName);
}

// OK re-reads the users and timetable lists only when it saved something; a save the server
// refuses keeps what the user typed in the form; the additional data lie below the addresses.
TEST_F(ProfileAgainstServer, ListsReReadOnlyAfterASaveAndARefusalKeepsTheInput) {
    signIn(QStringLiteral("klient"));
    TClientTable &lessons = dm().cd_timetable;
    lessons.Open();
    int reReads = 0;
    const int watch = lessons.AddObserver([&](TTableNotice notice, int) {
        if (notice == TTableNotice::Refreshed)
            ++reReads;
    });
    const QString tooLong(300, u'x');
    const struct {
        const char *email; // typed into EMAIL (null: nothing typed)
        bool accepted;     // the dialog closed with OK
        int reReads;       // re-reads of the timetable
    } cases[] = {{nullptr, true, 0}, {"nova@example.cz", true, 1}, {"", false, 0}};
    for (const auto &c : cases) {
        reReads = 0;
        seam.boxes.clear();
        bool accepted = false, below = false;
        QString kept;
        WhenModal([&](QWidget *w) {
            auto *dialog = qobject_cast<Tfprofile *>(w);
            if (!dialog) {
                ADD_FAILURE() << "not the profile dialog";
                static_cast<QDialog *>(w)->reject();
                return;
            }
            Tfrprofil &frame = *dialog->fr_profil;
            below = frame.gb_other->geometry().top() >= frame.gb_invoice->geometry().bottom() &&
                    frame.gb_other->geometry().top() >= frame.gb_post->geometry().bottom();
            if (c.email) {
                // An empty text stands for a value the server refuses (longer than its column).
                const QString text = *c.email ? QString::fromLatin1(c.email) : tooLong;
                typeInto(frame.Editor(QStringLiteral("CITY_F")), QStringLiteral("Žďár"));
                dm().cd_user_info.FieldByName(QStringLiteral("EMAIL")).SetAsString(text);
            }
            dialog->btnok->click();
            accepted = !dialog->isVisible() && dialog->result() == QDialog::Accepted;
            kept = dm().cd_user_info.FieldByName(QStringLiteral("CITY_F")).AsString();
            if (dialog->isVisible())
                dialog->btncancel->click();
        });
        clickMain("im_profil");
        EXPECT_TRUE(below);
        EXPECT_EQ(accepted, c.accepted) << seam.boxTexts().join(u'|').toStdString();
        EXPECT_EQ(reReads, c.reReads) << (c.email ? c.email : "nothing typed");
        if (c.email && !*c.email) {
            EXPECT_EQ(kept, "Žďár"); // the refused save kept the typed city
            EXPECT_EQ(seam.boxes.size(), 1);
        }
    }
    lessons.RemoveObserver(watch);
}

// The password dialog's outcomes that send nothing: the server keeps the old password.
struct PasswordCase {
    const char *oldPass, *newPass, *repeated;
    int message; // the warning shown, 0 for none
    bool closed; // the dialog closed (always without OK)
};

TEST_F(ProfileAgainstServer, PasswordDialogOutcomesThatSendNothing) {
    signIn(QStringLiteral("klient"));
    const PasswordCase cases[] = {
        {"spatne", "nove1", "nove1", 203, true},  // wrong old password
        {"klient", "nove1", "nove2", 204, false}, // the repetition differs
        {"klient", "klient", "klient", 0, true},  // the same password again
    };
    for (const PasswordCase &c : cases) {
        seam.boxes.clear();
        Tfpasschange dialog(app->services());
        dialog.show();
        dialog.ed_old->setText(QString::fromUtf8(c.oldPass));
        dialog.ed_new->setText(QString::fromUtf8(c.newPass));
        dialog.ed_new2->setText(QString::fromUtf8(c.repeated));
        dialog.btnok->click();
        EXPECT_EQ(!dialog.isVisible(), c.closed) << c.newPass;
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_EQ(seam.boxTexts(), c.message ? QStringList{AppText(c.message)} : QStringList());
        if (c.message == 204) {
            EXPECT_EQ(dialog.focusWidget(), dialog.ed_new);
        }
    }
    EXPECT_EQ(Settings().loginPass, "klient");
    signOut();
    signIn(QStringLiteral("klient")); // the old password still signs in
}

TEST_F(ProfileAgainstServer, ChangedPasswordWithFormCharactersSignsInNextTime) {
    signIn(QStringLiteral("klient"));
    const QString password = QStringLiteral("a&b=c+d%41 ž");
    bool reported = false;
    WhenModal([&](QWidget *w) {
        auto *profile = qobject_cast<Tfprofile *>(w);
        ASSERT_NE(profile, nullptr);
        WhenModal([&](QWidget *p) {
            auto *dialog = qobject_cast<Tfpasschange *>(p);
            ASSERT_NE(dialog, nullptr);
            dialog->ed_old->setText(QStringLiteral("klient"));
            dialog->ed_new->setText(password);
            dialog->ed_new2->setText(password);
            dialog->btnok->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        profile->btn_pass->click();
        reported = seam.boxTexts() == QStringList{AppText(212)};
        profile->reject();
    });
    clickMain("im_profil");
    EXPECT_TRUE(reported) << seam.boxTexts().join(u'|').toStdString();
    EXPECT_EQ(Settings().loginPass, password);
    // The settings file holds it: the next start signs in with it.
    signOut();
    Settings().loginPass.clear();
    LoadSettings();
    EXPECT_EQ(Settings().loginPass, password);
    seam.boxes.clear();
    clickMain("im_connect");
    EXPECT_TRUE(IsSignedIn()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(ProfileAgainstServer, RefusedChangeKeepsTheStoredPassword) {
    signIn(QStringLiteral("klient"));
    Tfpasschange dialog(app->services());
    dialog.show();
    // A password the settings file cannot hold is refused before anything is sent.
    const QString unstorable = QStringLiteral("heslo\u4E2D");
    dialog.ed_old->setText(QStringLiteral("klient"));
    dialog.ed_new->setText(unstorable);
    dialog.ed_new2->setText(unstorable);
    dialog.btnok->click();
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].type, mtError);
    // The server refuses once the session is gone; the program then ends the session.
    server.post("logout", "", sessionId());
    seam.boxes.clear();
    dialog.ed_new->setText(QStringLiteral("jine"));
    dialog.ed_new2->setText(QStringLiteral("jine"));
    dialog.btnok->click();
    EXPECT_TRUE(dialog.isVisible());
    QCoreApplication::processEvents();
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(1005)});
    EXPECT_EQ(Settings().loginPass, "klient");
    LoadSettings();
    EXPECT_EQ(Settings().loginPass, "klient");
}

} // namespace
