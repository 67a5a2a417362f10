// The users screen against the reference server with its demo school.
#include "screenfixture.h"

#include "app/tfmain.h"
#include "base/session.h"
#include "data/dm.h"
#include "grid/checkedcombobox.h"
#include "grid/datepicker.h"
#include "grid/dbnavigator.h"
#include "grid/gridframe.h"
#include "screens/statusmenu.h"
#include "screens/tffltuser.h"
#include "screens/tfrusers.h"
#include "screens/userfilter.h"
#include "server/centralserver.h"
#include "server/schooldatabase.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class UsersAgainstServer : public ScreenFixture {
protected:
    Tfrusers &screen() {
        return *static_cast<Tfrusers *>(app->mainWindow()->screen(Tfmain::Users));
    }
    TClientTable &users() { return dm().cd_user; }
    void openUsers(const QString &login = QStringLiteral("reditel")) {
        signIn(login);
        clickMain("im_users");
        ASSERT_EQ(app->mainWindow()->currentScreen(), &screen());
    }
    void select(qint64 user) {
        ASSERT_TRUE(users().Locate(QStringLiteral("IDUSER"), {TValue::FromInteger(user)}));
    }
    // The user filter dialog answered with OK after the setup.
    void filterWith(const std::function<void(Tffltuser &)> &setup) {
        WhenModal([&](QWidget *dialog) {
            auto &filter = *static_cast<Tffltuser *>(dialog);
            setup(filter);
            filter.btnok->click();
        });
        screen().frg->spbfilter->click();
    }
    QList<qint64> ids(TClientTable &table, const char *field) {
        QList<qint64> list;
        table.First();
        while (!table.Eof()) {
            list << table.FieldByName(QString::fromLatin1(field)).AsInteger();
            table.Next();
        }
        return list;
    }
};

} // namespace

TEST(UserFilterText, ConditionsInOrderAndTheWholeToDay) {
    TUserFilterValues v;
    EXPECT_EQ(UserFilterText(v), "");
    v.typeCondition = "USERTYPE=4";
    EXPECT_EQ(UserFilterText(v), "(USERTYPE=4)");
    v.activeOnly = v.debtorsOnly = true;
    v.to = QDate(2026, 3, 31);
    EXPECT_EQ(UserFilterText(v),
              "(USERTYPE=4) AND (USERACTIVE=1) AND "
              "(HOURSPAYED<HOURSLEARNED+HOURSEXPIRED+HOURSMISSED+HOURSSTORNOPAY) AND "
              "(LASTLOGWHEN<'1.4.2026')");
    EXPECT_EQ(UserTimetableCondition(7, true), "(IDUSER=7 OR IDUSER=0)");
    EXPECT_EQ(UserTimetableCondition(4, false), "(IDTEACHER=4)");
}

