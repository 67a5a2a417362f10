// The preview window (controls, zoom, keys, mouse), the print dialog's ranges, and the PDF
// of a list read back with a PDF text extractor.
#include "data/clienttable.h"
#include "grid/dialogs/inputex.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "output/report/dboutputprint.h"
#include "output/report/previewpageview.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpainter.h"
#include "output/report/tfrextprd.h"
#include "output/report/tfrextprev.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class PreviewTest : public testing::Test {
protected:
    void SetUp() override { SetLanguageIndex(LangCzech); }
    // A preview of a list of the given number of rows.
    std::unique_ptr<Tfrextprev> preview(int rows) {
        FillRows(table, rows);
        Tdboutputsfields items;
        for (const char *name : {"ID", "NAME", "HOURS"})
            items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString(), 80, false});
        Tdboutputs::PrepareItems(table, items);
        TReportRequest request;
        request.name = QStringLiteral("Tellavo - Výpis");
        request.title = QStringLiteral("Výpis");
        const TReportDefinition d =
            BuildReportDefinition(table, items, request, ReportMediaFor(nullptr, roPortrait));
        auto window = std::make_unique<Tfrextprev>(d, table, printer, progress);
        window->resize(800, 600);
        window->show();
        window->GeneratePages();
        return window;
    }

    ScriptedSeam seam;
    TClientTable table;
    QPrinter printer;
    TRecordingProgress progress;
};

// A list wider than the page even with its columns narrowed names what it left out above the
// pages; one that fits shows no note.
TEST_F(PreviewTest, ColumnsLeftOutAreNamedAboveThePages) {
    FillRows(table, 20);
    for (const int copies : {1, 8}) {
        SCOPED_TRACE(copies);
        Tdboutputsfields items;
        for (int i = 0; i < copies; ++i)
            for (const char *name : {"ID", "NAME", "PRICE"})
                items.append(Tdboutputsfield{QString::fromLatin1(name), -1,
                                             QStringLiteral("%1 %2").arg(name).arg(i), 200, true});
        Tdboutputs::PrepareItems(table, items);
        TReportRequest request;
        request.title = QStringLiteral("Výpis");
        const TReportDefinition d =
            BuildReportDefinition(table, items, request, ReportMediaFor(nullptr, roPortrait));
        Tfrextprev window(d, table, printer, progress);
        window.show();
        EXPECT_EQ(window.labnotfitting->isVisible(), copies > 1);
        if (copies > 1) {
            EXPECT_TRUE(window.labnotfitting->text().contains(items.last().label));
            EXPECT_FALSE(window.labnotfitting->text().contains(items.first().label));
        }
    }
}

// Printing without any printer says so instead of doing nothing.
TEST_F(PreviewTest, PrintingWithoutAPrinterTellsTheUser) {
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a printer is installed";
    auto window = preview(5);
    seam.boxAnswers.enqueue(mrYes);
    EXPECT_FALSE(window->Print());
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(1713)});
    window->PrinterSetup(); // the page setup, too, has no printer to set up
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(1713), AppText(1713)}));
}

TEST_F(PreviewTest, OnePageReportDisablesNavigation) {
    auto window = preview(5);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Preview - Tellavo - Výpis"));
    EXPECT_EQ(window->PageCount(), 1);
    for (QToolButton *b : {window->spbfirst, window->spbprior, window->spbNext, window->spbLast})
        EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(window->spbgotopage->text(), QStringLiteral("&Strana: 1/1"));
    EXPECT_EQ(window->spbzoom->text(), QStringLiteral("Z&oom: 100% "));
    EXPECT_EQ(window->Pages()[0].texts.last().text, QStringLiteral("Strana 1/1"));
    EXPECT_EQ(progress.caption, CommonText(118));
    EXPECT_EQ(progress.texts,
              (QStringList{CommonText(119), QStringLiteral("Vytváří se strana 1")}));
    EXPECT_FALSE(progress.open);
}

TEST_F(PreviewTest, ZoomButtonsMenuAndCustomZoom) {
    auto window = preview(5);
    window->spbzoomout->click();
    EXPECT_EQ(window->Zoom(), 75);
    window->spbzoomin->click();
    window->spbzoomin->click();
    EXPECT_EQ(window->Zoom(), 125);
    for (const char *answer : {"250", "abc", "80"})
        seam.inputAnswers.enqueue(QString::fromLatin1(answer));
    window->CustomZoom();
    window->CustomZoom();
    EXPECT_EQ(window->Zoom(), 125);
    window->CustomZoom();
    EXPECT_EQ(window->Zoom(), 80);
    EXPECT_EQ(seam.inputs.first(), CommonText(125) + u'|' + CommonText(126));
    window->SetZoom(200);
    EXPECT_FALSE(window->spbzoomin->isEnabled());
    window->SetZoom(10);
    EXPECT_FALSE(window->spbzoomout->isEnabled());
    window->OptimalZoom();
    EXPECT_LT(window->view->height(), window->sb->viewport()->height());
}

