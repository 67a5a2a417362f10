// Printing for real: a preview printed through a private print server whose queue keeps the
// program's own PDF, read back with a PDF reader.
#include "cupsserver.h"
#include "data/clienttable.h"
#include "lang/texts.h"
#include "output/report/dboutputprint.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpainter.h"
#include "output/report/tfrextprd.h"
#include "output/report/tfrextprev.h"
#include "outputfixture.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Presses OK in the print dialog as soon as it shows.
void acceptPrintDialog() {
    QTimer::singleShot(20, [] {
        if (auto *dialog = qobject_cast<Tfrextprd *>(QApplication::activeModalWidget()))
            dialog->btnok->click();
        else
            acceptPrintDialog();
    });
}

struct PdfPages {
    int count = 0;
    double width = 0, height = 0; // of the first page, in points
};

PdfPages readPages(const QString &file) {
    QByteArray info;
    PdfPages pages;
    if (RunTool(QStringLiteral("pdfinfo"), {file}, &info) != 0)
        return pages;
    const QString text = QString::fromUtf8(info);
    pages.count = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text).captured(1).toInt();
    const auto size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)")).match(text);
    pages.width = size.captured(1).toDouble();
    pages.height = size.captured(2).toDouble();
    return pages;
}

class Printing : public testing::Test {
protected:
    static void SetUpTestSuite() {
        server = new CupsServer;
        QString why;
        started = server->start(&why);
        reason = why;
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }
    void SetUp() override {
        if (!started)
            GTEST_SKIP() << reason.toStdString();
        SetLanguageIndex(LangCzech);
    }

    static inline CupsServer *server = nullptr;
    static inline bool started = false;
    static inline QString reason;
    ScriptedSeam seam;
    TClientTable table;
    TRecordingProgress progress;
};

} // namespace

TEST_F(Printing, PrintsThePreviewsPagesOnItsPaperInItsOrientation) {
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(server->queue()));
    FillRows(table, 120);
    for (const int orientation : {roPortrait, roLandscape}) {
        SCOPED_TRACE(orientation);
        QFile::remove(server->printedFile());
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(server->queue());
        // A printer whose own default is the other way round must not turn the report.
        printer.setPageOrientation(orientation == roLandscape ? QPageLayout::Portrait
                                                              : QPageLayout::Landscape);
        Tdboutputsfields items;
        for (const char *name : {"ID", "NAME", "HOURS"})
            items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString(), 80, false});
        Tdboutputs::PrepareItems(table, items);
        TReportRequest request;
        request.name = QStringLiteral("Tellavo - Výpis");
        request.title = QStringLiteral("Výpis žáků");
        const TReportDefinition d =
            BuildReportDefinition(table, items, request, ReportMediaFor(nullptr, orientation));
        Tfrextprev window(d, table, printer, progress);
        window.show();
        window.GeneratePages();
        acceptPrintDialog();
        ASSERT_TRUE(window.Print()) << seam.boxTexts().join(u'|').toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(server->printedFile()); }, 30000));
        const PdfPages pages = readPages(server->printedFile());
        EXPECT_EQ(pages.count, window.PageCount());
        EXPECT_EQ(pages.width > pages.height, orientation == roLandscape)
            << pages.width << " x " << pages.height;
        // A4 either way round.
        EXPECT_NEAR(qMin(pages.width, pages.height), 595.3, 2.0);
        EXPECT_NEAR(qMax(pages.width, pages.height), 841.9, 2.0);
        QByteArray text;
        ASSERT_EQ(RunTool(QStringLiteral("pdftotext"), {server->printedFile(), QStringLiteral("-")},
                          &text),
                  0);
        EXPECT_TRUE(QString::fromUtf8(text).contains(u"Výpis žáků"));
        EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
    }
}
