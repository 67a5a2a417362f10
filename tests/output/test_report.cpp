// The report layout model, its byte form, page generation, zoom steps and page selections.
#include "data/clienttable.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "output/dboutputs.h"
#include "output/outputtexts.h"
#include "output/report/columnfit.h"
#include "output/report/pageselection.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpages.h"
#include "output/report/zoomsteps.h"
#include "outputfixture.h"
#include "qtprinters.h"

#include <cmath>
#include <tuple>
#include <gtest/gtest.h>

namespace {

constexpr double kLine = 0.16, kBold = 0.17;

class ReportLayout : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        FillSample(table);
        items = SampleItems().mid(2, 3); // ID (summed), PRICE (summed), AMOUNT
        Tdboutputs::PrepareItems(table, items);
        media.lineHeight = kLine;
        media.boldLineHeight = kBold;
        media.unprintableLeft = 0.1;
        media.unprintableTop = 0.4;
        request.name = QStringLiteral("Tellavo - Výpis");
        request.title = QStringLiteral("Výpis");
        request.now = QDateTime(QDate(2026, 1, 15), QTime(10, 0));
        request.timeStamp = false;
    }
    TReportDefinition build() { return BuildReportDefinition(table, items, request, media); }
    static const TReportText *find(const TReportBand &band, const QString &text) {
        for (const TReportText &t : band.texts)
            if (t.text == text)
                return &t;
        return nullptr;
    }

    TClientTable table;
    Tdboutputsfields items;
    TReportMedia media;
    TReportRequest request;
};

TEST_F(ReportLayout, PageMarginsBodyAndPageNumber) {
    const TReportDefinition d = build();
    EXPECT_DOUBLE_EQ(d.marginLeft, 0.25);
    EXPECT_DOUBLE_EQ(d.marginTop, 0.4);
    EXPECT_DOUBLE_EQ(d.BodyWidth(), 8.27 - 0.5);
    EXPECT_DOUBLE_EQ(d.BodyHeight(), 11.69 - (0.4 + 0.25 + 0.3));
    EXPECT_EQ(d.pageNumber.kind, TReportTextKind::PageNumber);
    EXPECT_EQ(d.pageNumber.text, CommonText(58));
    EXPECT_DOUBLE_EQ(d.pageNumber.top, 11.69 - 0.25 - 0.25);
    EXPECT_EQ(d.pageNumber.alignment, TOutputAlignment::Center);
}

TEST_F(ReportLayout, TitleBlockGrowsWithTimeStampAndFilterLines) {
    EXPECT_DOUBLE_EQ(build().Band(TReportBandKind::Title)->height, 0.35);
    EXPECT_EQ(build().Band(TReportBandKind::Title)->texts.size(), 1);

    request.filterText = QStringLiteral("Stav: zaplaceno\r\nKurz: Angličtina\r\nLektor: Novák");
    TReportBand title = *build().Band(TReportBandKind::Title);
    ASSERT_EQ(title.texts.size(), 4);
    EXPECT_TRUE(title.texts[0].bold && title.texts[0].underline);
    EXPECT_DOUBLE_EQ(title.texts[0].top, 0.01);
    const double first = 2 * kBold + 0.01;
    for (int i = 1; i <= 3; ++i) {
        EXPECT_DOUBLE_EQ(title.texts[i].top, first + (i - 1) * (kLine + 0.01));
        EXPECT_EQ(title.texts[i].alignment, TOutputAlignment::Left);
        EXPECT_FALSE(title.texts[i].bold);
    }
    EXPECT_DOUBLE_EQ(title.height, 0.35 + title.texts[3].top);

    request.filterText.clear();
    request.timeStamp = true;
    title = *build().Band(TReportBandKind::Title);
    ASSERT_EQ(title.texts.size(), 2);
    EXPECT_EQ(title.texts[1].text, QStringLiteral("Výpis vytvořen: 15.1.2026 10:00:00"));
}

