// The grid frame driven through keys and mouse clicks on a real client table.
#include "gridfixture.h"
#include "printers.h"
#include "scriptedseam.h"

#include "data/tableprovider.h"
#include "grid/columnlayout.h"
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/dialogs/finddialog.h"
#include "grid/gridframe.h"
#include "grid/gridmodel.h"
#include "grid/gridoutput.h"
#include "grid/gridtitles.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/settings/cfghandler.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// Counts the key presses that reach a widget.
class KeyCounter : public QObject {
public:
    QList<int> keys;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::KeyPress)
            keys.append(static_cast<QKeyEvent *>(event)->key());
        return false;
    }
};

class GridFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        FillPupils(table, {"Evans", "Baker", "Davis", "Adams", "Clark"});
        source.SetDataSet(&table);
        frame.resize(760, 320);
        frame.gr->SetColumns(PupilColumns());
        Tfrg::ConfigStore().Delete("col", "", key());
    }
    void TearDown() override { Tfrg::ConfigStore().Delete("col", "", key()); }

    static QString key() {
        return QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void show() {
        frame.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    QWidget *titles() const { return frame.gr->horizontalHeader()->viewport(); }
    QPoint titleCenter(int column) const {
        const QHeaderView *header = frame.gr->horizontalHeader();
        return QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                      header->height() / 2);
    }
    void clickTitle(int column) {
        QTest::mouseClick(titles(), Qt::LeftButton, {}, titleCenter(column));
    }
    // A mouse move with the left button held, straight to the title row.
    void dragTo(const QPoint &titlePos) {
        QMouseEvent move(QEvent::MouseMove, titlePos, titles()->mapToGlobal(titlePos), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(titles(), &move);
    }
    // A right click as the windowing system delivers it: press, context menu, release.
    static void rightClick(QWidget *widget, const QPoint &pos) {
        QTest::mousePress(widget, Qt::RightButton, {}, pos);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, pos, widget->mapToGlobal(pos));
        QApplication::sendEvent(widget, &menu);
        QTest::mouseRelease(widget, Qt::RightButton, {}, pos);
    }
    QStringList names() const { return ColumnTexts(table, 1); }
    QStringList fieldOrder() const {
        QStringList fields;
        for (const TColumn &column : frame.gr->Columns())
            fields.append(column.fieldName);
        return fields;
    }
    QString currentName() { return table.FieldByName("NAME").AsString(); }

    ScriptedSeam seam;
    QString dataFolder = UseTemporaryDataFolder(); // before the first frame makes the store
    TClientTable table{"cd_pupils"};
    TDataSource source;
    Tfrg frame;
};

TEST_F(GridFrameTest, InitWithoutSourceOrTableRaises) {
    frame.setObjectName("frorders");
    try {
        frame.init(nullptr);
        FAIL();
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "frorders.init error: unassigned datasource");
    }
    QObject owner;
    owner.setObjectName("frorder");
    TDataSource empty(&owner);
    empty.setObjectName("ds");
    try {
        frame.init(&empty);
        FAIL();
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "frorders.init error: unassigned dataset for datasource frorder.ds");
    }
}

