#include "base/session.h"
#include "data/dm.h"
#include "data/usertext.h"
#include "grid/controls/checkedcombobox.h"
#include "grid/controls/datepicker.h"
#include "grid/controls/dbedit.h"
#include "grid/dbgridex.h"
#include "grid/controls/dblookupcombobox.h"
#include "grid/filtertext.h"
#include "grid/gridframe.h"
#include "grid/recordbar.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lang/programlocale.h"
#include "screenfixture.h"

#include "wire/collation.h"
#include "screens/orders/orderfilter.h"
#include "screens/orders/tfedorder.h"
#include "screens/orders/tfedordernew.h"
#include "screens/orders/tffltorder.h"
#include "screens/orders/tfrorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QToolButton>

namespace {

class OrdersAgainstServer : public ScreenFixture {
protected:
    Tfrorder &screen() { return *static_cast<Tfrorder *>(app->mainWindow()->screen(u"orders")); }
    void openOrders() {
        clickMain("im_order");
        ASSERT_EQ(app->mainWindow()->currentScreen(), &screen());
    }
    QList<qint64> visibleIds() {
        QList<qint64> ids;
        TClientTable &orders = dm().cd_order;
        for (int pos = 0; pos < orders.VisibleRowCount(); ++pos)
            ids << orders.ValueAt(pos, 0).toInteger();
        return ids;
    }
    bool columnVisible(const char *field) {
        const TColumnList &columns = screen().frg_order->gr->Columns();
        return columns[FindColumnIndex(columns, QString::fromLatin1(field))].visible;
    }
    // Sets the ordering time of an order through the table (saved at once).
    void setWhenOrder(qint64 id, const QDateTime &when) {
        TClientTable &orders = dm().cd_order;
        ASSERT_TRUE(orders.Locate(QStringLiteral("IDORDER"), {TValue::FromInteger(id)}));
        orders.Edit();
        orders.FieldByName(QStringLiteral("WHENORDER")).SetAsDateTime(when);
        orders.Post();
    }
    // Runs the filter button with the dialog's values set by the action, then OK.
    void filterWith(const std::function<void(Tffltorder &)> &set) {
        WhenModal([&](QWidget *w) {
            auto *dialog = qobject_cast<Tffltorder *>(w);
            ASSERT_NE(dialog, nullptr);
            set(*dialog);
            dialog->btnok->click();
            if (dialog->isVisible())
                dialog->reject();
        });
        RunGuarded([&] { screen().spbfilterClick(); });
    }
    qint64 orderWithStatus(int status) {
        return server
            .dbValue(QStringLiteral("SELECT MIN(IDORDER) FROM ORDERS WHERE ORDERSTATUS = ?"),
                     {status})
            .toLongLong();
    }
};

TEST_F(OrdersAgainstServer, ClientSeesHisOwnOrdersOldestFirstWithoutNamesOrTools) {
    signIn(QStringLiteral("klient"));
    openOrders();
    Tfrg &frg = *screen().frg_order;
    EXPECT_FALSE(frg.spbfind->isVisible());
    EXPECT_FALSE(frg.spbfilter->isVisible());
    EXPECT_FALSE(frg.pancfg->isVisible());
    EXPECT_TRUE(frg.spboutput->isVisible());
    EXPECT_EQ(screen().spb_neworder->text(), AppText(290));
    EXPECT_FALSE(frg.nv->ButtonVisible(nbEdit));
    EXPECT_EQ(frg.DetailForm(), nullptr);
    EXPECT_FALSE(columnVisible("FULLNAME"));
    EXPECT_FALSE(columnVisible("FULLNAME_CHANGER"));
    const TColumnList &columns = frg.gr->Columns();
    EXPECT_EQ(columns[FindColumnIndex(columns, QStringLiteral("TYPETEXT_L"))].width, 200);
    // No sorting: a title click leaves the order by WHENORDER.
    frg.grTitleClick(FindColumnIndex(columns, QStringLiteral("AMOUNT")));
    EXPECT_EQ(frg.SortColumn(), -1);
    TClientTable &orders = dm().cd_order;
    EXPECT_EQ(orders.IndexFieldNames(), "WHENORDER");
    ASSERT_GT(orders.VisibleRowCount(), 1);
    const int when = orders.FieldIndex(QStringLiteral("WHENORDER"));
    for (int pos = 1; pos < orders.VisibleRowCount(); ++pos)
        EXPECT_LE(orders.ValueAt(pos - 1, when).toDateTime(),
                  orders.ValueAt(pos, when).toDateTime());
    const int user = orders.FieldIndex(QStringLiteral("IDUSER"));
    for (int pos = 0; pos < orders.VisibleRowCount(); ++pos)
        EXPECT_EQ(orders.ValueAt(pos, user).toInteger(), Demo::Client);
}

TEST_F(OrdersAgainstServer, DateFilterTakesWholeDaysAndRefusesAReversedRange) {
    signIn(QStringLiteral("reditel"));
    openOrders();
    const QList<qint64> ids = visibleIds().mid(0, 4);
    ASSERT_EQ(ids.size(), 4);
    const QDate first(2026, 3, 1), third(2026, 3, 3), fourth(2026, 3, 4);
    setWhenOrder(ids[0], QDateTime(first, QTime(0, 0)));
    setWhenOrder(ids[1], QDateTime(third, QTime(23, 59, 30)));
    setWhenOrder(ids[2], QDateTime(fourth, QTime(0, 0)));
    setWhenOrder(ids[3], QDateTime(QDate(2026, 2, 28), QTime(23, 59, 59)));

    // 4 March to 3 March is refused and the dialog stays open; OK then works with 1-3 March.
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tffltorder *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->dt_from->SetChecked(true);
        dialog->dt_from->SetDate(fourth);
        dialog->dt_to->SetChecked(true);
        dialog->dt_to->SetDate(third);
        dialog->btnok->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->dt_from->SetDate(first);
        dialog->btnok->click();
        EXPECT_FALSE(dialog->isVisible());
    });
    screen().spbfilterClick();
    EXPECT_EQ(seam.boxTexts(), QStringList{CommonText(133)});
    TClientTable &orders = dm().cd_order;
    EXPECT_EQ(orders.Filter(), QStringLiteral("(WHENORDER>='%1') AND (WHENORDER<'%2')")
                                   .arg(FormatShortDate(first), FormatShortDate(fourth)));
    EXPECT_TRUE(orders.Filtered());
    const QList<qint64> shown = visibleIds();
    EXPECT_TRUE(shown.contains(ids[0]));
    EXPECT_TRUE(shown.contains(ids[1])); // 3 March 23:59:30
    EXPECT_FALSE(shown.contains(ids[2]));
    EXPECT_FALSE(shown.contains(ids[3]));
    EXPECT_TRUE(screen().frg_order->spbfilter->toolTip().endsWith(
        DateRangeLine(AppText(104), std::optional<QDate>(first), std::optional<QDate>(third))));

    // Equal dates are accepted.
    seam.boxes.clear();
    filterWith([&](Tffltorder &dialog) { dialog.dt_from->SetDate(third); });
    EXPECT_EQ(seam.boxTexts(), QStringList());
    EXPECT_EQ(visibleIds(), QList<qint64>{ids[1]});
}

