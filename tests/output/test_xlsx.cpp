// The xlsx export read back with openpyxl: types and values of every cell with hostile
// texts, the heading lines, the frozen bold header, the autofilter, widths and sums.
#include "data/clienttable.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "output/formats/dboutputxlsx.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Prints the sheet: one line per cell (row|column|type|value), then the sheet's settings.
const char *const kReader = R"(import sys, re, datetime, openpyxl
wb = openpyxl.load_workbook(sys.argv[1])
ws = wb.active
for row in ws.iter_rows():
    for c in row:
        if c.value is None: continue
        v = c.value
        # Control characters travel as _xHHHH_ (the format's own escape), which openpyxl
        # leaves to the reader.
        if isinstance(v, str): v = re.sub('_x([0-9A-F]{4})_', lambda m: chr(int(m[1], 16)), v)
        if hasattr(v, 'isoformat'):
            v = (v + datetime.timedelta(microseconds=500000)).replace(microsecond=0).isoformat()
        print(c.row, c.column, type(c.value).__name__, repr(v) if isinstance(c.value, str) else v,
              c.number_format, int(bool(c.font.b)), sep='|')
print('freeze', ws.freeze_panes)
print('filter', ws.auto_filter.ref)
print('width', int(ws.column_dimensions['B'].width))
print('rows', ws.max_row)
)";

class XlsxTest : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        python = PythonWith(QStringLiteral("openpyxl"));
        if (python.isEmpty())
            GTEST_SKIP() << "python3-openpyxl is not installed (scripts/install-deps)";
    }
    // Writes the table and gives the reader's lines.
    QStringList writeAndRead(TClientTable &table, const Tdboutputsfields &items,
                             const QString &title, const QString &filter) {
        const QString file = dir.filePath(QStringLiteral("list.xlsx"));
        seam.fileAnswers.enqueue(dir.filePath(QStringLiteral("list")));
        EXPECT_TRUE(Tdboutput_xlsx(&progress).Execute(table, items, true, title, filter, true,
                                                      true, false));
        QByteArray output;
        EXPECT_EQ(RunTool(python, {QStringLiteral("-c"), QString::fromUtf8(kReader), file},
                          &output),
                  0)
            << output.toStdString();
        return QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
    }

    QString python;
    ScriptedSeam seam;
    QTemporaryDir dir;
    TRecordingProgress progress;
};