TEST_F(GridFrameTest, TitleClicksSortBothWaysAndReuseTheDescendingIndex) {
    frame.init(&source, nullptr, key());
    // Without an ordering of its own the table is sorted by the first sortable column.
    EXPECT_EQ(frame.SortColumn(), 0);
    EXPECT_EQ(table.IndexFieldNames(), "ID");
    EXPECT_EQ(frame.pmsort->actions().size(), 4); // the memo column is not sortable
    show();

    clickTitle(1);
    EXPECT_EQ(frame.SortColumn(), 1);
    EXPECT_EQ(table.IndexFieldNames(), "NAME");
    EXPECT_EQ(names(), QStringList({"Adams", "Baker", "Clark", "Davis", "Evans"}));
    EXPECT_EQ(frame.gr->Columns()[1].titleColor, clNavy);
    EXPECT_EQ(frame.gr->Columns()[1].cellColor, clNavy);
    EXPECT_EQ(frame.gr->Columns()[0].titleColor, clWindowText);

    clickTitle(1); // the sort column again: the direction flips
    EXPECT_TRUE(frame.Descending());
    EXPECT_TRUE(frame.ditsestupn1->isChecked());
    EXPECT_EQ(table.IndexName(), "NAME_ixd");
    EXPECT_EQ(names(), QStringList({"Evans", "Davis", "Clark", "Baker", "Adams"}));

    clickTitle(2); // another column keeps the direction
    EXPECT_EQ(table.IndexName(), "HOURS_ixd");
    clickTitle(1);
    EXPECT_EQ(table.IndexName(), "NAME_ixd");
    EXPECT_EQ(table.IndexDefs().size(), 2); // created once per field, then reused
    EXPECT_EQ(table.IndexDefs()[0].options, ixDescending | ixCaseInsensitive);

    frame.ditvzestupn1->trigger();
    EXPECT_FALSE(frame.Descending());
    EXPECT_EQ(table.IndexFieldNames(), "NAME");

    clickTitle(4); // memo: not sortable
    EXPECT_EQ(frame.SortColumn(), 1);
    EXPECT_EQ(table.IndexFieldNames(), "NAME");
}

TEST_F(GridFrameTest, SortColumnFollowsTheTablesOwnOrdering) {
    table.SetIndexFieldNames("hours desc ");
    frame.init(&source, nullptr, key());
    EXPECT_EQ(frame.SortColumn(), 2);
    EXPECT_TRUE(frame.Descending());
    EXPECT_EQ(table.IndexName(), "HOURS_ixd");
    EXPECT_EQ(table.RecNo(), 1);

    table.SetIndexFieldNames("HOURS;NAME");
    frame.gr->SetColumns(PupilColumns()); // a navy title would be taken as the sort mark
    frame.init(&source, nullptr, key());
    EXPECT_EQ(frame.SortColumn(), -1);
}

TEST_F(GridFrameTest, FindLandsOnTheNextRowAndWarnsWhenNotExact) {
    frame.init(&source, nullptr, key());
    show();
    clickTitle(1);
    QTest::keyClick(frame.gr, Qt::Key_Home);
    ASSERT_EQ(currentName(), "Adams");
    QString label, initial;
    bool allSelected = false;
    WhenModal([&](QWidget *dialog) {
        auto *find = qobject_cast<Tffrmfind *>(dialog);
        ASSERT_TRUE(find);
        label = find->lb->text();
        initial = find->Text();
        allSelected = find->ed->selectedText() == initial;
        find->ed->setText("Bz");
        QTest::mouseClick(find->btnexact, Qt::LeftButton);
    });
    QTest::keyClick(frame.gr, Qt::Key_F3);
    EXPECT_EQ(label, "Jméno");
    EXPECT_EQ(initial, "Adams");
    EXPECT_TRUE(allSelected);
    EXPECT_EQ(currentName(), "Clark");
    EXPECT_EQ(seam.boxTexts(), QStringList({CommonText(25)}));
    EXPECT_EQ(frame.LastFindText(), "Bz");

    // The next find starts from the last text, unselected; an exact hit shows nothing.
    bool noneSelected = false;
    WhenModal([&](QWidget *dialog) {
        auto *find = qobject_cast<Tffrmfind *>(dialog);
        initial = find->Text();
        noneSelected = !find->ed->hasSelectedText();
        find->ed->setText("Davis");
        QTest::mouseClick(find->btnfind, Qt::LeftButton);
    });
    frame.Hledat1->trigger();
    EXPECT_EQ(initial, "Bz");
    EXPECT_TRUE(noneSelected);
    EXPECT_EQ(currentName(), "Davis");
    EXPECT_EQ(seam.boxes.size(), 1);

    clickTitle(2); // a sort change forgets the last find text
    EXPECT_EQ(frame.LastFindText(), "");
}