TEST_F(OrdersAgainstServer, EmptyFilterSwitchesOffAndLeavingKeepsItUntilSignOut) {
    signIn(QStringLiteral("manazer"));
    openOrders();
    const int all = dm().cd_order.RecordCount();
    filterWith([](Tffltorder &dialog) { dialog.chb_nonzero->setChecked(true); });
    EXPECT_EQ(dm().cd_order.Filter(), "(AMOUNT<>0)");
    EXPECT_TRUE(dm().cd_order.Filtered());
    // Another screen: the filter is off; back: it is applied again from the dialog.
    clickMain("im_timetable");
    EXPECT_FALSE(dm().cd_order.Filtered());
    EXPECT_EQ(dm().cd_order.Filter(), "");
    openOrders();
    EXPECT_EQ(dm().cd_order.Filter(), "(AMOUNT<>0)");
    EXPECT_TRUE(dm().cd_order.Filtered());
    // Nothing that restricts: filtering is off.
    filterWith([](Tffltorder &dialog) { dialog.chb_nonzero->setChecked(false); });
    EXPECT_FALSE(dm().cd_order.Filtered());
    EXPECT_EQ(dm().cd_order.RecordCount(), all);
    filterWith([](Tffltorder &dialog) { dialog.chb_nonzero->setChecked(true); });
    signOut();
    EXPECT_EQ(screen().FilterDialog(), nullptr);
    signIn(QStringLiteral("manazer"));
    openOrders();
    EXPECT_FALSE(dm().cd_order.Filtered());
    EXPECT_TRUE(screen().frg_order->spbfilter->toolTip().isEmpty());
}

