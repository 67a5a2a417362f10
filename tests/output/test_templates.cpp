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
    t.outputType = 3;
    t.title = QStringLiteral("Přehled; hodin | lektorů");
    t.timeStamp = false;
    t.recordCount = false;
    t.orientation = 2;
    t.items = {QStringLiteral("NAME"), QStringLiteral("HOURS (sčítat)")};
    EXPECT_EQ(t.Value(), QStringLiteral("3;Přehled, hodin , lektorů;0;1;0;2;NAME;HOURS (sčítat)"));
    const TOutputTemplate back = TOutputTemplate::Parse(t.Value());
    EXPECT_EQ(back.title, QStringLiteral("Přehled, hodin , lektorů"));
    EXPECT_EQ(back.Value(), t.Value());
}

TEST(OutputTemplate, MalformedValuesApplyAsFarAsTheyGo) {
    struct Case {
        const char *value;
        int type;
        const char *title;
        bool stamp, filter, count;
        int orientation;
        int items;
    };
    const Case cases[] = {
        {"", 0, "", true, true, true, 0, 0},
        {"x;T;a;0;;y", 0, "T", true, false, true, 0, 0},
        {"2;Nadpis", 2, "Nadpis", true, true, true, 0, 0},
        {"4;;0;0;0;1;A;B", 4, "", false, false, false, 1, 2},
        {" 1;t;2;-1;0", 1, "t", true, true, false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        const TOutputTemplate t = TOutputTemplate::Parse(QString::fromUtf8(c.value));
        EXPECT_EQ(t.outputType, c.type);
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
    EXPECT_EQ(again.Value(QStringLiteral("&alfa")), QStringLiteral("3;d"));
    EXPECT_TRUE(again.Contains(QStringLiteral("ZÁPIS")));
    for (const QString &name : again.Names())
        again.Remove(name);
    again.Write();
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
