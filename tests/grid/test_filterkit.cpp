// The checked combo box, the list fillers and the date range line, driven as a user would.
#include "gridfixture.h"
#include "printers.h"
#include "scriptedseam.h"

#include "grid/controls/checkedcombobox.h"
#include "grid/controls/checkpopup.h"
#include "grid/controls/combofill.h"
#include "grid/controls/datepicker.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QList<TCheckedItem> Numbered(int count) {
    QList<TCheckedItem> items;
    for (int i = 0; i < count; ++i)
        items.append({QStringLiteral("Položka %1").arg(i), i + 1});
    return items;
}

class CheckedComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        combo.SetItems({{"Nová", 1}, {"Zaplacená", 2}, {"Zrušená", 5}});
        combo.OnChange = [this] { ++changes; };
        combo.OnCloseUp = [this] { ++closeUps; };
        combo.move(50, 50);
        combo.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    }
    QListWidget *list() const { return combo.Popup()->list; }
    // Clicks the check box of an item in the open pop-up.
    void clickBox(int row) {
        const QRect item = list()->visualItemRect(list()->item(row));
        const QPoint box(item.left() + list()->style()->pixelMetric(QStyle::PM_IndicatorWidth) / 2 +
                             3,
                         item.center().y());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, box);
    }

    ScriptedSeam seam;
    TCheckedComboBox combo;
    int changes = 0;
    int closeUps = 0;
};

TEST_F(CheckedComboTest, ClicksInThePopUpChangeMarksTextAndCondition) {
    EXPECT_EQ(combo.TextBox()->text(), "<Není vybráno>");
    QTest::mouseClick(combo.DropButton(), Qt::LeftButton);
    ASSERT_TRUE(combo.PoppedUp());
    clickBox(0);
    clickBox(2);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(combo.TextBox()->text(), "Nová, Zrušená");
    EXPECT_EQ(combo.FilterCondition("ORDERSTATUS", true), "(ORDERSTATUS=1 OR ORDERSTATUS=5)");
    EXPECT_EQ(combo.CheckedPositions(), "0;2");

    DoubleClick(list()->viewport(), list()->visualItemRect(list()->item(1)).center());
    EXPECT_EQ(combo.CheckedPositions(), "1");
    EXPECT_EQ(combo.TextBox()->text(), "Zaplacená");

    clickBox(1); // the only checked item stays checked
    EXPECT_EQ(combo.CheckedPositions(), "1");
    EXPECT_EQ(list()->item(1)->checkState(), Qt::Checked);

    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(combo.PoppedUp());
    EXPECT_EQ(closeUps, 1);
}

TEST_F(CheckedComboTest, PopUpMenuFollowsAllowNone) {
    QTest::mouseClick(combo.DropButton(), Qt::LeftButton);
    TCheckPopup *popup = combo.Popup();
    QStringList shown;
    for (QAction *action : popup->menu->actions())
        if (action->isVisible())
            shown.append(action->text());
    EXPECT_EQ(shown, QStringList({"Vybrat jeden", "Vybrat vše", "Vybrat opačně"}));

    popup->selectAll->trigger();
    EXPECT_EQ(combo.TextBox()->text(), "<Vše>");
    popup->invert->trigger(); // all checked, AllowNone off: acts as "Vybrat jeden"
    EXPECT_EQ(combo.CheckedPositions(), "0");
    popup->invert->trigger();
    EXPECT_EQ(combo.CheckedPositions(), "1;2");

    combo.SetAllowNone(true);
    EXPECT_TRUE(popup->clearAll->isVisible());
    popup->clearAll->trigger();
    EXPECT_EQ(combo.CheckedPositions(), "");
    EXPECT_EQ(changes, 4);
    combo.CloseUp();
}

