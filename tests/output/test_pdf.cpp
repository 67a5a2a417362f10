// A PDF of 2 500 rows of the demo school's users, read back with the PDF text extractor: the
// page count, the page numbers, Czech names, the sums and the count.
#include "data/clienttable.h"
#include "errors/apperror.h"
#include "wire/packetwriter.h"
#include "grid/standardformats.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "output/report/dboutputprint.h"
#include "output/outputtexts.h"
#include "outputfixture.h"
#include "qtprinters.h"
#include "recordingprogress.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kRows = 2500;

// The demo school's users repeated to the given number of rows, numbered 1 up.
void FillDemoUsers(TClientTable &users, int rows) {
    ServerHarness server;
    const QString session = server.signIn(QStringLiteral("manazer"));
    TClientTable demo;
    demo.LoadFromBytes(WriteDataPacket(server.table(session, "prov_user"), TPacketEncoding::Utf8));
    ASSERT_GT(demo.RecordCount(), 10);
    users.CreateDataSet(demo.FieldDefs());
    for (int i = 0; i < rows; ++i) {
        QList<TValue> values;
        for (int f = 0; f < demo.FieldCount(); ++f)
            values.append(demo.ValueAt(i % demo.RecordCount(), f));
        values[0] = TValue::FromInteger(i + 1);
        users.AppendRecord(values);
    }
    users.MergeChangeLog();
    for (int f = 0; f < users.FieldCount(); ++f)
        ApplyStandardFormats(users.FieldDef(f));
    users.First();
}

QString pdfText(const QString &file, int page = 0) {
    QStringList arguments{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    arguments << file << QStringLiteral("-");
    QByteArray output;
    RunTool(QStringLiteral("pdftotext"), arguments, &output);
    return QString::fromUtf8(output);
}

TEST(ReportPdf, DemoUsersWithSumsReadBack) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    SetLanguageIndex(LangCzech);
    TClientTable users;
    FillDemoUsers(users, kRows);
    Tdboutputsfields items;
    for (const char *name : {"IDUSER", "SURNAME", "FIRSTNAME", "EMAIL", "USERLEVEL"})
        items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString(), 110,
                                     QByteArray(name) == "USERLEVEL"});
    ScriptedSeam seam;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("users.pdf"));
    seam.fileAnswers.enqueue(file);
    seam.boxAnswers.enqueue(mrYes);
    TRecordingProgress progress;
    users.SetRecNo(7);
    int scrolls = 0;
    users.AfterScroll = [&scrolls](TClientTable &) { ++scrolls; };
    ASSERT_TRUE(Tdboutput_print(&progress).Execute(users, items, 0, TReportTarget::Pdf, true, true,
                                                   QStringLiteral("Typ: všichni"),
                                                   QStringLiteral("Uživatelé školy"), true));
    // Walked without running the list's handler or repainting, and left where it was.
    EXPECT_EQ(users.RecNo(), 7);
    EXPECT_EQ(scrolls, 0);
    EXPECT_FALSE(users.ControlsDisabled());
    ASSERT_TRUE(users.AfterScroll);
    EXPECT_EQ(seam.boxTexts(), QStringList{CommonText(109)});
    EXPECT_EQ(seam.opened, QStringList{file});
    EXPECT_EQ(progress.caption, CommonText(114));
    EXPECT_EQ(progress.texts.last(), CommonText(116));

    // 0.17 in rows on a body of about 10.9 in: about 64 rows a page, half as many where an
    // e-mail address longer than its column goes on over a second line.
    QByteArray info;
    ASSERT_EQ(RunTool(QStringLiteral("pdfinfo"), {file}, &info), 0);
    const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                          .match(QString::fromUtf8(info))
                          .captured(1)
                          .toInt();
    EXPECT_EQ(progress.texts.filter(QStringLiteral("Vytváří se strana")).size(), pages);
    EXPECT_GT(pages, kRows / 70);
    EXPECT_LT(pages, kRows / 28);

    const QString first = pdfText(file, 1);
    EXPECT_TRUE(first.contains(QStringLiteral("Strana 1/%1").arg(pages)));
    EXPECT_TRUE(first.contains(QStringLiteral("Uživatelé školy")));
    EXPECT_TRUE(first.contains(QStringLiteral("Typ: všichni")));
    const QString all = pdfText(file);
    users.First();
    int czech = 0;
    for (int i = 0; i < 40; ++i, users.Next()) {
        const QString surname = users.FieldByName(QStringLiteral("SURNAME")).AsString();
        EXPECT_TRUE(all.contains(surname)) << surname.toStdString();
        czech += surname.contains(QRegularExpression(QStringLiteral("[^\\x00-\\x7f]"))) ? 1 : 0;
    }
    EXPECT_GT(czech, 0);
    double sum = 0;
    users.First();
    for (; !users.Eof(); users.Next())
        sum += users.FieldByName(QStringLiteral("USERLEVEL")).AsFloat();
    QString last = pdfText(file, pages);
    last.replace(QChar(0x00A0), u' ');
    EXPECT_TRUE(last.contains(CommonText(60)));
    EXPECT_TRUE(last.contains(CommonText(61).trimmed()));
    EXPECT_TRUE(last.contains(QStringLiteral("2 500")));
    EXPECT_TRUE(last.contains(FormatCount(qint64(sum)).replace(QChar(0x00A0), u' ')));
    EXPECT_TRUE(last.contains(QStringLiteral("Strana %1/%1").arg(pages)));
}

