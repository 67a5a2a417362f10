// The record bar's keys and closing question, and the bound editors of record dialogs.
#include "gridfixture.h"
#include "printers.h"
#include "scriptedseam.h"

#include "grid/controls/datasource.h"
#include "grid/controls/dbcheckbox.h"
#include "grid/controls/dbdatetimepicker.h"
#include "grid/controls/dbedit.h"
#include "grid/controls/dblookupcombobox.h"
#include "grid/controls/dbmemo.h"
#include "grid/recordbar.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Counts the presses of one key that reach a widget.
class KeySpy : public QObject {
public:
    KeySpy(QWidget *widget, int key) : m_key(key) { widget->installEventFilter(this); }
    int count = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == m_key)
            ++count;
        return false;
    }

private:
    int m_key;
};

// An order dialog: the record bar over a name edit, a paid box, a status list, a date picker
// and a note.
class RecordDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        TFieldDef note = MakeField("NOTE", TFieldType::BinHex);
        note.subtype = "Text";
        orders.CreateDataSet(
            {MakeField("ID", TFieldType::I4), MakeField("NAME", TFieldType::String, 40),
             MakeField("PAID", TFieldType::Boolean), MakeField("STATUS", TFieldType::I4),
             MakeField("WHENORDER", TFieldType::DateTime), note});
        for (int i = 0; i < 3; ++i)
            orders.AppendRecord({TValue::FromInteger(i + 1),
                                 TValue::FromText(QString("Order %1").arg(i + 1)),
                                 TValue::FromBool(i == 0), TValue::FromInteger(101 + i),
                                 TValue::FromDateTime(QDateTime(QDate(2009, 3, 5), QTime(14, 30))),
                                 TValue::FromText("a\r\nb")});
        orders.MergeChangeLog();
        orders.First();
        FillPupils(statuses, {"Nová", "Zaplacená", "Zrušená"});

        auto *layout = new QVBoxLayout(&dialog);
        layout->addWidget(bar = new Tfre(&dialog));
        layout->addWidget(name = new TDBEdit(&dialog));
        layout->addWidget(paid = new TDBCheckBox(&dialog));
        layout->addWidget(status = new TDBLookupComboBox(&dialog));
        layout->addWidget(when = new TDBEditDateTimePicker(&dialog));
        layout->addWidget(memo = new TDBMemo(&dialog));
        name->SetDataSource(&source);
        name->SetDataField("NAME");
        paid->SetDataSource(&source);
        paid->SetDataField("PAID");
        status->SetDataSource(&source);
        status->SetDataField("STATUS");
        status->SetListSource(&statusSource, "ID", "NAME");
        when->SetDataSource(&source);
        when->SetDataField("WHENORDER");
        memo->SetDataSource(&source);
        memo->SetDataField("NOTE");
        bar->Bind(&source, kAllNavigateButtons, name);
        paid->setText("Zaplaceno");
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        memo->setFocus();
    }
    void key(Qt::Key code, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget *focus = dialog.focusWidget() ? dialog.focusWidget() : &dialog;
        QTest::keyClick(focus, code, mods);
    }
    QString field(const char *name) { return orders.FieldByName(name).AsString(); }

    ScriptedSeam seam;
    TClientTable orders{"cd_orders"};
    TClientTable statuses{"cd_orderstatus"};
    TDataSource source{&orders, nullptr};
    TDataSource statusSource{&statuses, nullptr};
    QDialog dialog;
    Tfre *bar;
    TDBEdit *name;
    TDBCheckBox *paid;
    TDBLookupComboBox *status;
    TDBEditDateTimePicker *when;
    TDBMemo *memo;
};

TEST_F(RecordDialogTest, NavigationKeysAreConsumed) {
    KeySpy pageDown(memo, Qt::Key_PageDown);
    key(Qt::Key_PageDown);
    EXPECT_EQ(orders.RecNo(), 2);
    EXPECT_EQ(name->text(), "Order 2");
    key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(orders.RecNo(), 3);
    key(Qt::Key_PageDown); // stays on the last record
    EXPECT_EQ(orders.RecNo(), 3);
    EXPECT_EQ(pageDown.count, 0);
    key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(orders.RecNo(), 1);

    // A hidden button: the key does nothing, and Insert then reaches the control.
    bar->Bind(&source, kAllNavigateButtons & ~NavButton(nbNext) & ~NavButton(nbInsert), name);
    key(Qt::Key_PageDown);
    EXPECT_EQ(orders.RecNo(), 1);
    EXPECT_EQ(pageDown.count, 0);
    KeySpy insert(memo, Qt::Key_Insert);
    key(Qt::Key_Insert);
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_EQ(insert.count, 1);
}

TEST_F(RecordDialogTest, InsertAndEditFocusTheFirstFieldAndF2Saves) {
    key(Qt::Key_Insert);
    EXPECT_EQ(orders.State(), TTableState::Insert);
    EXPECT_EQ(dialog.focusWidget(), name);
    QTest::keyClicks(name, "New pupil");
    QTest::keyClick(name, Qt::Key_F2); // the edit's pending text is written first
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_EQ(field("NAME"), "New pupil");
    EXPECT_EQ(orders.RecordCount(), 4);

    memo->setFocus();
    key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_EQ(dialog.focusWidget(), name);
}