TEST_F(GridFrameTest, HiddenFindButtonSwitchesSortingOff) {
    frame.spbfind->hide();
    frame.init(&source, nullptr, key());
    show();
    bool opened = false;
    auto *guard = new QTimer(&frame);
    QObject::connect(guard, &QTimer::timeout, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            opened = true;
            dialog->close();
        }
    });
    guard->start(5);

    EXPECT_EQ(frame.SortColumn(), -1);
    clickTitle(1);
    QTest::keyClick(frame.gr, Qt::Key_F3);
    frame.Hledat1->trigger();
    frame.ditsestupn1->trigger();
    EXPECT_EQ(frame.SortColumn(), -1);
    EXPECT_EQ(table.IndexFieldNames(), "");
    EXPECT_EQ(table.IndexName(), "");
    EXPECT_FALSE(opened);
    EXPECT_TRUE(frame.pmcfgPopup());
    EXPECT_FALSE(frame.Hledat1->isVisible());
    EXPECT_FALSE(frame.pmsort->menuAction()->isVisible());
    // No title is highlighted either.
    QTest::mouseMove(titles(), titleCenter(1));
    EXPECT_EQ(frame.gr->HotColumn(), -1);
}

TEST_F(GridFrameTest, StoredLayoutReplacesTheDesignAndDefaultComesBack) {
    frame.init(&source, nullptr, key());
    show();
    clickTitle(1);
    frame.gr->MoveColumn(4, 0);
    frame.gr->setColumnWidth(1, 77);
    frame.Uloitnastavensloupc1->trigger();
    EXPECT_TRUE(frame.LayoutStored());
    const TColumnList saved = frame.gr->Columns();
    // Kept in the lists' own measure, shown again as the width the user dragged.
    EXPECT_EQ(saved[1].width, qRound(77 / frame.gr->columnWidthScale()));

    // The screen designs its columns again (other captions) and binds the frame anew.
    TColumnList redesigned = PupilColumns();
    redesigned[1].caption = "Name";
    frame.gr->SetColumns(redesigned);
    table.SetIndexFieldNames("");
    frame.init(&source, nullptr, key());
    EXPECT_EQ(frame.gr->Columns(), saved);
    EXPECT_EQ(frame.gr->Columns()[2].caption, "Jméno");
    EXPECT_TRUE(frame.LayoutStored());
    EXPECT_EQ(frame.SortColumn(), 2); // the saved sort mark
    EXPECT_EQ(table.IndexFieldNames(), "NAME");

    // Restore the default, keep the stored layout.
    seam.boxAnswers = QQueue<int>{QList<int>{mrNo}};
    frame.Naststandartnnastavensloupc1->trigger();
    EXPECT_EQ(fieldOrder(), QStringList({"ID", "NAME", "HOURS", "WHENHOUR", "NOTE"}));
    EXPECT_EQ(frame.gr->Columns()[1].caption, "Name");
    EXPECT_EQ(seam.boxTexts(), QStringList({CommonText(12)}));
    QString stored;
    EXPECT_TRUE(Tfrg::ConfigStore().Read("col", "", stored, key()));
    EXPECT_TRUE(frame.LayoutStored());

    // Again, deleting it; a third time asks nothing.
    seam.boxAnswers = QQueue<int>{QList<int>{mrYes}};
    frame.Naststandartnnastavensloupc1->trigger();
    EXPECT_FALSE(Tfrg::ConfigStore().Read("col", "", stored, key()));
    EXPECT_FALSE(frame.LayoutStored());
    frame.Naststandartnnastavensloupc1->trigger();
    EXPECT_EQ(seam.boxes.size(), 2);
}