TEST_F(XlsxTest, TypesValuesAndLayoutReadBack) {
    QList<TFieldDef> fields = {MakeField(QStringLiteral("ID"), TFieldType::I4),
                               memoField(QStringLiteral("NAME")),
                               MakeField(QStringLiteral("PRICE"), TFieldType::R8),
                               MakeField(QStringLiteral("BORN"), TFieldType::Date),
                               MakeField(QStringLiteral("WHENHOUR"), TFieldType::DateTime),
                               MakeField(QStringLiteral("ACTIVE"), TFieldType::Boolean)};
    fields[2].subtype = QStringLiteral("Money");
    const QStringList names = {
        QStringLiteral("=HYPERLINK(\"http://x.example\",\"klik\")"), QStringLiteral("\"Quoted"),
        QStringLiteral("Žofie Ω ☃ 😀"), QStringLiteral("+420; 123|x"),
        QStringLiteral("dva\r\nřádky"), QStringLiteral("a\x01" "b\vc\tTab")};
    QList<QList<TValue>> rows;
    for (int i = 0; i < names.size(); ++i)
        rows.append({TValue::FromInteger(i - 1), TValue::FromText(names[i]),
                     TValue::FromFloat(1234.5 * i + 0.3),
                     TValue::FromDate(QDate(2001, 12, 31).addDays(i)),
                     TValue::FromDateTime(QDateTime(QDate(2026, 3, 29), QTime(2, 30 + i))),
                     TValue::FromBool(i % 2 == 0)});
    rows.append({TValue(), TValue(), TValue(), TValue(), TValue(), TValue()});
    TClientTable table;
    LoadRows(table, fields, rows);
    Tdboutputsfields items;
    for (const char *name : {"ID", "NAME", "PRICE", "BORN", "WHENHOUR", "ACTIVE"})
        items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString::fromLatin1(name),
                                     140, QByteArray(name) == "PRICE"});
    const QStringList lines = writeAndRead(table, items, QStringLiteral("Seznam <=1+1>"),
                                           QStringLiteral("Stav: vše\r\nKurz: =A1"));
    const auto cell = [&lines](int row, int column) {
        const QString prefix = QStringLiteral("%1|%2|").arg(row).arg(column);
        for (const QString &line : lines)
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        return QString();
    };
    // Title, time stamp and the two filter lines, an empty row, the bold header on row 6.
    EXPECT_EQ(cell(1, 1), QStringLiteral("str|'Seznam <=1+1>'|General|1"));
    EXPECT_TRUE(cell(2, 1).startsWith(QStringLiteral("str|'Výpis vytvořen: ")));
    EXPECT_EQ(cell(4, 1), QStringLiteral("str|'Kurz: =A1'|General|0"));
    EXPECT_EQ(cell(6, 2), QStringLiteral("str|'NAME'|General|1"));
    // Every value as what it is; texts never as formulas.
    for (int i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        const int row = 7 + i;
        EXPECT_EQ(cell(row, 1), QStringLiteral("int|%1|0|0").arg(i - 1));
        QString expected = names[i];
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const QString repr = cell(row, 2).section(u'|', 1, -3);
        EXPECT_EQ(cell(row, 2).section(u'|', 0, 0), QStringLiteral("str"));
        QByteArray evaluated;
        RunTool(python, {QStringLiteral("-c"), QStringLiteral("import sys; print(eval(sys.argv[1]))"),
                         repr}, &evaluated);
        EXPECT_EQ(QString::fromUtf8(evaluated).chopped(1), expected);
        EXPECT_EQ(cell(row, 3).section(u'|', 0, 2),
                  QStringLiteral("float|%1|#,##0.00").arg(1234.5 * i + 0.3));
        EXPECT_EQ(cell(row, 4),
                  QStringLiteral("datetime|%1T00:00:00|d.m.yyyy|0")
                      .arg(QDate(2001, 12, 31).addDays(i).toString(Qt::ISODate)));
        EXPECT_EQ(cell(row, 5), QStringLiteral("datetime|2026-03-29T02:%1:00|d.m.yyyy h:mm:ss|0")
                                    .arg(30 + i));
    }
    EXPECT_EQ(cell(13, 1), QString()); // an empty record leaves empty cells
    // The sum below the table, the count under it.
    EXPECT_EQ(cell(14, 1), QStringLiteral("str|'Součty:'|General|1"));
    EXPECT_EQ(cell(14, 3).section(u'|', 0, 1), QStringLiteral("float|18519.3"));
    EXPECT_EQ(cell(16, 2), QStringLiteral("int|7|0|0"));
    EXPECT_TRUE(lines.contains(QStringLiteral("freeze A7")));
    EXPECT_TRUE(lines.contains(QStringLiteral("filter A6:F13")));
    EXPECT_TRUE(lines.contains(QStringLiteral("width 20")));
}

TEST_F(XlsxTest, MoreRowsThanTheOldSheetHeld) {
    TClientTable table;
    FillRows(table, 66000);
    const QStringList lines = writeAndRead(
        table, {Tdboutputsfield{QStringLiteral("ID"), -1, QString(), 50, false}}, QString(),
        QString());
    // The time stamp, an empty row, the header, the rows, an empty row and the count.
    EXPECT_TRUE(lines.contains(QStringLiteral("rows 66005"))) << lines.last().toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("66003|1|int|66000|0|0")));
    EXPECT_TRUE(lines.contains(QStringLiteral("66005|2|int|66000|0|0")));
}

TEST_F(XlsxTest, AFailedWriteKeepsTheEarlierFileAndIsReported) {
    TClientTable table;
    FillSample(table);
    const QString file = dir.filePath(QStringLiteral("old.xlsx"));
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("earlier");
    }
    // A folder that does not exist, and a disk that fills up while the file is written.
    for (const QString &target : {dir.filePath(QStringLiteral("missing/new.xlsx")), file}) {
        SCOPED_TRACE(target.toStdString());
        seam.fileAnswers.enqueue(target);
        TFileSizeLimit full(1000);
        EXPECT_THROW(Tdboutput_xlsx(&progress).Execute(table, {}, true, QString(), QString(), false,
                                                       false, false),
                     AppError);
    }
    EXPECT_EQ(ReadFileBytes(file), QByteArray("earlier"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("old.xlsx")});
    EXPECT_FALSE(progress.open);
}

} // namespace
