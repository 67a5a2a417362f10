// The column order editor, the find dialog, the input dialog and the progress window.
#include "gridfixture.h"
#include "printers.h"
#include "scriptedseam.h"

#include "grid/dialogs/columnordereditor.h"
#include "grid/dbgridex.h"
#include "grid/dialogs/finddialog.h"
#include "grid/dialogs/inputex.h"
#include "grid/dialogs/progresswindow.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

QStringList Captions(const TDBGridEx &grid) {
    QStringList captions;
    for (const TColumn &column : grid.Columns())
        captions.append(column.caption);
    return captions;
}

QStringList Entries(const QListWidget *list) {
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
        entries.append(list->item(i)->text());
    return entries;
}

class ColumnEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        TColumnList columns;
        for (const char *name : {"A", "B", "C", "D", "E", "F"})
            columns.append(MakeColumn(name, name));
        columns[2].visible = false; // C is hidden
        grid.SetColumns(columns);
        editor.Setup(&grid, [this] {
            ++restores;
            TColumnList columns = grid.Columns();
            std::sort(columns.begin(), columns.end(),
                      [](const TColumn &a, const TColumn &b) { return a.caption < b.caption; });
            grid.SetColumns(columns);
        });
        editor.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    }
    void select(const QList<int> &rows) {
        editor.lb->clearSelection();
        for (int row : rows) {
            const QRect item = editor.lb->visualItemRect(editor.lb->item(row));
            QTest::mouseClick(editor.lb->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              item.center());
        }
    }

    ScriptedSeam seam;
    TDBGridEx grid;
    Tfdbfrgcols editor;
    int restores = 0;
};

TEST_F(ColumnEditorTest, MovesSelectedColumnsAtOnceKeepingHiddenPlaces) {
    EXPECT_EQ(Entries(editor.lb), QStringList({"A", "B", "D", "E", "F"}));
    EXPECT_EQ(editor.windowTitle(), CommonText(160));
    EXPECT_TRUE(editor.btndefault->isVisible());
    EXPECT_FALSE(editor.spbup->isEnabled());

    select({0});
    EXPECT_FALSE(editor.spbup->isEnabled());
    EXPECT_FALSE(editor.spbtop->isEnabled());
    EXPECT_TRUE(editor.spbdn->isEnabled());

    select({1, 3}); // B and E to the top: places 1 and 3
    QTest::mouseClick(editor.spbtop, Qt::LeftButton);
    EXPECT_EQ(Entries(editor.lb), QStringList({"B", "A", "E", "D", "F"}));
    EXPECT_EQ(Captions(grid), QStringList({"B", "A", "C", "E", "D", "F"}));
    EXPECT_TRUE(editor.lb->item(0)->isSelected());
    EXPECT_TRUE(editor.lb->item(2)->isSelected());
    EXPECT_FALSE(editor.spbtop->isEnabled());

    QTest::mouseClick(editor.spbbottom, Qt::LeftButton);
    EXPECT_EQ(Entries(editor.lb), QStringList({"A", "D", "B", "F", "E"}));
    EXPECT_EQ(Captions(grid), QStringList({"A", "C", "D", "B", "F", "E"}));
    EXPECT_FALSE(editor.spbdn->isEnabled());

    QTest::mouseClick(editor.btndefault, Qt::LeftButton);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(Entries(editor.lb), QStringList({"A", "B", "D", "E", "F"}));
    EXPECT_FALSE(editor.spbup->isEnabled()); // nothing selected after the refill
}

TEST(ColumnEditor, WithoutRestoreActionHidesItsButton) {
    TDBGridEx grid;
    grid.SetColumns({MakeColumn("A", "A")});
    Tfdbfrgcols editor;
    editor.Setup(&grid, nullptr);
    editor.show();
    EXPECT_FALSE(editor.btndefault->isVisible());
}