TEST_F(GridFrameTest, DamagedStoredLayoutFallsBackToTheDesignSilently) {
    // Not hexadecimal, truncated, and a layout without a single column (an empty list).
    for (const QString &text :
         {QString("ZZ"), LayoutToHex("TCL1\x01"), LayoutToHex(SerializeColumns({}))}) {
        Tfrg::ConfigStore().Write("col", "", text, key());
        frame.gr->SetColumns(PupilColumns());
        frame.init(&source, nullptr, key());
        TColumnList expected = PupilColumns();
        expected[0].titleColor = expected[0].cellColor = clNavy; // the sort mark of init
        EXPECT_EQ(frame.gr->Columns(), expected);
        EXPECT_TRUE(frame.LayoutStored());
    }
    EXPECT_TRUE(seam.boxes.isEmpty());
}

TEST_F(GridFrameTest, ColumnsReplacedAfterInitLeaveNoStaleSortColumn) {
    frame.init(&source, nullptr, key());
    show();
    clickTitle(3);
    ASSERT_EQ(frame.SortColumn(), 3);
    frame.gr->SetColumns({MakeColumn("ID", "Číslo")}); // fewer columns than the sort column
    bool opened = false;
    auto *guard = new QTimer(&frame); // closes a find dialog that should not have opened
    QObject::connect(guard, &QTimer::timeout, [&] {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            opened = true;
            dialog->close();
        }
    });
    guard->start(5);
    QTest::keyClick(frame.gr, Qt::Key_F3);
    frame.Hledat1->trigger();
    guard->stop();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(frame.pmcfgPopup());
    EXPECT_FALSE(frame.Hledat1->isVisible());
    clickTitle(0); // sorting starts afresh on the new columns
    EXPECT_EQ(frame.SortColumn(), 0);
    EXPECT_EQ(table.IndexFieldNames(), "ID");
}

TEST_F(GridFrameTest, RightClickOnTitleOpensNoMenuButInTheDataAreaItDoes) {
    frame.init(&source, nullptr, key());
    show();
    rightClick(titles(), titleCenter(1));
    EXPECT_FALSE(frame.pmcfg->isVisible());
    EXPECT_TRUE(frame.MenuAllowed());

    rightClick(frame.gr->viewport(), QPoint(40, 30));
    EXPECT_TRUE(frame.pmcfg->isVisible());
    EXPECT_TRUE(frame.Hledat1->isVisible());
    frame.pmcfg->hide();

    // A screen that hides the corner button has no settings menu.
    frame.spbcfg->hide();
    rightClick(frame.gr->viewport(), QPoint(40, 30));
    EXPECT_FALSE(frame.pmcfg->isVisible());
}

TEST_F(GridFrameTest, KeysOnAnEmptyTable) {
    FillPupils(table, {});
    int details = 0;
    frame.OnShowDetail = [&](Tfrg *sender) {
        EXPECT_EQ(sender, &frame);
        ++details;
    };
    frame.init(&source, nullptr, key());
    show();
    KeyCounter reached;
    frame.installEventFilter(&reached);

    DoubleClick(frame.gr->viewport(), QPoint(40, 10));
    QTest::keyClick(frame.gr, Qt::Key_Return, Qt::ControlModifier);
    for (auto mods : {Qt::NoModifier, Qt::ShiftModifier, Qt::ControlModifier})
        QTest::keyClick(frame.gr, Qt::Key_Delete, mods);
    QApplication::processEvents();
    EXPECT_EQ(details, 0);
    EXPECT_TRUE(seam.boxes.isEmpty());
    EXPECT_FALSE(reached.keys.contains(Qt::Key_Delete)); // swallowed

    QTest::keyClick(frame.gr, Qt::Key_Insert);
    EXPECT_EQ(table.State(), TTableState::Insert);
    EXPECT_EQ(details, 0); // the detail waits for the event queue
    QApplication::processEvents();
    EXPECT_EQ(details, 1);
}

