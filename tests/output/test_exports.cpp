// The CSV and HTML writers: exact bytes of both formats, the item preparation, progress,
// restoring the table, failures and well-formed XML for any content.
#include "data/clienttable.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/formats/dboutputcsv.h"
#include "output/formats/dboutputhtml.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ExportTest : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        FillSample(table);
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    // The save dialog answers with this file.
    QString answer(const QString &name) {
        seam.fileAnswers.enqueue(path(name));
        return path(name);
    }

    ScriptedSeam seam;
    QTemporaryDir dir;
    TClientTable table;
    TRecordingProgress progress;
};

// A strict XML reader accepts the file (skipped when none is installed).
void ExpectWellFormed(const QString &file) {
    QByteArray output;
    if (!QStandardPaths::findExecutable(QStringLiteral("xmllint")).isEmpty()) {
        EXPECT_EQ(RunTool(QStringLiteral("xmllint"),
                          {QStringLiteral("--noout"), QStringLiteral("--nonet"), file}, &output),
                  0)
            << output.toStdString();
        EXPECT_TRUE(output.isEmpty()) << output.toStdString();
    }
    const QString python = PythonWith(QStringLiteral("xml.etree.ElementTree"));
    if (python.isEmpty())
        GTEST_SKIP() << "no XML reader installed";
    EXPECT_EQ(
        RunTool(python,
                {QStringLiteral("-c"),
                 QStringLiteral("import sys, xml.etree.ElementTree as E; E.parse(sys.argv[1])"),
                 file},
                &output),
        0)
        << output.toStdString();
}

TEST_F(ExportTest, CsvMatchesTheGoldenFile) {
    const QString file = answer(QStringLiteral("list"));
    seam.boxAnswers.enqueue(mrNo);
    ASSERT_TRUE(Tdboutput_csv(&progress).Execute(table, SampleItems(), true, true));
    // The default extension is added; Windows-1250, CR LF, ";" and "|" made ",", every line
    // break inside a value a blank; the first record begins with two empty values.
    const QByteArray bytes = ReadFileBytes(file + ".csv");
    OfferGolden(QStringLiteral("sample.csv"), bytes);
    EXPECT_EQ(bytes, Golden(QStringLiteral("sample.csv")));
    EXPECT_TRUE(bytes.split('\n').at(1).startsWith(";;"));
    ASSERT_EQ(seam.fileDialogs.size(), 1);
    EXPECT_EQ(seam.fileDialogs[0].caption, CommonText(42));
    EXPECT_EQ(seam.fileDialogs[0].filter, QStringLiteral("csv soubory (*.csv)"));
    EXPECT_EQ(seam.boxTexts(), QStringList{CommonText(68)});
    EXPECT_TRUE(seam.opened.isEmpty());
    EXPECT_EQ(progress.caption, CommonText(66));
    EXPECT_EQ(progress.closed, 1);
}

TEST_F(ExportTest, CsvWithoutHeaderOfAnEmptyTableIsEmptyAndOpensOnOk) {
    table.SetFilter(QStringLiteral("ID > 1000"));
    table.SetFiltered(true);
    const QString file = answer(QStringLiteral("empty.csv"));
    seam.boxAnswers.enqueue(mrYes);
    ASSERT_TRUE(Tdboutput_csv().Execute(table, SampleItems(), false, true));
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(ReadFileBytes(file).isEmpty());
    EXPECT_EQ(seam.opened, QStringList{file});
}

TEST_F(ExportTest, HtmlMatchesTheGoldenFileAndIsWellFormed) {
    const QString file = answer(QStringLiteral("list.html"));
    // Title and filter text carry markup characters: they are escaped like the cells.
    ASSERT_TRUE(Tdboutput_html(&progress).Execute(
        table, SampleItems(), QStringLiteral("Orders <2026> & co"),
        QStringLiteral("Stav: <zaplaceno>\r\nKurz: A & B"), true, true, false));
    const QByteArray bytes = ReadFileBytes(file);
    OfferGolden(QStringLiteral("sample.html"), bytes);
    EXPECT_EQ(bytes, Golden(QStringLiteral("sample.html")));
    EXPECT_EQ(progress.caption, CommonText(140));
    EXPECT_TRUE(seam.boxes.isEmpty());
    ExpectWellFormed(file);
}