TEST(FindDialog, TypeCheckKeepsTheDialogOpenWithTheMessage) {
    ScriptedSeam seam;
    Tffrmfind dialog;
    dialog.SetField(MakeField("HOURS", TFieldType::I4));
    dialog.SetText("abc");
    dialog.show();
    dialog.btnfind->setFocus();
    QTest::mouseClick(dialog.btnfind, Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(seam.boxTexts(), QStringList({FormatText(CommonText(16), {"abc"})}));
    EXPECT_EQ(dialog.focusWidget(), dialog.ed);

    dialog.SetText("12");
    QTest::mouseClick(dialog.btnexact, Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.Exact());

    Tffrmfind text;
    text.SetField(MakeField("NAME", TFieldType::String));
    text.SetText("abc");
    text.show();
    QTest::mouseClick(text.btnfind, Qt::LeftButton);
    EXPECT_EQ(text.result(), QDialog::Accepted);
    EXPECT_FALSE(text.Exact());
    EXPECT_EQ(seam.boxes.size(), 1);
}

TEST(InputDialog, OneFieldLayoutAndValuesOnlyOnConfirm) {
    Tfinputex dialog;
    dialog.Setup("Šablona", "Název šablony:", "", "Moje", "", false, false);
    EXPECT_EQ(dialog.height(), 130);
    EXPECT_EQ(dialog.btnok->y(), 67);
    EXPECT_TRUE(dialog.ed2->isHidden());
    dialog.Setup("Přihlášení", "Jméno:", "Heslo:", "jan", "", false, true);
    EXPECT_FALSE(dialog.ed2->isHidden());
    EXPECT_EQ(dialog.ed2->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.ed1->echoMode(), QLineEdit::Normal);

    // Through the seam: cancelling either prompt leaves both values untouched.
    ScriptedSeam seam;
    QString first = "jan", second = "x";
    seam.inputAnswers = QQueue<QString>{QStringList{"petr", QString()}};
    EXPECT_FALSE(InputEx("Přihlášení", "Jméno:", "Heslo:", first, second));
    EXPECT_EQ(first, "jan");
    EXPECT_EQ(second, "x");
    seam.inputAnswers = QQueue<QString>{QStringList{"petr", "tajne"}};
    EXPECT_TRUE(InputEx("Přihlášení", "Jméno:", "Heslo:", first, second, false, true));
    EXPECT_EQ(first, "petr");
    EXPECT_EQ(second, "tajne");
    EXPECT_EQ(seam.inputs.last(), "Přihlášení|Heslo:");
    seam.inputAnswers = QQueue<QString>{QStringList{"3"}};
    QString page = "1", unused;
    EXPECT_TRUE(InputEx("Strana", "Strana (1 - 9):", "", page, unused));
    EXPECT_EQ(page, "3");
}

TEST(ProgressWindow, DisablesItsOwnerAndRefusesToClose) {
    QMainWindow owner;
    owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    Tfprogress *window =
        OpenProgress("Export do Excelu", "Probíhá exportování záznamů...", 100, &owner);
    ASSERT_TRUE(window);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isEnabled());
    EXPECT_FALSE(window->btnabort->isEnabled());
    EXPECT_EQ(window->btnabort->text(), "&Přerušit");
    EXPECT_EQ(window->pb->maximum(), 100);

    EXPECT_FALSE(window->close());
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    SetProgressText(window, "Vyexportováno 50 záznamů");
    EXPECT_EQ(window->lb->text(), "Vyexportováno 50 záznamů");

    CloseProgress(window);
    EXPECT_EQ(window, nullptr);
    EXPECT_TRUE(owner.isEnabled());
    CloseProgress(window); // an empty reference does nothing

    // An owner that was disabled before stays disabled.
    owner.setEnabled(false);
    SetLanguageIndex(LangSlovak);
    window = OpenProgress("Export", "", 10, &owner);
    EXPECT_EQ(window->btnabort->text(), "&Prerušiť");
    CloseProgress(window);
    SetLanguageIndex(LangCzech);
    EXPECT_FALSE(owner.isEnabled());
}

} // namespace