TEST_F(GridFrameTest, DeleteAsksOnceAndDetailKeepsTheState) {
    int details = 0;
    frame.OnShowDetail = [&](Tfrg *) { ++details; };
    frame.init(&source, nullptr, key());
    show();
    seam.boxAnswers = QQueue<int>{QList<int>{mrNo, mrYes}};
    QTest::keyClick(frame.gr, Qt::Key_Delete);
    EXPECT_EQ(table.RecordCount(), 5);
    QTest::keyClick(frame.gr, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(seam.boxTexts(), QStringList({CommonText(21), CommonText(21)}));
    EXPECT_EQ(seam.boxes[0].type, mtConfirmation);

    QTest::keyClick(frame.gr, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(details, 1);
    DoubleClick(frame.gr->viewport(), QPoint(40, frame.gr->rowViewportPosition(1) + 3));
    EXPECT_EQ(details, 2);
    EXPECT_EQ(table.State(), TTableState::Browse);
    EXPECT_EQ(table.RecNo(), 2);

    // Without the navigator's delete button the key does nothing.
    frame.nv->SetVisibleButtons(kAllNavigateButtons & ~NavButton(nbDelete));
    QTest::keyClick(frame.gr, Qt::Key_Delete);
    EXPECT_EQ(table.RecordCount(), 4);
    EXPECT_EQ(seam.boxes.size(), 2);
}

// A provider that serves the packet of another table.
struct PacketProvider : TableProvider {
    QByteArray packet;
    int fetches = 0;
    QByteArray FetchPacket(TClientTable &) override {
        ++fetches;
        return packet;
    }
    void ApplyUpdates(TClientTable &table) override { table.MergeChangeLog(); }
};

TEST_F(GridFrameTest, FunctionAndMovementKeys) {
    PacketProvider provider;
    provider.packet = table.DataPacket();
    table.SetRemoteServer(&provider);
    int filters = 0;
    QObject::connect(frame.spbfilter, &QToolButton::clicked, [&] { ++filters; });
    frame.init(&source, nullptr, key());
    show();

    QTest::keyClick(frame.gr, Qt::Key_F4); // the filter button is hidden
    frame.spbfilter->show();
    QTest::keyClick(frame.gr, Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(filters, 0);
    QTest::keyClick(frame.gr, Qt::Key_F4);
    EXPECT_EQ(filters, 1);

    QTest::keyClick(frame.gr, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_EQ(provider.fetches, 1);
    frame.nv->SetVisibleButtons(kAllNavigateButtons & ~NavButton(nbRefresh));
    QTest::keyClick(frame.gr, Qt::Key_F5);
    EXPECT_EQ(provider.fetches, 1);

    QTest::keyClick(frame.gr, Qt::Key_Down);
    EXPECT_EQ(table.RecNo(), 2);
    QTest::keyClick(frame.gr, Qt::Key_End);
    EXPECT_EQ(table.RecNo(), 5);
    EXPECT_EQ(frame.gr->currentIndex().row(), 4);
    QTest::keyClick(frame.gr, Qt::Key_Up);
    EXPECT_EQ(table.RecNo(), 4);
    QTest::keyClick(frame.gr, Qt::Key_Home);
    EXPECT_EQ(table.RecNo(), 1);
    QTest::mouseClick(frame.gr->viewport(), Qt::LeftButton, {},
                      QPoint(40, frame.gr->rowViewportPosition(2) + 3));
    EXPECT_EQ(table.RecNo(), 3);
    table.SetRemoteServer(nullptr);
}

TEST_F(GridFrameTest, RecordCountCoversTheFilterAndKeepsTheRecord) {
    table.SetFilter("HOURS>=3");
    table.SetFiltered(true);
    frame.init(&source, nullptr, key());
    show();
    table.Next();
    const QString before = currentName();
    int scrolls = 0;
    table.AfterScroll = [&](TClientTable &) { ++scrolls; };
    frame.Zjistitpoetzznam1->trigger();
    EXPECT_EQ(seam.boxTexts(), QStringList({"Celkový počet záznamů: 3"}));
    EXPECT_EQ(seam.boxes[0].type, mtInformation);
    EXPECT_EQ(currentName(), before);
    EXPECT_EQ(scrolls, 0);
    EXPECT_TRUE(bool(table.AfterScroll));
    EXPECT_FALSE(table.ControlsDisabled());
    EXPECT_EQ(seam.currentCursor(), -1);
    EXPECT_EQ(frame.gr->currentIndex().row(), table.CurrentPos());
}

TEST_F(GridFrameTest, AnEmptyListSaysWhenAFilterHidesEverything) {
    frame.init(&source, nullptr, key());
    show();
    EXPECT_EQ(frame.gr->EmptyText(), QString()); // rows shown: nothing said
    table.SetFilter("HOURS>=1000");
    table.SetFiltered(true);
    ASSERT_EQ(frame.gr->model()->rowCount(), 0);
    EXPECT_EQ(frame.gr->EmptyText(), AppText(1075));
    // The sentence is painted into the empty list.
    const QImage shot = frame.gr->viewport()->grab().toImage();
    const QColor background = shot.pixelColor(2, shot.height() - 2);
    bool written = false;
    for (int y = 0; y < qMin(60, shot.height()) && !written; ++y)
        for (int x = 0; x < shot.width() && !written; ++x)
            written = shot.pixelColor(x, y) != background;
    EXPECT_TRUE(written);
    table.SetFiltered(false);
    EXPECT_EQ(frame.gr->EmptyText(), QString());
}

TEST_F(GridFrameTest, DraggedTitlesMoveToTheLastAndFirstPlace) {
    frame.init(&source, nullptr, key());
    show();
    table.Next();
    frame.gr->setCurrentIndex(frame.gr->model()->index(1, 1));
    const int length = frame.gr->horizontalHeader()->length();

    QTest::mousePress(titles(), Qt::LeftButton, {}, titleCenter(1));
    dragTo(titleCenter(1) + QPoint(30, 0));
    dragTo(QPoint(length + 20, 5)); // beyond the last column
    EXPECT_TRUE(frame.gr->Dragging());
    QTest::mouseRelease(titles(), Qt::LeftButton, {}, QPoint(length + 20, 5));
    EXPECT_EQ(fieldOrder(), QStringList({"ID", "HOURS", "WHENHOUR", "NOTE", "NAME"}));
    EXPECT_EQ(frame.gr->currentIndex().column(), 4); // the current column follows
    EXPECT_EQ(frame.gr->currentIndex().row(), 1);
    EXPECT_EQ(frame.SortColumn(), 0); // a drag is no title click

    const QPoint indicator(-frame.gr->verticalHeader()->width() / 2, 5);
    QTest::mousePress(titles(), Qt::LeftButton, {}, titleCenter(3));
    dragTo(titleCenter(3) - QPoint(30, 0));
    dragTo(indicator);
    QTest::mouseRelease(titles(), Qt::LeftButton, {}, indicator);
    EXPECT_EQ(fieldOrder(), QStringList({"NOTE", "ID", "HOURS", "WHENHOUR", "NAME"}));
    EXPECT_EQ(frame.SortColumn(), 1); // the sort column moved along
    EXPECT_EQ(frame.pmsort->actions().first()->text(), "Číslo");
    EXPECT_TRUE(frame.pmsort->actions().first()->isChecked());
    EXPECT_FALSE(frame.gr->Dragging());
    EXPECT_FALSE(frame.gr->DragScrolling());

    // A press and release without moving is a title click.
    QTest::mousePress(titles(), Qt::LeftButton, {}, titleCenter(4));
    QTest::mouseRelease(titles(), Qt::LeftButton, {}, titleCenter(4));
    EXPECT_EQ(frame.SortColumn(), 4);
    EXPECT_EQ(table.IndexFieldNames(), "NAME");
}

TEST_F(GridFrameTest, HoldingADraggedTitleAtTheRightEdgeScrolls) {
    frame.resize(300, 320);
    frame.init(&source, nullptr, key());
    show();
    QScrollBar *bar = frame.gr->horizontalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    ASSERT_GT(bar->maximum(), 1);
    const QPoint edge =
        titles()->mapFrom(frame.gr, QPoint(frame.gr->viewport()->geometry().right() - 2, 5));
    QTest::mousePress(titles(), Qt::LeftButton, {}, titleCenter(0));
    dragTo(edge);
    EXPECT_TRUE(frame.gr->DragScrolling());
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar->value() >= 2; }, 3000));
    dragTo(QPoint(titles()->width() / 2, 5)); // back inside: the next tick stops scrolling
    EXPECT_TRUE(QTest::qWaitFor([&] { return !frame.gr->DragScrolling(); }, 3000));
    QTest::mouseRelease(titles(), Qt::LeftButton, {}, titleCenter(0));
}

TEST_F(GridFrameTest, RowColoursFollowTheRecordNumber) {
    frame.init(&source, nullptr, key());
    show();
    TGridModel *model = frame.gr->GridModel();
    const QColor odd(255, 248, 248);
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model->data(model->index(1, 0), Qt::BackgroundRole).value<QColor>(), odd);
    EXPECT_FALSE(model->data(model->index(2, 0), Qt::BackgroundRole).isValid());

    // Painted: record 2 in the odd-row colour, record 3 in the grid's colour.
    const QImage image = frame.gr->viewport()->grab().toImage();
    const auto pixel = [&](int row) {
        return image.pixelColor(frame.gr->columnViewportPosition(2) + 3,
                                frame.gr->rowViewportPosition(row) + 2);
    };
    EXPECT_EQ(pixel(1), odd);
    EXPECT_EQ(pixel(2), frame.gr->palette().color(QPalette::Base));

    // A record being inserted has no number: normal colour.
    table.Insert();
    EXPECT_EQ(model->RecordNumberOfRow(0), -1);
    EXPECT_FALSE(model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(model->data(model->index(2, 0), Qt::BackgroundRole).value<QColor>(), odd);
    table.Cancel();
}

TEST_F(GridFrameTest, TitleUnderTheMouseIsHighlightedWhenSortable) {
    frame.init(&source, nullptr, key());
    show();
    TGridModel *model = frame.gr->GridModel();
    QTest::mouseMove(titles(), titleCenter(2));
    EXPECT_EQ(frame.gr->HotColumn(), 2);
    EXPECT_EQ(model->headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(0, 0, 128));
    QTest::mouseMove(titles(), titleCenter(4)); // the memo column cannot be sorted
    EXPECT_EQ(frame.gr->HotColumn(), -1);
    EXPECT_NE(model->headerData(2, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(),
              QColor(0, 0, 128));
}

TEST_F(GridFrameTest, StandardFormatsAndMemoText) {
    frame.init(&source, nullptr, key());
    TGridModel *model = frame.gr->GridModel();
    EXPECT_EQ(table.FieldDefs()[2].displayFormat, "#,##0");
    EXPECT_EQ(table.FieldDefs()[2].editFormat, "0");
    EXPECT_EQ(model->data(model->index(0, 3), Qt::DisplayRole).toString(), "01.03.2009 14:30");
    EXPECT_EQ(model->data(model->index(0, 4), Qt::DisplayRole).toString(), "line one line two");
}

// The standard formats that init gives the fields stay when the table is read again: by F5
// and by the re-read after every save.
TEST_F(GridFrameTest, StandardFormatsSurviveRefreshAndSave) {
    table.Edit();
    table.FieldByName("HOURS").SetAsInteger(12345);
    table.Post();
    table.MergeChangeLog();
    PacketProvider provider;
    provider.packet = table.DataPacket();
    table.SetRemoteServer(&provider);
    frame.init(&source, nullptr, key());
    show();
    TGridModel *model = frame.gr->GridModel();
    auto cells = [&] {
        return model->data(model->index(0, 2), Qt::DisplayRole).toString() + " | " +
               model->data(model->index(0, 3), Qt::DisplayRole).toString();
    };
    const QString formatted = QString::fromUtf8("12\u00a0345 | 01.03.2009 14:30");
    ASSERT_EQ(cells(), formatted);

    QTest::keyClick(frame.gr, Qt::Key_F5);
    ASSERT_EQ(provider.fetches, 1);
    EXPECT_EQ(cells(), formatted) << "after F5";

    table.Edit();
    table.FieldByName("NAME").SetAsString("Edwards");
    table.Post();
    table.ApplyUpdates();
    table.Refresh(); // what the data module does after every save
    EXPECT_EQ(provider.fetches, 2);
    EXPECT_EQ(cells(), formatted) << "after a save and re-read";
    table.SetRemoteServer(nullptr);
}

// An output definition that records what the frame asks of it.
struct FakeOutput : TGridOutput {
    QStringList *calls;
    explicit FakeOutput(QStringList *log) : calls(log) {}
    void SetFilterText(const QString &text) override { calls->append("filter:" + text); }
    void ShowDialog() override { calls->append("dialog"); }
};

TEST_F(GridFrameTest, OutputButtonCreatesTheDefinitionOnceAndOpensDialogOrMenu) {
    QStringList calls;
    int created = 0;
    GridOutputFactory() = [&](TDBGridEx &, TCfgHandler &, QMenu &, const QString &storageKey) {
        ++created;
        calls.append("key:" + storageKey);
        return std::make_unique<FakeOutput>(&calls);
    };
    frame.spboutput->show();
    frame.spbfilter->setToolTip("Stav: Nová");
    frame.init(&source, nullptr, key());
    show();
    QTest::keyClick(frame.gr, Qt::Key_F8);
    EXPECT_EQ(calls, QStringList({"key:" + key(), "filter:Stav: Nová", "dialog"}));
    frame.pmo->insertAction(frame.pmo->actions().first(), new QAction("Šablona", frame.pmo));
    QTest::keyClick(frame.gr, Qt::Key_F8);
    EXPECT_EQ(created, 1);
    EXPECT_TRUE(frame.pmo->isVisible());
    frame.pmo->hide();
    seam.boxAnswers = QQueue<int>{QList<int>{mrNo}};
    frame.Naststandartnnastavensloupc1->trigger();
    EXPECT_EQ(frame.Output(), nullptr);
    GridOutputFactory() = nullptr;
}

} // namespace

// A title that does not fit its column is cut at its end with "…", also when the column is
// right-aligned (a number column's title lost its start); one that fits stays whole.
TEST(GridTitles, CaptionsThatDoNotFitEndInAnEllipsis) {
    TDBGridEx grid;
    TColumnList columns = PupilColumns();
    columns[0].caption = QStringLiteral("Debet hodin celkem za období");
    columns[0].alignment = TColumnAlignment::Right;
    columns[1].caption = QStringLiteral("Jméno");
    grid.SetColumns(columns);
    auto *titles = static_cast<TGridTitles *>(grid.horizontalHeader());
    titles->resizeSection(0, 60);
    titles->resizeSection(1, 300);
    const QString cut = titles->ShownCaption(0);
    EXPECT_TRUE(cut.endsWith(QChar(0x2026))) << cut.toStdString();
    EXPECT_TRUE(cut.startsWith(QStringLiteral("De"))) << cut.toStdString();
    EXPECT_LE(titles->fontMetrics().horizontalAdvance(cut), 60);
    EXPECT_EQ(titles->ShownCaption(1), QStringLiteral("Jméno"));
}
