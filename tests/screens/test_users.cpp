// The users screen against the reference server with its demo school.
#include "screenfixture.h"

#include "app/tfmain.h"
#include "base/session.h"
#include "data/dm.h"
#include "grid/controls/checkedcombobox.h"
#include "grid/controls/datepicker.h"
#include "grid/controls/dbnavigator.h"
#include "grid/gridframe.h"
#include "grid/recordbar.h"
#include "screens/orders/tfedordernew.h"
#include "screens/orders/tffltorder.h"
#include "screens/timetable/statusmenu.h"
#include "screens/timetable/tfaddtimetable.h"
#include "screens/users/tfeduser.h"
#include "screens/users/tffltuser.h"
#include "screens/users/tfrusers.h"
#include "screens/users/tfshowmemo.h"
#include "screens/users/userdialogentry.h"
#include "screens/users/userfilter.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class UsersAgainstServer : public ScreenFixture {
protected:
    Tfrusers &screen() { return *static_cast<Tfrusers *>(app->mainWindow()->screen(u"users")); }
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

TEST_F(UsersAgainstServer, LastSignInRangeTakesWholeDays) {
    // Sign-ins on the edges of 31 March; from and to 31 March keep that whole day only.
    struct Case {
        qint64 user;
        QDateTime when;
        bool kept;
    };
    const QDate day(2025, 3, 31);
    const Case cases[] = {
        {Demo::Teacher2, QDateTime(day.addDays(-1), QTime(23, 59, 59)), false},
        {Demo::Newcomer, QDateTime(day, QTime(0, 0)), true},
        {Demo::Client, QDateTime(day, QTime(23, 59, 59)), true},
        {Demo::Teacher3, QDateTime(day.addDays(1), QTime(0, 0)), false},
    };
    server.onServer([&](CentralServer &s) {
        for (const Case &c : cases)
            s.database().run(
                QStringLiteral("INSERT INTO LOGINS (IDLOGIN, IDUSER, WHENLOGIN,"
                               " SUCCESS) VALUES (?, ?, ?, 1)"),
                {s.database().nextId(QStringLiteral("LOGINS"), QStringLiteral("IDLOGIN")), c.user,
                 c.when});
    });
    openUsers();
    filterWith([&](Tffltuser &f) {
        f.dt_from->SetChecked(true);
        f.dt_from->SetDate(day);
        f.dt_to->SetChecked(true);
        f.dt_to->SetDate(day);
    });
    const QList<qint64> kept = ids(users(), "IDUSER");
    for (const Case &c : cases)
        EXPECT_EQ(kept.contains(c.user), c.kept) << c.user;
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(UsersAgainstServer, OrdersAndEmailsOfTheSelectedUser) {
    const QString body = QStringLiteral("Order 1 was paid.\r\nA very long line that is not "
                                        "wrapped but scrolled sideways in the window.");
    qint64 mail[2] = {};
    server.onServer([&](CentralServer &s) {
        for (int i = 0; i < 2; ++i) {
            mail[i] = s.database().nextId(QStringLiteral("MSGS"), QStringLiteral("IDMSG"));
            s.database().run(
                QStringLiteral("INSERT INTO MSGS (IDMSG, IDJOB, IDENVLANG, MSGTYPE, EMAILTO,"
                               " WHOINITIATOR, WHORECEIVER, WHENSENT, EMAILSUBJECT, EMAILBODY,"
                               " EMAILSENT) VALUES (?, 2, 2, 'ORDERSTATUS', 'a@b.cz', ?, ?, ?,"
                               " 'Order', ?, 1)"),
                {mail[i], Demo::Director, Demo::Client, QDateTime::currentDateTime(),
                 i == 0 ? body : QString()});
        }
    });
    openUsers();
    TClientTable &orders = dm().cd_order;
    select(Demo::Client);
    ASSERT_FALSE(orders.IsEmpty());
    for (qint64 user : ids(orders, "IDUSER"))
        EXPECT_EQ(user, Demo::Client);

    // The tab's filter dialog has no client choice; its conditions follow every user.
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tffltorder *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->cb_client->isVisible());
        dialog->chb_nonzero->setChecked(true);
        dialog->btnok->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    screen().frg_order->spbfilter->click();
    EXPECT_TRUE(orders.Filter().startsWith(QStringLiteral("(IDUSER=7) AND ")))
        << orders.Filter().toStdString();
    EXPECT_FALSE(screen().frg_order->spbfilter->toolTip().isEmpty());
    select(Demo::Newcomer);
    EXPECT_TRUE(orders.Filter().startsWith(QStringLiteral("(IDUSER=8) AND ")));
    EXPECT_TRUE(orders.Filter().contains(QStringLiteral("(AMOUNT<>0)")));
    EXPECT_EQ(orders.Filter().count(QStringLiteral("IDUSER=")), 1);

    // A new order for the selected student becomes the current one.
    select(Demo::Client);
    seam.boxAnswers << mrYes;
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tfedordernew *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->btnok->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    screen().spb_neworder->click();
    const qint64 newest =
        server
            .dbValue(QStringLiteral("SELECT MAX(IDORDER) FROM ORDERS WHERE IDUSER = ?"),
                     {Demo::Client})
            .toLongLong();
    EXPECT_EQ(orders.FieldByName(QStringLiteral("IDORDER")).AsInteger(), newest);

    // An e-mail's text is shown read-only when it has one.
    screen().pgc->setCurrentIndex(Tfrusers::MsgTab);
    TClientTable &mails = dm().cd_msg;
    for (qint64 receiver : ids(mails, "WHORECEIVER"))
        EXPECT_EQ(receiver, Demo::Client);
    ASSERT_TRUE(mails.Locate(QStringLiteral("IDMSG"), {TValue::FromInteger(mail[0])}));
    ASSERT_TRUE(screen().spb_msg_detail->isEnabled());
    QString shown;
    WhenModal([&](QWidget *w) {
        auto *window = qobject_cast<Tfshowmemo *>(w);
        ASSERT_NE(window, nullptr);
        shown = window->memo->toPlainText();
        EXPECT_TRUE(window->memo->isReadOnly());
        EXPECT_EQ(window->memo->lineWrapMode(), QPlainTextEdit::NoWrap);
        window->reject();
    });
    screen().spb_msg_detail->click();
    EXPECT_EQ(shown, QString(body).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ASSERT_TRUE(mails.Locate(QStringLiteral("IDMSG"), {TValue::FromInteger(mail[1])}));
    EXPECT_FALSE(screen().spb_msg_detail->isEnabled());
}

TEST_F(UsersAgainstServer, LeavingDropsTheFilterAndSigningOutTheDialog) {
    openUsers();
    filterWith([](Tffltuser &f) { f.chb_active->setChecked(true); });
    screen().pgc->setCurrentIndex(Tfrusers::TimetableTab);
    clickMain("im_order");
    EXPECT_FALSE(users().Filtered());
    EXPECT_EQ(users().Filter(), "");
    // Coming back applies the kept dialog again without showing it.
    clickMain("im_users");
    EXPECT_EQ(users().Filter(), "(USERACTIVE=1)");
    EXPECT_TRUE(users().Filtered());
    signOut();
    EXPECT_EQ(screen().UserFilter(), nullptr);
    EXPECT_EQ(screen().pgc->currentIndex(), Tfrusers::OrdersTab);
}

// The list's edit button puts the record into edit before the user dialog shows. The dialog
// still ticks that user's books (not nothing, not the previous user's), a save of another
// field keeps BOOKIDS as stored, and a changed tick keeps the books outside the library.
TEST_F(UsersAgainstServer, EditButtonShowsTheUsersBooksAndASaveKeepsThem) {
    Tfeduser::BookSource = [] {
        return QList<TUserDialogBook>{{1, QStringLiteral("Angličtina 1")},
                                      {2, QStringLiteral("Angličtina 2")}};
    };
    ClearUserDialogBooks();
    openUsers();
    const auto stored = [&](const char *field, qint64 user) {
        return server
            .dbValue(
                QStringLiteral("SELECT %1 FROM USERS WHERE IDUSER = ?").arg(QLatin1String(field)),
                {user})
            .toString();
    };
    const struct {
        qint64 user;
        QStringList ticked; // the stored books that the library holds
        int tick;           // a book the user ticks (0: none)
        const char *saved;  // BOOKIDS after the save
    } cases[] = {{Demo::Client, {"1", "2"}, 0, "1;2;3"},
                 {16, {"1"}, 0, "1"},
                 {14, {"2"}, 0, "2;3"},
                 {14, {"2"}, 1, "1;2;3"}};
    for (const auto &c : cases) {
        select(c.user);
        const int debit = stored("HOURDEBIT", c.user).toInt();
        QStringList shown;
        bool closed = false;
        WhenModal([&](QWidget *w) {
            auto *dialog = qobject_cast<Tfeduser *>(w);
            if (!dialog) {
                ADD_FAILURE() << "not the user dialog";
            } else {
                for (int i = 0; i < dialog->lb_books->count(); ++i)
                    if (dialog->lb_books->item(i)->checkState() == Qt::Checked)
                        shown << dialog->lb_books->item(i)->data(Qt::UserRole).toString();
                if (c.tick)
                    dialog->lb_books->item(c.tick - 1)->setCheckState(Qt::Checked);
                users().FieldByName(QStringLiteral("HOURDEBIT")).SetAsInteger(debit + 1);
                dialog->fre->NavAction(nbPost);
            }
            static_cast<QDialog *>(w)->reject();
            closed = true;
        });
        RunGuarded([&] { screen().frg->nv->BtnClick(nbEdit); }); // as a click runs it
        ASSERT_TRUE(QTest::qWaitFor([&] { return closed; })) << c.user;
        EXPECT_EQ(shown, c.ticked) << c.user;
        EXPECT_EQ(stored("BOOKIDS", c.user), c.saved) << c.user;
        EXPECT_EQ(stored("HOURDEBIT", c.user).toInt(), debit + 1) << c.user;
    }
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

// A list whose packet lacks a field that a tab's buttons read leaves the buttons off and
// shows no error box; the reading slots never let an error escape.
TEST_F(UsersAgainstServer, TabListWithoutTheButtonsFieldIsNoCrash) {
    openUsers();
    select(Demo::Client);
    // A row of three integer fields: the key, the user and the list's sort field.
    const auto packet = [](const char *key, const char *user, const char *sort) {
        return QStringLiteral("<?xml version=\"1.0\" standalone=\"yes\"?>\n<DATAPACKET "
                              "Version=\"2.0\"><METADATA><FIELDS><FIELD attrname=\"%1\" "
                              "fieldtype=\"i4\"/><FIELD attrname=\"%2\" fieldtype=\"i4\"/>"
                              "<FIELD attrname=\"%3\" fieldtype=\"i4\"/></FIELDS><PARAMS/>"
                              "</METADATA><ROWDATA><ROW %1=\"1\" %2=\"7\" %3=\"1\"/>"
                              "</ROWDATA></DATAPACKET>")
            .arg(QLatin1String(key), QLatin1String(user), QLatin1String(sort));
    };
    screen().pgc->setCurrentIndex(Tfrusers::MsgTab);
    EXPECT_NO_THROW(dm().cd_msg.LoadFromText(packet("IDMSG", "WHORECEIVER", "WHENSENT")));
    EXPECT_FALSE(screen().spb_msg_detail->isEnabled());
    screen().pgc->setCurrentIndex(Tfrusers::TimetableTab);
    EXPECT_NO_THROW(dm().cd_timetable.LoadFromText(packet("IDTIMETABLE", "IDUSER", "WHENHOUR")));
    EXPECT_FALSE(screen().spb_timetable_changestatus->isEnabled());
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

// "Zadat termíny..." opens on today every time, also after the day it first opened on has
// passed (a kept date would be refused as past).
TEST_F(UsersAgainstServer, AddSlotsStartsFromTodayEveryTime) {
    openUsers();
    screen().pgc->setCurrentIndex(Tfrusers::TimetableTab);
    select(Demo::Teacher);
    ASSERT_TRUE(screen().spb_timetable_new->isEnabled());
    for (int day = 0; day < 2; ++day) {
        QDate shown;
        WhenModal([&](QWidget *w) {
            if (auto *dialog = qobject_cast<Tfaddtimetable *>(w))
                shown = dialog->Date();
            static_cast<QDialog *>(w)->reject();
        });
        screen().spb_timetable_new->click();
        EXPECT_EQ(shown, seam.clock.date()) << day;
        seam.clock = seam.clock.addDays(1);
    }
    EXPECT_EQ(seam.boxTexts(), QStringList());
}
