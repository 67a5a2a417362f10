// The spreadsheet writer and the Excel export: exact bytes, the cursor at the sheet's edges,
// the file name rule, limits, and reading the files back with a spreadsheet reader.
#include "data/clienttable.h"
#include "grid/standardformats.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "output/formats/dboutputxls.h"
#include "output/formats/mxnativeexcel.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray hex(const char *text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

TEST(NativeExcel, FormatThreeOpensWithTheFixedRecords) {
    TmxNativeExcel excel;
    excel.SetFormat(3);
    EXPECT_EQ(excel.Buffer(), hex("09 08 06 00 00 02 10 00 00 00"
                                  "00 02 0A 00 00 00 FF FF 00 00 00 01 00 00"
                                  "42 00 04 00 E2 04 00 00"));
    excel.SetFormat(0);
    EXPECT_EQ(excel.Buffer(), hex("09 00 04 00 00 02 10 00"
                                  "00 00 08 00 00 00 FF FF 00 00 00 01"
                                  "42 00 04 00 E2 04 00 00"));
    excel.End();
    EXPECT_TRUE(excel.Buffer().endsWith(hex("0A 00 00 00")));
    // A further cell begins a new file.
    excel.WriteNumber(1.0);
    EXPECT_TRUE(excel.Buffer().startsWith(hex("09 00 04 00")));
    EXPECT_EQ(excel.Buffer().size(), 28 + 19);
}

TEST(NativeExcel, CellAttributesAndColumnWidths) {
    TmxNativeExcel excel;
    const qsizetype start = excel.Buffer().size();
    excel.WriteText(2, 3, QStringLiteral("Žák"));
    EXPECT_EQ(excel.Buffer().mid(start), hex("04 00 0B 00 01 00 02 00 40 00 00 03 8E E1 6B"));
    excel.Locked = false;
    excel.Hidden = true;
    excel.Font = 2;
    excel.Alignment = xaMulti;
    excel.BorderLeft = excel.BorderBottom = excel.Shaded = true;
    const qsizetype next = excel.Buffer().size();
    excel.WriteNumber(0.5);
    EXPECT_EQ(excel.Buffer().mid(next),
              hex("03 00 0F 00 01 00 03 00 80 80 CF 00 00 00 00 00 00 E0 3F"));
    struct Case {
        int first, last, width;
        bool ok;
    };
    for (const Case c : {Case{1, 1, 22, true}, Case{1, 256, 255, true}, Case{0, 1, 1, false},
                         Case{2, 257, 1, false}, Case{3, 2, 1, false}, Case{1, 1, 256, false}}) {
        const qsizetype before = excel.Buffer().size();
        EXPECT_EQ(excel.SetColumnWidth(c.first, c.last, c.width), c.ok) << c.first << c.last;
        EXPECT_EQ(excel.Buffer().size() - before, c.ok ? 8 : 0);
    }
    EXPECT_TRUE(excel.Buffer().endsWith(hex("24 00 04 00 00 FF 00 FF")));
}

TEST(NativeExcel, CursorMovesAndWrapsAtTheEdges) {
    struct Case {
        int direction, row, column, nextRow, nextColumn;
    };
    // A sheet of 3 rows and 4 columns.
    const Case cases[] = {
        {xdRight, 1, 1, 1, 2}, {xdRight, 1, 4, 2, 1}, {xdRight, 3, 4, 3, 4}, {xdDown, 1, 1, 2, 1},
        {xdDown, 3, 1, 1, 2},  {xdDown, 3, 4, 3, 4},  {xdLeft, 2, 2, 2, 1},  {xdLeft, 2, 1, 1, 4},
        {xdLeft, 1, 1, 1, 1},  {xdUp, 2, 2, 1, 2},    {xdUp, 1, 2, 3, 1},    {xdUp, 1, 1, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.direction << " from " << c.row << "," << c.column);
        TmxNativeExcel excel;
        excel.LastRow = 3;
        excel.LastColumn = 4;
        excel.Direction = c.direction;
        excel.SetCursorRow(c.row);
        excel.SetCursorColumn(c.column);
        excel.WriteNumber(1);
        EXPECT_EQ(excel.CursorRow(), c.nextRow);
        EXPECT_EQ(excel.CursorColumn(), c.nextColumn);
    }
    TmxNativeExcel excel;
    excel.LastRow = 3;
    for (int ignored : {0, 4})
        excel.SetCursorRow(ignored);
    EXPECT_EQ(excel.CursorRow(), 1);
}

TEST(NativeExcel, FileNameEndsInXls) {
    const char *const cases[][2] = {{"/tmp/a.csv", "/tmp/a.XLS"},
                                    {"/tmp/a.XlS", "/tmp/a.XlS"},
                                    {"/tmp/a", "/tmp/a.XLS"},
                                    {"/tmp/a.b.txt", "/tmp/a.b.XLS"}};
    for (const auto &c : cases) {
        TmxNativeExcel excel;
        excel.SetFileName(QString::fromLatin1(c[0]));
        EXPECT_EQ(excel.FileName(), QString::fromLatin1(c[1]));
    }
}