TEST_F(OrdersAgainstServer, CancelGivesBackTheValuesOfTheOpening) {
    signIn(QStringLiteral("reditel"));
    openOrders();
    filterWith([](Tffltorder &dialog) {
        dialog.cb_status->RestoreCheckedPositions(QStringLiteral("1"));
        dialog.chb_nonzero->setChecked(true);
    });
    const QString filter = dm().cd_order.Filter();
    EXPECT_EQ(filter, QStringLiteral("(ORDERSTATUS=2) AND (AMOUNT<>0)"));
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<Tffltorder *>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->cb_status->RestoreCheckedPositions(QStringLiteral("0;2"));
        dialog->chb_nonzero->setChecked(false);
        dialog->dt_to->SetChecked(true);
        dialog->btncancel->click();
    });
    screen().spbfilterClick();
    Tffltorder &dialog = *screen().FilterDialog();
    EXPECT_EQ(dialog.cb_status->CheckedPositions(), "1");
    EXPECT_TRUE(dialog.chb_nonzero->isChecked());
    EXPECT_FALSE(dialog.dt_to->Checked());
    EXPECT_EQ(dm().cd_order.Filter(), filter);
}

TEST_F(OrdersAgainstServer, StaffClientListHoldsClientsByNameAfterAll) {
    signIn(QStringLiteral("reditel"));
    openOrders();
    TClientTable &users = dm().cd_user;
    users.Open();
    users.SetIndexFieldNames(QStringLiteral("SURNAME"));
    filterWith([](Tffltorder &) {});
    QComboBox &clients = *screen().FilterDialog()->cb_client;
    ASSERT_GT(clients.count(), 10);
    EXPECT_EQ(clients.itemText(0), CommonText(130));
    EXPECT_EQ(clients.itemData(0).toInt(), 0);
    QStringList names;
    for (int i = 1; i < clients.count(); ++i) {
        EXPECT_EQ(server
                      .dbValue(QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ?"),
                               {clients.itemData(i).toInt()})
                      .toInt(),
                  4)
            << clients.itemText(i).toStdString();
        names << clients.itemText(i);
    }
    // In the order of the Czech alphabet ("Šimko" after "Starý").
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return TCollation::Current().Compare(a, b) < 0;
    })) << names.join(u'|').toStdString();
    // The users table keeps its order and has no restriction left.
    EXPECT_EQ(users.IndexFieldNames(), "SURNAME");
    EXPECT_FALSE(users.Filtered());
    EXPECT_EQ(users.Filter(), "");
    // A chosen client restricts the orders; leaving empties the list to "Všichni".
    filterWith([](Tffltorder &dialog) { dialog.cb_client->setCurrentIndex(1); });
    for (qint64 id : visibleIds())
        EXPECT_EQ(
            server.dbValue(QStringLiteral("SELECT IDUSER FROM ORDERS WHERE IDORDER = ?"), {id})
                .toInt(),
            clients.itemData(1).toInt());
    clickMain("im_timetable");
    EXPECT_EQ(clients.count(), 1);
}