// The text layer holds letters as typed (no "fi" ligature), a field summed in two columns is
// added up once, and a PDF that cannot be written whole is reported and keeps the old file.
TEST(ReportPdf, LettersSumsAndFailedWrites) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "poppler-utils is not installed";
    SetLanguageIndex(LangCzech);
    TClientTable table;
    FillSample(table);
    table.Edit();
    table.FieldByName(QStringLiteral("NAME")).SetAsString(QStringLiteral("Žofie Fialová office"));
    table.Post();
    table.MergeChangeLog();
    Tdboutputsfields items = {
        Tdboutputsfield{QStringLiteral("NAME"), -1, QStringLiteral("Jméno ve filtru"), 200, false},
        Tdboutputsfield{QStringLiteral("ID"), -1, QStringLiteral("Číslo"), 60, true},
        Tdboutputsfield{QStringLiteral("ID"), -1, QStringLiteral("Znovu"), 60, true}};
    ScriptedSeam seam;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("list.pdf"));
    seam.fileAnswers.enqueue(file);
    ASSERT_TRUE(Tdboutput_print().Execute(table, items, 0, TReportTarget::Pdf, false, false,
                                          QString(), QStringLiteral("Profily ve filtru"), false));
    QString text = pdfText(file);
    EXPECT_FALSE(text.contains(QChar(0xFB01)) || text.contains(QChar(0xFB02)));
    for (const char *typed : {"Profily ve filtru", "Jméno ve filtru", "Žofie Fialová office"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(typed))) << typed;
    // 1 + 22 + 333 in both columns, not twice as much.
    EXPECT_EQ(text.count(QStringLiteral("356")), 2) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("712")));

    const QByteArray written = ReadFileBytes(file);
    for (const QString &target : {file, dir.filePath(QStringLiteral("missing/list.pdf"))}) {
        SCOPED_TRACE(target.toStdString());
        seam.fileAnswers.enqueue(target);
        TFileSizeLimit full(written.size() / 2);
        EXPECT_THROW(Tdboutput_print().Execute(table, items, 0, TReportTarget::Pdf, false, false,
                                               QString(), QStringLiteral("Jiný"), true),
                     AppError);
    }
    EXPECT_EQ(ReadFileBytes(file), written);
    EXPECT_TRUE(seam.boxes.isEmpty()); // no question about opening a file that failed
}

} // namespace
