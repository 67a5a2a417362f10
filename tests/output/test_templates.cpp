// Stored output templates: the value format, malformed values, the item order rule and the
// template list in the configuration store.
#include "lang/textutil.h"
#include "net/settings/cfghandler.h"
#include "output/outputtemplate.h"
#include "output/templatelist.h"
#include "outputfixture.h"
#include "qtprinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(OutputTemplate, ValueRoundTripsWithSafeTitle) {
    TOutputTemplate t;
    t.format = QStringLiteral("xls");
    t.title = QStringLiteral("Přehled; hodin | lektorů");
    t.timeStamp = false;
    t.recordCount = false;
    t.orientation = 2;
    t.items = {QStringLiteral("NAME"), QStringLiteral("HOURS (sčítat)")};
    EXPECT_EQ(t.Value(), QStringLiteral("xls;Přehled, hodin , lektorů;0;1;0;2;NAME;HOURS (sčítat)"));
    const TOutputTemplate back = TOutputTemplate::Parse(t.Value());
    EXPECT_EQ(back.title, QStringLiteral("Přehled, hodin , lektorů"));
    EXPECT_EQ(back.Value(), t.Value());
}

TEST(OutputTemplate, MalformedValuesApplyAsFarAsTheyGo) {
    struct Case {
        const char *value;
        const char *format;
        const char *title;
        bool stamp, filter, count;
        int orientation;
        int items;
    };
    const Case cases[] = {
        {"", "preview", "", true, true, true, 0, 0},
        {"x;T;a;0;;y", "x", "T", true, false, true, 0, 0}, // an unknown id: the dialog's first
        {"2;Nadpis", "html", "Nadpis", true, true, true, 0, 0},
        {"4;;0;0;0;1;A;B", "csv", "", false, false, false, 1, 2},
        {" 1;t;2;-1;0", "pdf", "t", true, true, false, 0, 0},
        {"9;t", "preview", "t", true, true, true, 0, 0},
        {"xlsx;t", "xlsx", "t", true, true, true, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const TOutputTemplate t = TOutputTemplate::Parse(QString::fromUtf8(c.value));
        EXPECT_EQ(t.format, QString::fromLatin1(c.format));
        EXPECT_EQ(t.title, QString::fromUtf8(c.title));
        EXPECT_EQ(t.timeStamp, c.stamp);
        EXPECT_EQ(t.filter, c.filter);
        EXPECT_EQ(t.recordCount, c.count);
        EXPECT_EQ(t.orientation, c.orientation);
        EXPECT_EQ(t.items.size(), c.items);
    }
}

QList<TOutputListItem> listOf(const QStringList &fields) {
    QList<TOutputListItem> list;
    for (const QString &f : fields)
        list.append(TOutputListItem{f, f.toLower(), false, false});
    return list;
}

QString describe(const QList<TOutputListItem> &list) {
    QStringList parts;
    for (const TOutputListItem &item : list)
        parts.append((item.checked ? QStringLiteral("+") : QStringLiteral("-")) + item.Text());
    return parts.join(u' ');
}

TEST(OutputTemplate, ItemsAreCheckedAndOrderedLikeTheTemplate) {
    struct Case {
        const char *items;
        const char *expected;
    };
    const Case cases[] = {
        // in list order: nothing moves
        {"A;C", "+a -b +c -d -e"},
        // an item before the last placed one moves just behind it
        {"D;B", "-a -c +d +b -e"},
        {"E;C;A", "-b -d +e +c +a"},
        // unknown names are skipped, case does not matter, the marker sums
        {"x;c (sčítat);b", "-a +c (sčítat) +b -d -e"},
        {"", "-a -b -c -d -e"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.items);
        QList<TOutputListItem> list =
            listOf({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                    QStringLiteral("D"), QStringLiteral("E")});
        list[1].checked = list[1].summed = true; // a previous state is cleared first
        TOutputTemplate t =
            TOutputTemplate::Parse(QStringLiteral("0;;1;1;1;0;") + QString::fromUtf8(c.items));
        t.ApplyItems(list);
        EXPECT_EQ(describe(list), QString::fromUtf8(c.expected));
        const QStringList stored = TOutputTemplate::ItemsOf(list);
        if (QByteArray(c.items).startsWith("D")) {
            EXPECT_EQ(stored, (QStringList{QStringLiteral("D"), QStringLiteral("B")}));
        }
    }
}

TEST(TemplateList, KeepsSortedLinesAndDeletesTheFileWhenEmpty) {
    QTemporaryDir dir;
    TFileCfgHandler store(dir.path());
    const QString file = dir.filePath(QStringLiteral("frg_orders.dbo"));
    TOutputTemplateList list(store, QStringLiteral("frg_orders"));
    list.Read();
    EXPECT_TRUE(list.Lines().isEmpty());
    list.Set(QStringLiteral("zápis"), QStringLiteral("0;a"));
    list.Set(QStringLiteral("Čtvrtletí"), QStringLiteral("1;b"));
    list.Set(QStringLiteral("alfa"), QStringLiteral("2;c"));
    list.Set(QStringLiteral("ALFA"), QStringLiteral("3;d")); // replaces, in any letter case
    list.Write();
    EXPECT_EQ(FromWin1250(ReadFileBytes(file)),
              QStringLiteral("ALFA=3;d\r\nČtvrtletí=1;b\r\nzápis=0;a\r\n"));
    TOutputTemplateList again(store, QStringLiteral("frg_orders"));
    again.Read();
    EXPECT_EQ(again.Value(QStringLiteral("&alfa")), QStringLiteral("xls;d"));
    EXPECT_TRUE(again.Contains(QStringLiteral("ZÁPIS")));
    for (const QString &name : again.Names())
        again.Remove(name);
    again.Write();
    EXPECT_FALSE(QFile::exists(file));
}

// A list stored by an earlier version names formats by their position: it is read by the
// formats at those positions and stored again with their ids; lines already in the current
// form, and names and items, stay as they were.
TEST(TemplateList, TemplatesStoredByPositionAreReadAndRewritten) {
    QTemporaryDir dir;
    TFileCfgHandler store(dir.path());
    const QString file = dir.filePath(QStringLiteral("frg_orders.dbo"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TELLAVO_OUTPUT_FIXTURES "/legacy.dbo"), file));
    TOutputTemplateList list(store, QStringLiteral("frg_orders"));
    list.Read();
    const QStringList expected = {
        QStringLiteral("Faktury=xls;Faktury, květen;1;1;0;0;IDORDER;PRICE (sčítat)"),
        QStringLiteral("Měsíc=preview;Přehled;1;0;1;2;NAME;HOURS (sčítat)"),
        QStringLiteral("Nová=pdf;Nová forma;1;1;1;1;NAME"),
        QStringLiteral("Poškozená=x;;1"),
        QStringLiteral("Tabulka=csv"),
    };
    EXPECT_EQ(list.Lines(), expected);
    EXPECT_EQ(FromWin1250(ReadFileBytes(file)), expected.join(QStringLiteral("\r\n")) + "\r\n");
    const TOutputTemplate faktury = TOutputTemplate::Parse(list.Value(QStringLiteral("faktury")));
    EXPECT_EQ(faktury.format, QStringLiteral("xls"));
    EXPECT_EQ(faktury.items, (QStringList{"IDORDER", "PRICE (sčítat)"}));
}

} // namespace
