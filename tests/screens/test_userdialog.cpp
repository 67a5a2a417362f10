#include "base/session.h"
#include "data/dm.h"
#include "grid/controls/dbcheckbox.h"
#include "grid/controls/dbedit.h"
#include "grid/controls/dbmemo.h"
#include "grid/controls/dbnavigator.h"
#include "grid/gridframe.h"
#include "grid/recordbar.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "screenfixture.h"
#include "screens/users/tfeduser.h"
#include "screens/profile/tfrprofil.h"
#include "screens/users/userdialogentry.h"
#include "screens/profile/userstatistics.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

class UserDialogAgainstServer : public ScreenFixture {
protected:
    void SetUp() override {
        ScreenFixture::SetUp();
        Tfeduser::BookSource = [] {
            return QList<TUserDialogBook>{{1, QStringLiteral("Angličtina 1")},
                                          {2, QStringLiteral("Angličtina 2")},
                                          {10, QStringLiteral("Obchodní angličtina")}};
        };
        ClearUserDialogBooks();
    }
    // Shows the dialog for the demo client and runs the checks inside it.
    void showClient(const std::function<void(Tfeduser &)> &inside) {
        WhenModal([&](QWidget *w) {
            auto *dialog = qobject_cast<Tfeduser *>(w);
            if (dialog)
                inside(*dialog);
            else
                ADD_FAILURE() << "not the user dialog";
            if (w->isVisible())
                static_cast<QDialog *>(w)->reject();
        });
        ShowUserDialogFor(app->services(), int(Demo::Client));
    }
    QStringList ticked(const Tfeduser &dialog) {
        QStringList books;
        for (int i = 0; i < dialog.lb_books->count(); ++i)
            if (dialog.lb_books->item(i)->checkState() == Qt::Checked)
                books << dialog.lb_books->item(i)->data(Qt::UserRole).toString();
        return books;
    }
    QVariant bookIds() {
        return server.dbValue(QStringLiteral("SELECT BOOKIDS FROM USERS WHERE IDUSER = ?"),
                              {Demo::Client});
    }
};

TEST_F(UserDialogAgainstServer, BooksAreTickedByWholeNumbersAndSavedInListOrder) {
    signIn(QStringLiteral("reditel"));
    TClientTable &users = dm().cd_user;
    users.Open();
    ASSERT_TRUE(users.Locate(QStringLiteral("IDUSER"), {TValue::FromInteger(Demo::Client)}));
    users.Edit();
    users.FieldByName(QStringLiteral("BOOKIDS")).SetAsString(QStringLiteral("10;2"));
    users.Post();
    showClient([&](Tfeduser &dialog) {
        // "1" occurs inside "10" but book 1 is not listed.
        EXPECT_EQ(ticked(dialog), (QStringList{"2", "10"}));
        // Ticking puts the record into edit; saving writes the list order.
        dialog.lb_books->item(0)->setCheckState(Qt::Checked);
        EXPECT_EQ(users.State(), TTableState::Edit);
        dialog.fre->NavAction(nbPost);
        EXPECT_EQ(bookIds().toString(), "1;2;10");
        for (int i = 0; i < dialog.lb_books->count(); ++i)
            dialog.lb_books->item(i)->setCheckState(Qt::Unchecked);
        dialog.fre->NavAction(nbPost);
    });
    EXPECT_EQ(bookIds().toString(), "");
    EXPECT_EQ(seam.boxTexts(), QStringList());
    // Closing undid the restriction and the save check.
    EXPECT_FALSE(users.Filtered());
    EXPECT_FALSE(users.BeforePost);
}

TEST_F(UserDialogAgainstServer, SavingWithAnEmptyProfileFieldIsRefused) {
    signIn(QStringLiteral("manazer"));
    showClient([&](Tfeduser &dialog) {
        dialog.fre->NavAction(nbEdit);
        dm().cd_user.FieldByName(QStringLiteral("EMAIL")).Clear();
        EXPECT_ANY_THROW(dialog.fre->NavAction(nbPost));
        EXPECT_EQ(dm().cd_user.State(), TTableState::Edit);
        EXPECT_EQ(dialog.focusWidget(),
                  static_cast<QWidget *>(dialog.fr_profil->Editor(QStringLiteral("EMAIL"))));
        dialog.fre->NavAction(nbCancel);
    });
    EXPECT_FALSE(
        server.dbValue(QStringLiteral("SELECT EMAIL FROM USERS WHERE IDUSER = ?"), {Demo::Client})
            .toString()
            .isEmpty());
}

TEST_F(UserDialogAgainstServer, StaffSeeStatisticsFromTheUserRecord) {
    signIn(QStringLiteral("reditel"));
    showClient([&](Tfeduser &dialog) {
        EXPECT_TRUE(dialog.pgc->isTabVisible(dialog.pgc->indexOf(dialog.ts_stats)));
        EXPECT_TRUE(dialog.mem_remark->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.fr_profil->gb_firm->isVisibleTo(&dialog));
        const TUserStatistics s = UserStatistics(dm().cd_user);
        EXPECT_EQ(dialog.StatisticText(QStringLiteral("lb_hoursOrdered")),
                  FormatAmount(s.hoursOrdered));
        EXPECT_EQ(dialog.StatisticText(QStringLiteral("lb_unused")), FormatAmount(s.unused));
        EXPECT_GT(s.hoursOrdered, 0);
        // The remarks list shows this user's remarks only.
        TClientTable &remarks = dm().cd_userremark;
        EXPECT_EQ(remarks.Filter(), "IDUSER=7");
        EXPECT_GT(remarks.RecordCount(), 0);
    });
    EXPECT_FALSE(dm().cd_userremark.Filtered());
}