TEST_F(UsersAgainstServer, TypeFilterAndDebtorsFilter) {
    // The newcomer, without any paid order, had a lesson: he owes it.
    server.onServer([](CentralServer &s) {
        const qint64 id =
            s.database().nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
        const QDateTime when = QDateTime::currentDateTime().addDays(-3);
        s.database().run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER,"
                                        " IDUSER, WHENHOUR, HOURS, TIMETABLESTATUS,"
                                        " WHENSTATUSCHANGE, WHOSTATUSCHANGE)"
                                        " VALUES (?, 2, ?, ?, ?, 1.0, 4, ?, ?)"),
                         {id, Demo::Teacher, Demo::Newcomer, when, when, Demo::Teacher});
    });
    openUsers();
    // Only the student type: one condition; nothing ticked: no filter.
    filterWith([](Tffltuser &f) {
        for (int i = 0; i < f.cb_type->Items().size(); ++i)
            f.cb_type->SetChecked(i, f.cb_type->Items()[i].key == 4);
    });
    EXPECT_EQ(users().Filter(), "(USERTYPE=4)");
    EXPECT_TRUE(users().Filtered());
    const QList<qint64> types = ids(users(), "USERTYPE");
    EXPECT_GT(types.size(), 5);
    for (qint64 type : types)
        EXPECT_EQ(type, 4);
    filterWith([](Tffltuser &f) {
        for (int i = 0; i < f.cb_type->Items().size(); ++i)
            f.cb_type->SetChecked(i, false);
    });
    EXPECT_EQ(users().Filter(), "");
    EXPECT_FALSE(users().Filtered());

    // Debtors: exactly those whose paid hours fall short of the hours used up.
    QList<qint64> expected;
    users().First();
    while (!users().Eof()) {
        const auto value = [&](const char *field) {
            return users().FieldByName(QString::fromLatin1(field)).AsFloat();
        };
        if (value("HOURSPAYED") < value("HOURSLEARNED") + value("HOURSEXPIRED") +
                                      value("HOURSMISSED") + value("HOURSSTORNOPAY"))
            expected << users().FieldByName(QStringLiteral("IDUSER")).AsInteger();
        users().Next();
    }
    ASSERT_FALSE(expected.isEmpty()) << "the demo school has debtors";
    ASSERT_LT(expected.size(), users().RecordCount());
    filterWith([](Tffltuser &f) { f.chb_debtors->setChecked(true); });
    QList<qint64> debtors = ids(users(), "IDUSER");
    std::sort(debtors.begin(), debtors.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(debtors, expected);
    EXPECT_TRUE(screen().frg->spbfilter->toolTip().contains("\r\n"));
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(UsersAgainstServer, ManagerDoesNotSeeTheAdministratorType) {
    openUsers(QStringLiteral("manazer"));
    filterWith([](Tffltuser &f) {
        for (const TCheckedItem &item : f.cb_type->Items())
            EXPECT_NE(item.key, 1) << item.text.toStdString();
        EXPECT_EQ(f.cb_type->Items().size(), 3);
    });
    // Deleting sign-in records is for the administrator only.
    EXPECT_FALSE(screen().frg_login->nv->VisibleButtons() & NavButton(nbDelete));
}

TEST_F(UsersAgainstServer, TimetableTabFollowsTeacherOrStudent) {
    openUsers();
    screen().pgc->setCurrentIndex(Tfrusers::TimetableTab);
    TClientTable &lessons = dm().cd_timetable;
    select(Demo::Teacher);
    ASSERT_FALSE(lessons.IsEmpty());
    for (qint64 teacher : ids(lessons, "IDTEACHER"))
        EXPECT_EQ(teacher, Demo::Teacher);
    EXPECT_TRUE(screen().spb_timetable_new->isEnabled());

    select(Demo::Client);
    bool free = false, own = false;
    for (qint64 client : ids(lessons, "IDUSER")) {
        EXPECT_TRUE(client == 0 || client == Demo::Client) << client;
        free = free || client == 0;
        own = own || client == Demo::Client;
    }
    EXPECT_TRUE(free && own);
    EXPECT_TRUE(screen().spb_neworder->isEnabled());

    // A student without lessons cannot get slots; a teacher without lessons can.
    lessons.SetFilter(QStringLiteral("IDUSER=-1"));
    screen().ds_timetableDataChange();
    EXPECT_FALSE(screen().spb_timetable_new->isEnabled());
    select(Demo::Teacher3);
    lessons.SetFilter(QStringLiteral("IDTEACHER=-1"));
    screen().ds_timetableDataChange();
    EXPECT_TRUE(screen().spb_timetable_new->isEnabled());
    EXPECT_FALSE(screen().spb_neworder->isEnabled());
}

TEST_F(UsersAgainstServer, FreeSlotChangedForAStudentBecomesHis) {
    openUsers();
    screen().pgc->setCurrentIndex(Tfrusers::TimetableTab);
    TClientTable &lessons = dm().cd_timetable;
    select(Demo::Client);
    ASSERT_TRUE(lessons.Locate(QStringLiteral("IDUSER;TIMETABLESTATUS"),
                               {TValue::FromInteger(0), TValue::FromInteger(1)}));
    const qint64 slot = lessons.FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger();
    screen().SetTimetableStatus(3);
    EXPECT_EQ(server.dbValue("SELECT IDUSER FROM TIMETABLE WHERE IDTIMETABLE = ?", {slot}).toInt(),
              Demo::Client);
    EXPECT_EQ(lessons.FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger(), slot);

    // A teacher's free slot changed keeps no client.
    select(Demo::Teacher);
    ASSERT_TRUE(lessons.Locate(QStringLiteral("IDUSER;TIMETABLESTATUS"),
                               {TValue::FromInteger(0), TValue::FromInteger(1)}));
    const qint64 other = lessons.FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger();
    screen().SetTimetableStatus(7);
    EXPECT_EQ(server.dbValue("SELECT IDUSER FROM TIMETABLE WHERE IDTIMETABLE = ?", {other}).toInt(),
              0);
}

TEST_F(UsersAgainstServer, AdministratorDeletesASignInRecord) {
    openUsers();
    screen().pgc->setCurrentIndex(Tfrusers::LoginTab);
    EXPECT_TRUE(screen().frg_login->nv->VisibleButtons() & NavButton(nbDelete));
    select(Demo::Client);
    TClientTable &logins = dm().cd_login;
    ASSERT_FALSE(logins.IsEmpty());
    const qint64 login = logins.FieldByName(QStringLiteral("IDLOGIN")).AsInteger();
    logins.Delete();
    EXPECT_EQ(server.dbValue("SELECT COUNT(*) FROM LOGINS WHERE IDLOGIN = ?", {login}).toInt(), 0);
}
