// A PDF of 2 500 rows of the demo school's users, read back with the PDF text extractor: the
// page count, the page numbers, Czech names, the sums and the count.
#include "data/clienttable.h"
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
    seam.boxAnswers.enqueue(mrOK);
    TRecordingProgress progress;
    users.SetRecNo(7);
    int scrolls = 0;
    users.AfterScroll = [&scrolls](TClientTable &) { ++scrolls; };
    ASSERT_TRUE(Tdboutput_print(&progress).Execute(users, items, 0, true, true, true,
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

    // 0.17 in rows on a body of about 10.9 in: about 64 rows a page.
    QByteArray info;
    ASSERT_EQ(RunTool(QStringLiteral("pdfinfo"), {file}, &info), 0);
    const int pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                          .match(QString::fromUtf8(info))
                          .captured(1)
                          .toInt();
    EXPECT_EQ(progress.texts.filter(QStringLiteral("Vytváří se strana")).size(), pages);
    EXPECT_GT(pages, kRows / 70);
    EXPECT_LT(pages, kRows / 55);

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

} // namespace