class ExcelExport : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        TFieldDef name = MakeField(QStringLiteral("NAME"), TFieldType::String, 300);
        table.CreateDataSet({MakeField(QStringLiteral("ID"), TFieldType::I4), name,
                             MakeField(QStringLiteral("PRICE"), TFieldType::R8),
                             MakeField(QStringLiteral("HOURS"), TFieldType::I4),
                             MakeField(QStringLiteral("BORN"), TFieldType::Date),
                             MakeField(QStringLiteral("BIG"), TFieldType::I8)});
        table.AppendRecord({TValue::FromInteger(7),
                            TValue::FromText(QStringLiteral("Šťastná Růžena")),
                            TValue::FromFloat(1234.5), TValue(),
                            TValue::FromDate(QDate(1990, 3, 5)), TValue::FromInteger(9000000000)});
        table.AppendRecord({TValue::FromInteger(-1), TValue::FromText(QString(300, u'x')), TValue(),
                            TValue::FromInteger(12), TValue(), TValue()});
        table.MergeChangeLog();
        for (int i = 0; i < table.FieldCount(); ++i)
            ApplyStandardFormats(table.FieldDef(i));
        table.First();
    }
    Tdboutputsfields items() const {
        const int widths[] = {4, 5, 110, 9, 80, 1280};
        Tdboutputsfields list;
        for (int i = 0; i < table.FieldCount(); ++i)
            list.append(Tdboutputsfield{table.FieldDefs()[i].name, -1,
                                        QStringLiteral("Sloupec č. %1").arg(i + 1), widths[i],
                                        false});
        return list;
    }
    QString run(const QString &name, bool header, Tdboutputsfields list = {}) {
        seam.fileAnswers.enqueue(dir.filePath(name));
        seam.boxAnswers.enqueue(mrYes);
        EXPECT_TRUE(
            Tdboutput_xls(&progress).Execute(table, list.isEmpty() ? items() : list, header, true));
        return seam.opened.value(seam.opened.size() - 1);
    }

    ScriptedSeam seam;
    QTemporaryDir dir;
    TClientTable table;
    TRecordingProgress progress;
};

// The cells as the third-party reader sees them: "row,column,type,value" per cell.
QStringList ReadBack(const QString &file) {
    const QString python = PythonWith(QStringLiteral("xlrd"));
    if (python.isEmpty())
        return {QStringLiteral("no xlrd")};
    const QString script = QStringLiteral(
        "import sys, xlrd, xlrd.sheet as S\n"
        // The reader assumes the 16 384 rows of old spreadsheet versions for this record
        // format; the sheets written here have up to 65 535 rows (16-bit row numbers).
        "init = S.Sheet.__init__\n"
        "def wide(self, *a, **k):\n"
        "  init(self, *a, **k); self.utter_max_rows = 65536\n"
        "S.Sheet.__init__ = wide\n"
        "b = xlrd.open_workbook(sys.argv[1]); s = b.sheet_by_index(0)\n"
        "for r in range(s.nrows):\n"
        "  for c in range(s.ncols):\n"
        "    x = s.cell(r, c)\n"
        "    if x.ctype: sys.stdout.buffer.write(('%d,%d,%s,%r\\n' % (r, c, "
        "{1: 'text', 2: 'number'}.get(x.ctype, x.ctype), x.value)).encode('utf-8'))\n");
    QByteArray output;
    if (RunTool(python, {QStringLiteral("-c"), script, file}, &output) != 0)
        return {QString::fromUtf8(output)};
    return QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts);
}

TEST_F(ExcelExport, MatchesTheGoldenFileAndReadsBack) {
    const QString opened = run(QStringLiteral("list.xls"), true);
    const QByteArray bytes = ReadFileBytes(opened);
    OfferGolden(QStringLiteral("sample.xls"), bytes);
    EXPECT_EQ(bytes, Golden(QStringLiteral("sample.xls")));
    EXPECT_EQ(progress.caption, CommonText(62));
    EXPECT_EQ(progress.texts, QStringList{CommonText(63)});
    EXPECT_EQ(seam.boxTexts(), QStringList{CommonText(65)});
    const QStringList cells = ReadBack(opened);
    if (cells == QStringList{QStringLiteral("no xlrd")})
        GTEST_SKIP() << "python3-xlrd is not installed";
    const QString longText = QStringLiteral("'") + QString(255, u'x') + u'\'';
    EXPECT_EQ(cells,
              (QStringList{"0,0,text,'Sloupec č. 1'", "0,1,text,'Sloupec č. 2'",
                           "0,2,text,'Sloupec č. 3'", "0,3,text,'Sloupec č. 4'",
                           "0,4,text,'Sloupec č. 5'", "0,5,text,'Sloupec č. 6'", "1,0,number,7.0",
                           "1,1,text,'Šťastná Růžena'", "1,2,number,1234.5", "1,3,number,0.0",
                           "1,4,text,'5.3.1990'", "1,5,text,'9000000000'", "2,0,number,-1.0",
                           "2,1,text," + longText, "2,2,number,0.0", "2,3,number,12.0",
                           "2,4,text,''", "2,5,text,''"}));
}