TEST_F(ExportTest, HtmlSumLineAndCountFollowTheItems) {
    struct Case {
        const char *name;
        QList<bool> summed;
        bool filtered;
        QStringList present, absent;
    };
    const QString rule = QStringLiteral("<tr><td colspan=\"3\"><hr/></td></tr>");
    const QList<Case> cases = {
        {"no sums",
         {false, false, false},
         false,
         {QStringLiteral("3</div>")},
         {QStringLiteral("font-weight:bold;\">")}},
        {"first summed",
         {true, false, false},
         false,
         {QStringLiteral("<td class=\"rt\">356</td><td class=\"rt\">&#160;</td>")},
         {QStringLiteral("Součty:")}},
        {"second summed",
         {false, true, false},
         false,
         {QStringLiteral("<td class=\"rt\">Součty:&#160;</td><td class=\"rt\">1 234,00</td>")},
         {}},
        {"empty table",
         {false, true, true},
         true,
         {QStringLiteral("<td class=\"rt\">0,00</td>"), QStringLiteral("</strong>0</div>")},
         {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        table.SetFilter(QStringLiteral("ID > 1000"));
        table.SetFiltered(c.filtered);
        Tdboutputsfields items = SampleItems().mid(2, 3); // ID, PRICE, AMOUNT
        for (int i = 0; i < 3; ++i)
            items[i].summed = c.summed[i];
        const QString file = answer(QString::fromLatin1(c.name) + ".html");
        ASSERT_TRUE(Tdboutput_html().Execute(table, items, QStringLiteral("T"), QString(), false,
                                             true, false));
        QString html = QString::fromUtf8(ReadFileBytes(file));
        html.replace(QChar(0x00A0), u' ');
        const bool anySum = c.summed.contains(true);
        EXPECT_EQ(html.count(rule), anySum ? 2 : 1);
        for (const QString &text : c.present)
            EXPECT_TRUE(html.contains(text)) << text.toStdString();
        for (const QString &text : c.absent)
            EXPECT_FALSE(html.contains(text)) << text.toStdString();
    }
}

TEST_F(ExportTest, ProgressEveryFiveHundredRecordsAndGroupedCount) {
    FillRows(table, 1234);
    const QString file = answer(QStringLiteral("big.html"));
    Tdboutputsfields items = {Tdboutputsfield{QStringLiteral("ID"), -1, QString(), 0, false}};
    ASSERT_TRUE(Tdboutput_html(&progress).Execute(table, items, QStringLiteral("T"), QString(),
                                                  false, true, false));
    EXPECT_EQ(progress.texts,
              (QStringList{CommonText(67), QStringLiteral("Vyexportováno 500 záznamů"),
                           QStringLiteral("Vyexportováno 1000 záznamů")}));
    // Czech groups thousands with a (no-break) space.
    EXPECT_TRUE(ReadFileBytes(file).contains(QStringLiteral("</strong>1\u00A0234</div>").toUtf8()));
}

TEST_F(ExportTest, PreparationCompletesItemsAndAnEmptyListMeansEveryField) {
    Tdboutputsfields all;
    Tdboutputs::PrepareItems(table, all);
    ASSERT_EQ(all.size(), table.FieldCount());
    EXPECT_EQ(all[1].name, QStringLiteral("NAME"));
    EXPECT_EQ(all[1].index, 1);
    EXPECT_EQ(all[1].label, QStringLiteral("NAME"));
    EXPECT_GT(all[1].width, 0);
    EXPECT_FALSE(all[3].summed);

    Tdboutputsfields byIndex = {
        Tdboutputsfield{QString(), 3, QString(), 0, false},
        Tdboutputsfield{QStringLiteral("price"), -1, QStringLiteral("C"), 7, true}};
    Tdboutputs::PrepareItems(table, byIndex);
    EXPECT_EQ(byIndex[0].name, QStringLiteral("PRICE"));
    EXPECT_EQ(byIndex[1].index, 3);
    EXPECT_EQ(byIndex[1].label, QStringLiteral("C"));
    EXPECT_EQ(byIndex[1].width, 7);
}

TEST_F(ExportTest, UnknownFieldFailsBeforeAnythingIsWritten) {
    const QString file = answer(QStringLiteral("unknown.csv"));
    Tdboutputsfields items = {Tdboutputsfield{QStringLiteral("NOSUCH"), -1, QString(), 0, false}};
    EXPECT_THROW(Tdboutput_csv(&progress).Execute(table, items, true, true), AppError);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(progress.opened, 0);
}

TEST_F(ExportTest, CancelledDialogChangesNothing) {
    seam.fileAnswers.enqueue(QString());
    EXPECT_FALSE(Tdboutput_html(&progress).Execute(table, {}, QStringLiteral("T"), QString(), true,
                                                   true, true));
    EXPECT_EQ(progress.opened, 0);
    EXPECT_TRUE(seam.boxes.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(ExportTest, FailedFileIsReportedAndEverythingIsRestored) {
    table.SetRecNo(2);
    int scrolls = 0;
    table.AfterScroll = [&scrolls](TClientTable &) { ++scrolls; };
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.csv")));
    for (const QString &target :
         {path(QStringLiteral("missing/x.csv")), path(QStringLiteral("folder.csv"))}) {
        SCOPED_TRACE(target.toStdString());
        seam.fileAnswers.enqueue(target);
        try {
            Tdboutput_csv(&progress).Execute(table, SampleItems(), true, true);
            ADD_FAILURE() << "no error";
        } catch (const AppError &error) {
            EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(target)));
        }
        EXPECT_FALSE(progress.open);
        EXPECT_EQ(table.RecNo(), 2);
        EXPECT_FALSE(table.ControlsDisabled());
        ASSERT_TRUE(table.AfterScroll);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("folder.csv")});
    EXPECT_TRUE(seam.boxes.isEmpty());
    table.Next();
    EXPECT_EQ(scrolls, 1);
}

// Hostile values: a leading quote, formulas, characters outside the code page, control
// characters. Each encoding is read back with Python's csv reader, record for record.
class HostileExportTest : public ExportTest {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        QList<QList<TValue>> rows;
        for (int i = 0; i < int(std::size(kValues)); ++i)
            rows.append({TValue::FromInteger(-i), TValue::FromText(QString::fromUtf8(kValues[i])),
                         TValue::FromFloat(-1.5)});
        LoadRows(table,
                 {MakeField(QStringLiteral("ID"), TFieldType::I4), memoField(QStringLiteral("NAME")),
                  MakeField(QStringLiteral("PRICE"), TFieldType::R8)},
                 rows);
    }
    static constexpr const char *kValues[] = {
        "\"Quoted\" start", "=HYPERLINK(\"http://x.example\",\"klik\")", "+420 123",
        "-jen text", "@SUM(A1)", "Žofie \"Ω\" ☃ 😀", "a\vb\x01" "c", "\"", "plain"};
};