TEST_F(OrdersAgainstServer, NewOrderIsSentListedAndCurrent) {
    signIn(QStringLiteral("klient"));
    openOrders();
    const int before = dm().cd_order.RecordCount();
    seam.boxAnswers << mrYes;
    QString typeText;
    WhenModal([&](QWidget *w) {
        auto *dialog = qobject_cast<Tfedordernew *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->cb_type->currentIndex(), 0);
        typeText = dialog->cb_type->currentText();
        EXPECT_EQ(dialog->ed_amount->text().isEmpty(), false);
        dialog->btnok->click();
        if (dialog->isVisible())
            dialog->reject();
    });
    screen().spb_neworder->click();
    ASSERT_EQ(seam.boxTexts().size(), 2);
    EXPECT_EQ(seam.boxTexts()[0], AppText(32));
    const qint64 newest = server
                              .dbValue(QStringLiteral("SELECT MAX(IDORDER) FROM ORDERS WHERE "
                                                      "IDUSER = ?"),
                                       {Demo::Client})
                              .toLongLong();
    TClientTable &orders = dm().cd_order;
    EXPECT_EQ(orders.RecordCount(), before + 1);
    EXPECT_EQ(orders.FieldByName(QStringLiteral("IDORDER")).AsInteger(), newest);
    EXPECT_EQ(orders.FieldByName(QStringLiteral("TYPETEXT_L")).AsString(), typeText);
    // The order is not left silent: the amount and the symbol to pay it with.
    EXPECT_EQ(seam.boxTexts()[1],
              FormatText(AppText(1073),
                         {ProgramLocale().toString(
                              orders.FieldByName(QStringLiteral("AMOUNT")).AsFloat(), 'f', 2),
                          orders.FieldByName(QStringLiteral("VARSYMBOL")).AsString()}));
    EXPECT_FALSE(orders.FieldByName(QStringLiteral("VARSYMBOL")).AsString().isEmpty());
    // The order types are unrestricted again.
    EXPECT_FALSE(dm().cd_ordertype.Filtered());
}

TEST_F(OrdersAgainstServer, NewOrderForAnotherUserAndItsRefusals) {
    signIn(QStringLiteral("manazer"));
    const qint64 before = server
                              .dbValue(QStringLiteral("SELECT COUNT(*) FROM ORDERS WHERE "
                                                      "IDUSER = ?"),
                                       {Demo::Newcomer})
                              .toLongLong();
    Tfedordernew dialog(app->services(), static_cast<int>(Demo::Newcomer));
    dialog.Prepare();
    dialog.show();
    // Only types on offer are listed.
    for (int i = 0; i < dialog.cb_type->count(); ++i)
        EXPECT_EQ(server
                      .dbValue(QStringLiteral("SELECT VALID FROM ORDERTYPES WHERE "
                                              "IDORDERTYPE = ?"),
                               {dialog.cb_type->itemData(i).toInt()})
                      .toInt(),
                  1);
    seam.boxAnswers << mrNo << mrYes;
    dialog.btnok->click(); // declined: nothing sent
    EXPECT_TRUE(dialog.isVisible());
    dialog.btnok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_GT(dialog.NewOrderId(), 0);
    EXPECT_EQ(server
                  .dbValue(QStringLiteral("SELECT IDUSER FROM ORDERS WHERE IDORDER = ?"),
                           {dialog.NewOrderId()})
                  .toLongLong(),
              Demo::Newcomer);
    EXPECT_EQ(server
                  .dbValue(QStringLiteral("SELECT COUNT(*) FROM ORDERS WHERE IDUSER = ?"),
                           {Demo::Newcomer})
                  .toLongLong(),
              before + 1);
    // Without a type nothing is asked.
    seam.boxes.clear();
    Tfedordernew empty(app->services());
    empty.show();
    empty.btnok->click();
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(31)});
}