TEST_F(ReportLayout, ColumnsHeaderRowsAndSumBlock) {
    const TReportDefinition d = build();
    const TReportBand &header = *d.Band(TReportBandKind::PageHeader);
    ASSERT_EQ(header.texts.size(), 3);
    // 50 px at 96 dpi are 0.651 in; the next column starts 0.08 after it.
    EXPECT_DOUBLE_EQ(header.texts[0].width, 50 * 10.0 / (8 * 96));
    EXPECT_DOUBLE_EQ(header.texts[1].left, header.texts[0].width + 0.08);
    EXPECT_EQ(header.texts[1].alignment, TOutputAlignment::Right);
    const double total = header.texts[2].left + header.texts[2].width;
    ASSERT_EQ(header.lines.size(), 1);
    EXPECT_DOUBLE_EQ(header.lines[0].top, 0.19);
    EXPECT_DOUBLE_EQ(header.lines[0].width, total);
    EXPECT_DOUBLE_EQ(header.lines[0].points, 2);
    EXPECT_DOUBLE_EQ(d.Band(TReportBandKind::Detail)->height, 0.01 + kLine);

    struct Case {
        bool summed;
        double countTop;
    };
    for (const Case c : {Case{true, 0.3}, Case{false, 0.15}}) {
        items[0].summed = items[1].summed = c.summed;
        const TReportBand summary = *build().Band(TReportBandKind::Summary);
        EXPECT_DOUBLE_EQ(summary.height, 0.5);
        const TReportText *sums = find(summary, CommonText(60));
        EXPECT_EQ(sums != nullptr, c.summed);
        if (sums) {
            EXPECT_DOUBLE_EQ(sums->left, 0);
        }
        const TReportText *count = find(summary, CommonText(61));
        ASSERT_TRUE(count);
        EXPECT_DOUBLE_EQ(count->top, c.countTop);
        EXPECT_DOUBLE_EQ(count->width, 1.05);
        EXPECT_EQ(summary.texts.last().kind, TReportTextKind::RecordCount);
        EXPECT_DOUBLE_EQ(summary.texts.last().left, 1.15);
    }
}

TEST_F(ReportLayout, DefinitionTravelsAsBytes) {
    request.filterText = QStringLiteral("Stav: <zaplaceno>");
    const TReportDefinition d = build();
    const TReportDefinition back = TReportDefinition::Load(d.Save());
    EXPECT_EQ(back.Save(), d.Save());
    EXPECT_EQ(back.bands.size(), 4);
    EXPECT_EQ(back.Band(TReportBandKind::Title)->texts[1].text, request.filterText);
    QByteArray damaged = d.Save();
    damaged.truncate(damaged.size() / 2);
    EXPECT_THROW(TReportDefinition::Load(damaged), AppError);
    EXPECT_THROW(TReportDefinition::Load(QByteArray("x")), AppError);
}

TEST_F(ReportLayout, PagesRepeatTheHeaderAndEndWithSumsAndCount) {
    struct Case {
        int rows, pages;
    };
    const TReportDefinition d = build();
    const double body = d.BodyHeight();
    const int perFirst = int((body - 0.35 - 0.2) / (0.01 + kLine));
    for (const Case c : {Case{1, 1}, Case{perFirst, 2}, Case{perFirst + 40, 2}}) {
        SCOPED_TRACE(c.rows);
        FillRows(table, c.rows);
        Tdboutputsfields list = {
            Tdboutputsfield{QStringLiteral("ID"), -1, QStringLiteral("Číslo"), 50, true}};
        Tdboutputs::PrepareItems(table, list);
        table.SetRecNo(1);
        QList<int> begun;
        const QList<TReportPage> pages =
            GenerateReportPages(BuildReportDefinition(table, list, request, media), table, kLine,
                                [&](int page) { begun.append(page); });
        ASSERT_EQ(pages.size(), c.pages);
        EXPECT_EQ(begun.size(), c.pages);
        EXPECT_EQ(table.RecNo(), 1);
        for (int p = 0; p < c.pages; ++p) {
            QStringList texts;
            for (const TPageText &t : pages[p].texts)
                texts.append(t.text);
            EXPECT_TRUE(texts.contains(QStringLiteral("Číslo")));
            EXPECT_EQ(texts.last(), QStringLiteral("Strana %1/%2").arg(p + 1).arg(c.pages));
            // Everything but the page number stays inside the body.
            for (const TPageText &t : pages[p].texts.mid(0, pages[p].texts.size() - 1))
                EXPECT_LE(t.top + t.height, d.BodyTop() + body + 1e-9) << t.text.toStdString();
        }
        QStringList last;
        for (const TPageText &t : pages.last().texts)
            last.append(t.text);
        const qint64 sum = qint64(c.rows) * (c.rows + 1) / 2;
        EXPECT_TRUE(last.contains(FormatCount(c.rows)));
        EXPECT_TRUE(last.contains(FormatCount(sum)));
    }
}