TEST_F(ExcelExport, ColumnWidthsFollowTheGridInCharacters) {
    const QByteArray bytes = ReadFileBytes(run(QStringLiteral("w.xls"), false));
    // 4 px: none; 5 px: 1 character; 110 px: 22; 9 px: 1; 80 px: 16; 1280 px: the widest, 255.
    QList<QByteArray> widths;
    for (qsizetype at = bytes.indexOf(hex("24 00 04 00")); at >= 0;
         at = bytes.indexOf(hex("24 00 04 00"), at + 1))
        widths.append(bytes.mid(at + 4, 4).toHex(' '));
    EXPECT_EQ(widths, (QList<QByteArray>{"01 01 00 01", "02 02 00 16", "03 03 00 01", "04 04 00 10",
                                         "05 05 00 ff"}));
    // Without the heading the first record is on row 1 and the first progress reads 0.
    EXPECT_EQ(progress.texts.value(1), QStringLiteral("Vyexportováno 0 záznamů"));
    EXPECT_TRUE(bytes.contains(hex("03 00 0F 00 00 00 00 00 40 00 00")));
}

TEST_F(ExcelExport, AnotherExtensionIsWrittenAsXlsAndThatFileOpens) {
    const QString opened = run(QStringLiteral("list.csv"), true);
    EXPECT_EQ(opened, dir.filePath(QStringLiteral("list.XLS")));
    EXPECT_TRUE(QFile::exists(opened));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("list.csv"))));
}

TEST_F(ExcelExport, ListsBeyondTheSheetFailBeforeWriting) {
    struct Case {
        const char *name;
        int rows, items;
        bool header;
        bool fails;
    };
    for (const Case c : {Case{"rows with heading", 65535, 1, true, true},
                         Case{"rows without heading", 65535, 1, false, false},
                         Case{"items", 2, 257, false, true}}) {
        SCOPED_TRACE(c.name);
        FillRows(table, c.rows);
        table.SetRecNo(2);
        Tdboutputsfields list;
        for (int i = 0; i < c.items; ++i)
            list.append(Tdboutputsfield{QStringLiteral("ID"), -1, QString(), 50, false});
        const QString file = dir.filePath(QString::fromLatin1(c.name) + ".xls");
        seam.fileAnswers.enqueue(file);
        seam.boxAnswers.enqueue(mrNo);
        if (c.fails) {
            EXPECT_THROW(Tdboutput_xls(&progress).Execute(table, list, c.header, true), AppError);
        } else {
            EXPECT_TRUE(Tdboutput_xls(&progress).Execute(table, list, c.header, true));
        }
        EXPECT_EQ(QFile::exists(file), !c.fails);
        EXPECT_FALSE(progress.open);
        EXPECT_EQ(table.RecNo(), 2);
        EXPECT_FALSE(table.ControlsDisabled());
    }
}

TEST_F(ExcelExport, LargeExportReadsBackWithTheSameValues) {
    FillRows(table, 20000);
    Tdboutputsfields list;
    for (const char *name : {"ID", "NAME", "PRICE"})
        list.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString(), 60, false});
    const QString opened = run(QStringLiteral("large.xls"), true, list);
    const QStringList cells = ReadBack(opened);
    if (cells == QStringList{QStringLiteral("no xlrd")})
        GTEST_SKIP() << "python3-xlrd is not installed";
    ASSERT_EQ(cells.size(), 3 * 20001) << cells.value(0).left(2000).toStdString();
    table.Last();
    const int last = 20000;
    EXPECT_EQ(
        cells[3 * last],
        QStringLiteral("%1,0,number,%2.0").arg(last).arg(table.FieldByName("ID").AsInteger()));
    EXPECT_EQ(cells[3 * last + 1],
              QStringLiteral("%1,1,text,'%2'").arg(last).arg(table.FieldByName("NAME").AsString()));
    EXPECT_EQ(cells[3 * last + 2].section(u',', 0, 2), QStringLiteral("%1,2,number").arg(last));
    EXPECT_DOUBLE_EQ(cells[3 * last + 2].section(u',', 3).toDouble(),
                     table.FieldByName("PRICE").AsFloat());
}

} // namespace