TEST_F(RecordDialogTest, EscapeCancelsThenCloses) {
    QTest::keyClicks(name, "X");
    EXPECT_EQ(orders.State(), TTableState::Edit);
    key(Qt::Key_Escape);
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_EQ(name->text(), "Order 1");
    EXPECT_TRUE(dialog.isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(RecordDialogTest, ClosingWithUnsavedChangesAsks) {
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, " changed");
    seam.boxAnswers = QQueue<int>{QList<int>{mrCancel, mrNo}};
    QTest::mouseClick(bar->btnclose, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_EQ(name->text(), "Order 1 changed");
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].text, CommonText(19));
    EXPECT_EQ(seam.boxes[0].buttons, QList<int>({mrYes, mrNo, mrCancel}));

    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_EQ(field("NAME"), "Order 1");

    dialog.show();
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, " saved");
    seam.boxAnswers = QQueue<int>{QList<int>{mrYes}};
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(field("NAME"), "Order 1 saved");
    EXPECT_EQ(orders.ChangeCount(), 1);
}

TEST_F(RecordDialogTest, SaveFailureKeepsTheDialogOpen) {
    orders.BeforePost = [](TClientTable &) { throw AppError("Chybí jméno"); };
    QTest::keyClicks(name, "!");
    seam.boxAnswers = QQueue<int>{QList<int>{mrYes}};
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_EQ(seam.boxTexts(), QStringList({CommonText(19), "Chybí jméno"}));
}

TEST_F(RecordDialogTest, AltDeleteAsksAndOtherwiseIsSwallowed) {
    seam.boxAnswers = QQueue<int>{QList<int>{mrNo, mrYes}};
    key(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(orders.RecordCount(), 3);
    key(Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(orders.RecordCount(), 2);
    EXPECT_EQ(seam.boxTexts(), QStringList({CommonText(21), CommonText(21)}));

    QTest::keyClicks(name, "x"); // editing: Alt+Delete is consumed and does nothing
    KeySpy spy(name, Qt::Key_Delete);
    QTest::keyClick(name, Qt::Key_Delete, Qt::AltModifier);
    EXPECT_EQ(spy.count, 0);
    EXPECT_EQ(orders.RecordCount(), 2);
    EXPECT_EQ(seam.boxes.size(), 2);
}

TEST_F(RecordDialogTest, PickedDateKeepsTheTimeOfDay) {
    when->setFocus();
    QTest::keyClick(when->Edit(), Qt::Key_F4);
    ASSERT_TRUE(when->CalendarShown());
    EXPECT_EQ(when->Calendar()->selectedDate(), QDate(2009, 3, 5));
    emit when->Calendar()->clicked(QDate(2009, 3, 7));
    EXPECT_FALSE(when->CalendarShown());
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_EQ(orders.FieldByName("WHENORDER").AsDateTime(),
              QDateTime(QDate(2009, 3, 7), QTime(14, 30)));
    orders.Cancel();

    // An empty field opens on today; a read-only picker changes nothing.
    orders.Edit();
    orders.FieldByName("WHENORDER").Clear();
    orders.Post();
    when->SetWeekNumbers(true);
    when->DropDown();
    EXPECT_EQ(when->Calendar()->selectedDate(), seam.clock.date());
    EXPECT_EQ(when->Calendar()->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    when->SetReadOnly(true);
    emit when->Calendar()->clicked(QDate(2009, 3, 7));
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_TRUE(orders.FieldByName("WHENORDER").IsNull());
}

TEST_F(RecordDialogTest, MaskedDateEditWritesTheDateAndKeepsTheTime) {
    EXPECT_EQ(when->Edit()->text(), "5.3.2009 14:30:00");
    when->Edit()->setFocus();
    EXPECT_TRUE(when->Edit()->MaskActive());
    EXPECT_EQ(when->Edit()->text(), "05.03.09");
    when->Edit()->selectAll();
    QTest::keyClicks(when->Edit(), "010410");
    memo->setFocus();
    EXPECT_EQ(orders.FieldByName("WHENORDER").AsDateTime(),
              QDateTime(QDate(2010, 4, 1), QTime(14, 30)));
    EXPECT_EQ(when->Edit()->text(), "1.4.2010 14:30:00");
}

TEST_F(RecordDialogTest, BoundEditorsWriteThroughTheTable) {
    EXPECT_TRUE(paid->isChecked());
    EXPECT_EQ(status->currentText(), "Zaplacená");
    EXPECT_EQ(memo->toPlainText(), "a\nb");

    QTest::mouseClick(paid, Qt::LeftButton, {}, QPoint(8, paid->height() / 2));
    EXPECT_EQ(orders.State(), TTableState::Edit);
    EXPECT_FALSE(orders.FieldByName("PAID").AsBoolean());

    status->setCurrentIndex(2);
    emit status->activated(2);
    EXPECT_EQ(orders.FieldByName("STATUS").AsInteger(), 102);

    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, "c");
    key(Qt::Key_F2);
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_EQ(field("NOTE"), "a\r\nbc");

    // A read-only table: the editors refuse.
    orders.SetReadOnly(true);
    source.SetEnabled(false);
    source.SetEnabled(true);
    EXPECT_TRUE(name->isReadOnly());
    QTest::mouseClick(paid, Qt::LeftButton, {}, QPoint(8, paid->height() / 2));
    EXPECT_EQ(orders.State(), TTableState::Browse);
    EXPECT_FALSE(paid->isChecked());
}

} // namespace