TEST(ColumnFit, NarrowsToMinimumsThenLeavesColumnsOut) {
    struct Case {
        const char *name;
        QList<TColumnNeed> needs;
        double body;
        QList<double> widths; // 0: left out
    };
    const Case cases[] = {
        {"fits as it is", {{"a", 1, 0.5}, {"b", 2, 1}}, 4, {1, 2}},
        {"a number wider than its column widens it", {{"a", 0.5, 0.9}, {"b", 1, 0.5}}, 4, {0.9, 1}},
        // 1 in too wide (gap 0.1): each column gives up its share of what it has above the least.
        {"narrowed in proportion", {{"a", 2, 1}, {"b", 3, 1}, {"n", 1, 1}}, 5.2, {1.6667, 2.3333, 1}},
        {"at the least the last one is left out", {{"a", 2, 1}, {"b", 2, 1}, {"c", 2, 1}}, 2.5,
         {1, 1, 0}},
        {"nothing fits", {{"a", 3, 3}}, 2, {0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<TColumnPlace> places = FitColumns(c.needs, c.body, 0.1);
        ASSERT_EQ(places.size(), c.widths.size());
        double right = 0;
        for (qsizetype i = 0; i < places.size(); ++i) {
            EXPECT_NEAR(places[i].width, c.widths[i], 1e-4);
            EXPECT_EQ(places[i].placed, c.widths[i] > 0);
            if (places[i].placed) {
                EXPECT_GE(places[i].left, right - 1e-9);
                right = places[i].left + places[i].width + 0.1;
                EXPECT_LE(places[i].left + places[i].width, c.body + 1e-9);
            }
        }
    }
}

// A wide list with large sums, measured with a font of fixed-width letters: every column on
// the page, no number or sum wider than its column, headings and long texts wrapped, and a
// list too wide even then names the columns it leaves out.
TEST_F(ReportLayout, WideListsFitTheBodyWithWholeNumbers) {
    const auto width = [](const QString &text, bool bold) {
        return text.size() * (bold ? 0.08 : 0.07);
    };
    media.textWidth = width;
    media.lineCount = [width](const QString &text, double inches, bool bold) {
        return std::max(1, int(std::ceil(width(text, bold) / inches - 1e-9)));
    };
    table.CreateDataSet({MakeField(QStringLiteral("AMOUNT"), TFieldType::R8),
                         MakeField(QStringLiteral("NAME"), TFieldType::String, 200),
                         MakeField(QStringLiteral("HOURS"), TFieldType::R8)});
    for (int i = 0; i < 30; ++i)
        table.AppendRecord({TValue::FromFloat(10220896.67), TValue::FromText(
                                QStringLiteral("Zaplacená a vyfakturovaná objednávka %1 ").arg(i).repeated(3)),
                            TValue::FromFloat(56.47)});
    table.MergeChangeLog();
    table.FieldDef(0).displayFormat = QStringLiteral("#,##0.00");
    table.FieldDef(2).displayFormat = QStringLiteral("#,##0.00");
    table.First();
    items.clear();
    // The program's own 80 px amount column, a wide text column and a narrow number column.
    for (const auto &[name, label, pixels] :
         {std::tuple{"AMOUNT", "Částka objednávky", 80}, {"NAME", "Stav", 900},
          {"HOURS", "Hodiny", 30}}) {
        items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString::fromUtf8(label),
                                     pixels, true});
    }
    items[1].summed = false;
    Tdboutputs::PrepareItems(table, items);
    const TReportDefinition d = build();
    EXPECT_TRUE(d.notFitting.isEmpty());
    const TReportBand &header = *d.Band(TReportBandKind::PageHeader);
    ASSERT_EQ(header.texts.size(), 3);
    const TReportText &last = header.texts.last();
    EXPECT_LE(last.left + last.width, d.BodyWidth() + 1e-9);
    // "Částka objednávky" takes two lines: the header grows, its rule stays under it.
    EXPECT_NEAR(header.height, 0.2 + kBold, 1e-9);
    EXPECT_NEAR(header.lines[0].top, header.height - 0.01, 1e-9);
    const QList<TReportPage> pages =
        GenerateReportPages(d, table, kLine, {}, media.lineCount);
    int wrapped = 0;
    for (const TReportPage &page : pages)
        for (const TPageText &t : page.texts) {
            if (t.text.contains(u',')) { // every number and sum
                EXPECT_FALSE(t.wrap) << t.text.toStdString();
                EXPECT_LE(width(t.text, t.bold), t.width + 1e-9) << t.text.toStdString();
            }
            wrapped += t.wrap && t.height > kLine ? 1 : 0;
        }
    QString sums;
    for (const TPageText &t : pages.last().texts)
        sums += t.text + u'|';
    sums.replace(QChar(0x00A0), u' ');
    EXPECT_TRUE(sums.contains(QStringLiteral("306 626 900,10|"))) << sums.toStdString();
    EXPECT_TRUE(sums.contains(QStringLiteral("|1 694,10|"))) << sums.toStdString();
    EXPECT_GT(wrapped, 0); // the long state texts go on over two lines

    // Many more columns than the body can take even narrowed: the last ones are left out.
    for (int i = 0; i < 12; ++i)
        items.append(items[0]);
    const TReportDefinition crowded = build();
    EXPECT_FALSE(crowded.notFitting.isEmpty());
    EXPECT_EQ(crowded.notFitting.size() + crowded.Band(TReportBandKind::PageHeader)->texts.size(),
              items.size());
}