TEST_F(CheckedComboTest, PopUpLinesAndProperties) {
    combo.SetItems(Numbered(30));
    EXPECT_EQ(combo.PopupLines(), 6);
    combo.SetColumns(3);
    EXPECT_EQ(combo.PopupLines(), 11);
    combo.SetColumns(1);
    combo.SetDropDownLines(1); // refused
    combo.SetDropDownLines(21);
    EXPECT_EQ(combo.DropDownLines(), 6);
    combo.SetDropDownLines(20);
    EXPECT_EQ(combo.PopupLines(), 20);
    combo.SetColumns(2);
    combo.SetItems(Numbered(1));
    EXPECT_EQ(combo.PopupLines(), 2);
    combo.SetItems(Numbered(100));
    EXPECT_EQ(combo.PopupLines(), 20);

    // The pop-up opens below the control with the height of its lines.
    combo.SetColumns(0);
    combo.SetDropDownLines(6);
    combo.DropDown();
    const QRect popup = combo.Popup()->geometry();
    EXPECT_EQ(popup.top(), combo.mapToGlobal(QPoint(0, combo.height())).y());
    EXPECT_EQ(popup.width(), combo.width());
    EXPECT_EQ((popup.height() - 4) % 6, 0);
    combo.CloseUp();

    combo.setEnabled(false);
    EXPECT_FALSE(combo.DropButton()->isEnabled());
    EXPECT_FALSE(combo.TextBox()->isEnabled());
}

TEST_F(CheckedComboTest, FillFromTableChecksAllAndRestoreKeepsPositions) {
    TClientTable statuses("cd_orderstatus");
    FillPupils(statuses, {"Nová", "Zaplacená", "Zrušená", "Ukončená", "Vrácená"});
    combo.FillFromTable(statuses, 0, "NAME");
    EXPECT_EQ(combo.Items().size(), 5);
    EXPECT_EQ(combo.Items()[2], (TCheckedItem{"Zrušená", 102}));
    EXPECT_EQ(combo.TextBox()->text(), "<Vše>");
    combo.RestoreCheckedPositions("0;7;x;2");
    EXPECT_EQ(combo.CheckedPositions(), "0;2");
    EXPECT_EQ(combo.TextBox()->text(), "Nová, Zrušená");
    EXPECT_EQ(changes, 0); // only the user's changes are reported
    combo.SetQuoteStyle(qsDouble);
    EXPECT_EQ(combo.TextBox()->text(), "\"Nová\", \"Zrušená\"");
}

TEST(ComboFill, KeepsKeyZeroEntriesAndTheSelectionByKey) {
    TClientTable teachers("cd_teachers");
    FillPupils(teachers, {"Novák", "Svoboda", "Dvořák"});
    QComboBox combo;
    EXPECT_EQ(SelectedKey(combo), 0);
    combo.addItem("Všichni", 0);
    combo.addItem("Starý", 7);
    combo.setCurrentIndex(1);
    FillComboFromTable(combo, teachers, 0, "1");
    ASSERT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.itemText(0), "Všichni");
    EXPECT_EQ(combo.currentIndex(), 0); // key 7 is gone: the first entry
    combo.setCurrentIndex(2);
    EXPECT_EQ(SelectedKey(combo), 101);
    FillComboFromTable(combo, teachers, 0, "NAME");
    EXPECT_EQ(combo.count(), 4);
    EXPECT_EQ(combo.currentText(), "Svoboda");
    EXPECT_EQ(SelectedKey(combo), 101);
}

TEST(DateRange, LineFromTickedPickers) {
    TDatePicker from, to;
    from.SetDate(QDate(2009, 3, 1));
    to.SetDate(QDate(2009, 3, 31));
    QString text;
    to.SetChecked(true);
    DateRangeLine("Datum objednávky", from, to, text);
    EXPECT_EQ(text, "Datum objednávky: ... - 31.3.2009");
    from.SetChecked(true);
    DateRangeLine("Datum objednávky", from, to, text);
    EXPECT_EQ(text, "Datum objednávky: 1.3.2009 - 31.3.2009");
}

} // namespace