TEST_F(HostileExportTest, CsvReadsBackRecordForRecordInBothEncodings) {
    const QString python = PythonWith(QStringLiteral("csv"));
    if (python.isEmpty())
        GTEST_SKIP() << "no Python";
    // The text each value must read back as: formulas stay text with an apostrophe in front,
    // characters outside Windows-1250 become "?" there; numbers keep their minus sign.
    const QStringList windows = {
        "\"Quoted\" start", "'=HYPERLINK(\"http://x.example\",\"klik\")", "'+420 123",
        "'-jen text", "'@SUM(A1)", "Žofie \"?\" ? ?", "a\vb\x01" "c", "\"", "plain"};
    struct Case {
        int encoding;
        const char *pythonEncoding;
        bool warned;
    };
    for (const Case c : {Case{ceWindows1250, "cp1250", true}, Case{ceUtf8Bom, "utf-8-sig", false}}) {
        SCOPED_TRACE(c.pythonEncoding);
        seam.boxes.clear();
        const QString file = answer(QStringLiteral("hostile-%1.csv").arg(c.encoding));
        ASSERT_TRUE(Tdboutput_csv().Execute(table, {}, true, false, c.encoding));
        const QByteArray bytes = ReadFileBytes(file);
        EXPECT_EQ(bytes.startsWith("\xEF\xBB\xBF"), c.encoding == ceUtf8Bom);
        EXPECT_FALSE(bytes.contains('\x1A'));
        QByteArray output;
        ASSERT_EQ(RunTool(python,
                          {QStringLiteral("-c"),
                           QStringLiteral("import sys, csv\n"
                                          "rows = list(csv.reader(open(sys.argv[1], newline='', "
                                          "encoding=sys.argv[2]), delimiter=';'))\n"
                                          "for r in rows: print(len(r), *r, sep='|')\n"),
                           file, QString::fromLatin1(c.pythonEncoding)},
                          &output),
                  0)
            << output.toStdString();
        const QStringList lines = QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
        const QString price = table.FieldByName(QStringLiteral("PRICE")).AsString();
        EXPECT_TRUE(price.startsWith(u'-')) << "a number keeps its sign, unguarded";
        ASSERT_EQ(lines.size(), int(std::size(kValues)) + 1);
        EXPECT_EQ(lines[0], QStringLiteral("3|ID|NAME|PRICE"));
        for (int i = 0; i < int(std::size(kValues)); ++i) {
            const QString name =
                c.encoding == ceUtf8Bom && i == 5 ? QString::fromUtf8(kValues[i]) : windows[i];
            const QString expected = QStringLiteral("3|%1|").arg(-i) + name + u'|' + price;
            EXPECT_EQ(lines[i + 1], expected);
        }
        // The user is told which values lost characters, only where they did.
        if (c.warned) {
            ASSERT_EQ(seam.boxTexts().size(), 1);
            EXPECT_EQ(seam.boxTexts()[0], FormatText(AppText(1717), {"Windows-1250", 1, 6}));
        } else {
            EXPECT_TRUE(seam.boxes.isEmpty());
        }
    }
}

TEST_F(HostileExportTest, HtmlWithControlCharactersIsWellFormed) {
    const QString file = answer(QStringLiteral("hostile.html"));
    ASSERT_TRUE(Tdboutput_html().Execute(table, {}, QStringLiteral("T\x01\v"), QString(), false,
                                         true, false));
    ExpectWellFormed(file);
    const QString html = QString::fromUtf8(ReadFileBytes(file));
    EXPECT_TRUE(html.contains(QStringLiteral("<td>a bc</td>")));
    EXPECT_TRUE(html.contains(QStringLiteral("Žofie &quot;Ω&quot; ☃ 😀")));
}

TEST_F(ExportTest, LargeHtmlExportIsWellFormed) {
    FillRows(table, 100000);
    const QString file = answer(QStringLiteral("large.html"));
    Tdboutputsfields items;
    ASSERT_TRUE(Tdboutput_html().Execute(table, items, QStringLiteral("Rozvrh"), QString(), true,
                                         true, false));
    ExpectWellFormed(file);
}

} // namespace