TEST_F(OrdersAgainstServer, StatusChangesAskAndOfferTheEmail) {
    signIn(QStringLiteral("reditel"));
    openOrders();
    Tfedorder &dialog = *screen().fedorder;
    TClientTable &orders = dm().cd_order;
    const auto chooseStatus = [&](int status) {
        TDBLookupComboBox &combo = *dialog.cb_status;
        const int index = combo.findData(status);
        ASSERT_GE(index, 0);
        combo.setCurrentIndex(index);
        emit combo.activated(index);
    };
    // 2 -> 1 asks first; Cancel leaves the order in edit without a stamp.
    const qint64 paid = orderWithStatus(2);
    ASSERT_TRUE(orders.Locate(QStringLiteral("IDORDER"), {TValue::FromInteger(paid)}));
    dialog.show();
    EXPECT_EQ(dm().cd_orderhist.Filter(), QStringLiteral("IDORDER=%1").arg(paid));
    EXPECT_GT(dm().cd_orderhist.RecordCount(), 0);
    const qint64 changer = orders.FieldByName(QStringLiteral("WHOSTATUSCHANGE")).AsInteger();
    dialog.fre->NavAction(nbEdit);
    chooseStatus(1);
    seam.boxAnswers << mrNo;
    RunGuarded([&] { dialog.fre->NavAction(nbPost); });
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(235)});
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_EQ(orders.FieldByName(QStringLiteral("WHOSTATUSCHANGE")).AsInteger(), changer);
    EXPECT_EQ(
        server.dbValue(QStringLiteral("SELECT ORDERSTATUS FROM ORDERS WHERE IDORDER = ?"), {paid})
            .toInt(),
        2);
    dialog.fre->NavAction(nbCancel);

    // 1 -> 2 saves, stamps and offers the e-mail, which reaches the outbox.
    seam.boxes.clear();
    const qint64 fresh = orderWithStatus(1);
    ASSERT_TRUE(orders.Locate(QStringLiteral("IDORDER"), {TValue::FromInteger(fresh)}));
    EXPECT_EQ(dm().cd_orderhist.Filter(), QStringLiteral("IDORDER=%1").arg(fresh));
    const QDir outbox(server.dataFolder() + QStringLiteral("/outbox"));
    const qsizetype mails = outbox.entryList({QStringLiteral("*.eml")}).size();
    dialog.fre->NavAction(nbEdit);
    chooseStatus(2);
    seam.boxAnswers << mrYes;
    RunGuarded([&] { dialog.fre->NavAction(nbPost); });
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(236), AppText(237)}));
    EXPECT_EQ(
        server.dbValue(QStringLiteral("SELECT ORDERSTATUS FROM ORDERS WHERE IDORDER = ?"), {fresh})
            .toInt(),
        2);
    EXPECT_EQ(server
                  .dbValue(QStringLiteral("SELECT WHOSTATUSCHANGE FROM ORDERS WHERE "
                                          "IDORDER = ?"),
                           {fresh})
                  .toLongLong(),
              Demo::Director);
    EXPECT_EQ(outbox.entryList({QStringLiteral("*.eml")}).size(), mails + 1);
    dialog.reject();
    EXPECT_FALSE(dm().cd_orderhist.Filtered());
}

TEST(OrderFilterText, ConditionsInTheirOrder) {
    TOrderFilterValues v;
    EXPECT_EQ(OrderFilterText(v), "");
    v.statusCondition = QStringLiteral("(ORDERSTATUS=1 OR ORDERSTATUS=5)");
    v.nonZeroOnly = true;
    v.clientId = 7;
    v.from = QDate(2026, 3, 1);
    v.to = QDate(2026, 3, 31);
    EXPECT_EQ(OrderFilterText(v),
              QStringLiteral("((ORDERSTATUS=1 OR ORDERSTATUS=5)) AND (AMOUNT<>0) AND (IDUSER=7) "
                             "AND (WHENORDER>='%1') AND (WHENORDER<'%2')")
                  .arg(FormatShortDate(QDate(2026, 3, 1)), FormatShortDate(QDate(2026, 4, 1))));
}

} // namespace

namespace {

// A new order sent after the server ended the session says so once (the program's own
// "connect again"), not a second error box beside it.
TEST_F(OrdersAgainstServer, NewOrderAfterTheSessionEndedSaysItOnce) {
    signIn(QStringLiteral("klient"));
    Tfedordernew dialog(app->services());
    dialog.Prepare();
    dialog.show();
    server.post("logout", "", sessionId());
    seam.boxAnswers << mrYes;
    dialog.btnok->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(32), AppText(1005)}));
}

} // namespace