TEST(UserStatisticsOfARecord, RemaindersKeepTheirSign) {
    TClientTable user;
    QList<TFieldDef> fields;
    for (const char *name :
         {"HOURSORDERED", "HOURSPAYED", "AMOUNTORDERED", "AMOUNTPAYED", "HOURSLEARNED",
          "HOURSMISSED", "HOURSEXPIRED", "HOURSSTORNOPAY", "HOURSCONFIRMED", "HOURSUNCONFIRMED"})
    {
        TFieldDef field;
        field.name = QString::fromLatin1(name);
        field.type = TFieldType::R8;
        fields << field;
    }
    user.CreateDataSet(fields);
    user.AppendRecord({TValue::FromFloat(10), TValue::FromFloat(12), TValue::FromFloat(5000),
                       TValue::FromFloat(6200.5), TValue::FromFloat(6), TValue::FromFloat(1),
                       TValue::FromFloat(2), TValue::FromFloat(4), TValue::FromFloat(1.5),
                       TValue::FromFloat(0.5)});
    const TUserStatistics s = UserStatistics(user);
    EXPECT_EQ(FormatAmount(s.hoursToPay), FormatAmount(-2));
    EXPECT_TRUE(FormatAmount(s.amountToPay).startsWith(u'-'));
    EXPECT_DOUBLE_EQ(s.amountToPay, -1200.5);
    EXPECT_DOUBLE_EQ(s.used, 13);
    EXPECT_DOUBLE_EQ(s.unused, -1);
    EXPECT_DOUBLE_EQ(s.reserved, 2);
}

TEST_F(UserDialogAgainstServer, TeacherGetsTheReducedForm) {
    signIn(QStringLiteral("lektor"));
    showClient([&](Tfeduser &dialog) {
        EXPECT_EQ(dialog.height(), 430);
        EXPECT_EQ(dialog.pgc->currentWidget(), dialog.ts_remarks);
        EXPECT_FALSE(dialog.pgc->isTabVisible(dialog.pgc->indexOf(dialog.ts_stats)));
        EXPECT_FALSE(dialog.mem_remark->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.lb_remark->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.fr_profil->gb_basic->isVisibleTo(&dialog));
        for (QGroupBox *box : {dialog.fr_profil->gb_firm, dialog.fr_profil->gb_invoice,
                               dialog.fr_profil->gb_post, dialog.fr_profil->gb_other})
            EXPECT_FALSE(box->isVisibleTo(&dialog));
        EXPECT_FALSE(dialog.chb_useractive->isEnabled());
        EXPECT_FALSE(dialog.ed_hourdebit->isEnabled());
    });
    // Staff get the full form back from the same dialog.
    signOut();
    signIn(QStringLiteral("manazer"));
    showClient([&](Tfeduser &dialog) {
        EXPECT_EQ(dialog.height(), 607);
        EXPECT_TRUE(dialog.fr_profil->gb_other->isVisibleTo(&dialog));
        EXPECT_TRUE(dialog.ed_hourdebit->isEnabled());
    });
}

TEST_F(UserDialogAgainstServer, AnotherAuthorsRemarkIsRefusedForTeachersAndClients) {
    signIn(QStringLiteral("lektor"));
    showClient([&](Tfeduser &dialog) {
        TClientTable &remarks = dm().cd_userremark;
        // The manager's remark about the client.
        ASSERT_TRUE(
            remarks.Locate(QStringLiteral("WHOWRITE"), {TValue::FromInteger(Demo::Manager)}));
        for (const char *type : {"3", "4"}) {
            SessionValues().setValue(QStringLiteral("usertype"), QString::fromLatin1(type));
            seam.boxes.clear();
            RunGuarded([&] { dialog.frg_userremark->nv->BtnClick(nbEdit); });
            EXPECT_EQ(remarks.State(), TTableState::Browse) << type;
            EXPECT_EQ(seam.boxTexts(), QStringList{AppText(239)}) << type;
        }
        SessionValues().setValue(QStringLiteral("usertype"), QStringLiteral("3"));
    });
}

TEST_F(UserDialogAgainstServer, PasswordResetAsksFirstAndEmptiesThePassword) {
    signIn(QStringLiteral("manazer"));
    seam.boxAnswers << mrNo << mrYes;
    showClient([&](Tfeduser &dialog) {
        dialog.btn_resetpass->click(); // cancelled
        EXPECT_EQ(seam.boxTexts(), QStringList{AppText(69)});
        EXPECT_EQ(server.login("klient", "klient").status, 200);
        dialog.btn_resetpass->click();
    });
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(69), AppText(69), AppText(70)}));
    EXPECT_EQ(server.login("klient", "").status, 200);
    EXPECT_EQ(server.login("klient", "klient").status, 203);
}

} // namespace