TEST_F(PreviewTest, KeysAndClicksMoveThroughPages) {
    auto window = preview(300);
    ASSERT_GE(window->PageCount(), 3);
    const int last = window->PageCount();
    QScrollBar *v = window->sb->verticalScrollBar();
    ASSERT_GT(v->maximum(), 0);
    enum At { Top, Bottom, Middle };
    struct Case {
        const char *name;
        int page;
        At at;
        int key;
        Qt::KeyboardModifiers modifiers;
        int nextPage;
        At nextAt;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    const Case cases[] = {
        {"PgDn scrolls", 1, Top, Qt::Key_PageDown, none, 1, Middle},
        {"PgDn at the bottom turns", 1, Bottom, Qt::Key_PageDown, none, 2, Top},
        {"PgDn on the last page", last, Middle, Qt::Key_PageDown, ctrl, last, Bottom},
        {"Ctrl+PgDn", 1, Middle, Qt::Key_PageDown, ctrl, 2, Top},
        {"PgUp at the top turns back", 2, Top, Qt::Key_PageUp, none, 1, Bottom},
        {"Ctrl+PgUp", 3, Bottom, Qt::Key_PageUp, ctrl, 2, Top},
        {"Home", 2, Bottom, Qt::Key_Home, none, 2, Top},
        {"Ctrl+Home", 3, Bottom, Qt::Key_Home, ctrl, 1, Top},
        {"End", 2, Top, Qt::Key_End, none, 2, Bottom},
        {"Ctrl+End", 1, Top, Qt::Key_End, ctrl, last, Top},
        {"Up above the top", 2, Top, Qt::Key_Up, none, 1, Bottom},
        {"Down below the bottom", 1, Bottom, Qt::Key_Down, ctrl, 2, Top},
        {"Down on the last page", last, Bottom, Qt::Key_Down, none, last, Bottom},
        {"Shift is ignored", 1, Bottom, Qt::Key_PageDown, Qt::ShiftModifier, 1, Bottom},
        {"Alt+Ctrl is ignored", 1, Bottom, Qt::Key_Down, ctrl | Qt::AltModifier, 1, Bottom},
    };
    const auto place = [&](At at) {
        return at == Top ? v->minimum() : at == Bottom ? v->maximum() : v->maximum() / 2;
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        window->ShowPage(c.page);
        v->setValue(place(c.at));
        QTest::keyClick(window.get(), Qt::Key(c.key), c.modifiers);
        EXPECT_EQ(window->PageNumber(), c.nextPage);
        if (c.nextAt == Middle)
            EXPECT_TRUE(v->value() > v->minimum() && v->value() < v->maximum());
        else
            EXPECT_EQ(v->value(), place(c.nextAt));
    }
    window->ShowPage(2);
    QTest::keyClick(window.get(), Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(window->Zoom(), 125);
    QTest::keyClick(window.get(), Qt::Key_Minus, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ(window->Zoom(), 100);
    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_TRUE(window->spbrulers->isChecked());
    QTest::mouseClick(window->view, Qt::RightButton);
    EXPECT_EQ(window->PageNumber(), 3);
    QTest::mouseClick(window->view, Qt::LeftButton);
    QTest::mouseClick(window->view, Qt::LeftButton);
    QTest::mouseClick(window->view, Qt::LeftButton);
    EXPECT_EQ(window->PageNumber(), 1);
    seam.inputAnswers.enqueue(QStringLiteral("99"));
    QTest::keyClick(window.get(), Qt::Key_F3);
    EXPECT_EQ(seam.inputs.last(), CommonText(123) + QStringLiteral("|Strana (1 - %1):").arg(last));
    EXPECT_EQ(window->PageNumber(), last);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST(PrintDialog, RangesCopiesAndInputFilters) {
    SetLanguageIndex(LangCzech);
    Tfrextprd dialog(6);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), CommonText(80));
    EXPECT_EQ(dialog.labprinter->text(), CommonText(90));
    EXPECT_EQ(dialog.edselection->text(), QStringLiteral("1-6"));
    EXPECT_EQ(dialog.Pages(6), (QList<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_FALSE(dialog.edfrom->isEnabled());
    EXPECT_FALSE(dialog.edselection->isEnabled());

    dialog.rbselection->click();
    EXPECT_TRUE(dialog.edselection->isVisible() && dialog.edselection->isEnabled());
    EXPECT_FALSE(dialog.edfrom->isVisible());
    dialog.edselection->clear();
    QTest::keyClicks(dialog.edselection, QStringLiteral("1-2, x5"));
    EXPECT_EQ(dialog.edselection->text(), QStringLiteral("1-2,5")); // no blank, no letter
    EXPECT_EQ(dialog.Pages(6), (QList<int>{1, 2, 5}));

    dialog.rbpages->click();
    EXPECT_FALSE(dialog.edselection->isVisible());
    EXPECT_TRUE(dialog.edto->isEnabled());
    dialog.edfrom->setText(QStringLiteral("2"));
    dialog.edto->clear();
    EXPECT_EQ(dialog.Pages(6), (QList<int>{2, 3, 4, 5, 6}));
    dialog.edfrom->clear();
    QTest::keyClicks(dialog.edfrom, QStringLiteral("a4-"));
    EXPECT_EQ(dialog.edfrom->text(), QStringLiteral("4"));
    dialog.edcopies->clear();
    EXPECT_EQ(dialog.Copies(), 1);
    QTest::keyClicks(dialog.edcopies, QStringLiteral("x3"));
    EXPECT_EQ(dialog.Copies(), 3);
    dialog.SetPrinter(QStringLiteral("Laser"), QStringLiteral("usb://1"));
    EXPECT_EQ(dialog.labprinter->text(), QStringLiteral("Laser: usb://1"));
}

} // namespace