TEST(PreviewRules, ZoomSteps) {
    const int out[][2] = {{100, 75}, {30, 25}, {25, 10}, {10, 10}, {200, 175}, {51, 50}};
    for (const auto &c : out)
        EXPECT_EQ(ZoomOutStep(c[0]), c[1]) << c[0];
    const int in[][2] = {{110, 125}, {190, 200}, {200, 200}, {10, 25}, {25, 50}};
    for (const auto &c : in)
        EXPECT_EQ(ZoomInStep(c[0]), c[1]) << c[0];
    EXPECT_EQ(ClampZoom(250), 200);
    EXPECT_EQ(ClampZoom(5), 10);
}

TEST(PreviewRules, PageSelections) {
    struct Case {
        const char *text;
        QList<int> pages;
    };
    const Case cases[] = {{"1-3,5", {1, 2, 3, 5}},
                          {"4-", {4, 5, 6}},
                          {"-2", {1, 2}},
                          {"2,2,9", {2, 2}},
                          {"", {}},
                          {"x,3", {3}},
                          {"5-3", {}},
                          {"1-99", {1, 2, 3, 4, 5, 6}}};
    for (const Case &c : cases)
        EXPECT_EQ(ParsePageSelection(QString::fromLatin1(c.text), 6), c.pages) << c.text;
}

} // namespace
