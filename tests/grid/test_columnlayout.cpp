// The stored column layout and the column order editor's moves.
#include "grid/columnlayout.h"
#include "grid/columnorder.h"

#include "printers.h"

#include <gtest/gtest.h>

namespace {

TColumnList SampleColumns() {
    TColumn name = MakeColumn("FULLNAME", "Jméno a příjmení", 180);
    name.titleColor = clNavy;
    name.cellColor = clNavy;
    TColumn hours = MakeColumn("HOURS", "Hodiny", 50, false);
    hours.alignment = TColumnAlignment::Right;
    hours.buttonStyle = TColumnButtonStyle::None;
    TColumn status = MakeColumn("STATUS_L", "", 0);
    status.alignment = TColumnAlignment::Center;
    status.buttonStyle = TColumnButtonStyle::Ellipsis;
    status.pickList = {"STATUS", "", "druhý řádek"};
    status.titleColor = RgbColor(1, 2, 3);
    return {name, hours, status};
}

TEST(ColumnLayout, RoundTripsEveryAttributeThroughHex) {
    const TColumnList columns = SampleColumns();
    const QString hex = LayoutToHex(SerializeColumns(columns));
    EXPECT_EQ(hex, hex.toUpper());
    EXPECT_FALSE(hex.contains(u'\n'));
    const auto bytes = LayoutFromHex(hex);
    ASSERT_TRUE(bytes);
    const auto back = DeserializeColumns(*bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, columns);
    EXPECT_EQ(DeserializeColumns(SerializeColumns({})), TColumnList());
}

TEST(ColumnLayout, RefusesDamagedInput) {
    const QByteArray good = SerializeColumns(SampleColumns());
    for (qsizetype cut = 0; cut < good.size(); ++cut)
        EXPECT_FALSE(DeserializeColumns(good.left(cut))) << "cut at " << cut;
    EXPECT_FALSE(DeserializeColumns(good + '\0'));
    QByteArray badFlag = SerializeColumns({MakeColumn("A", "a")});
    badFlag[8 + 4 + 1 + 4 + 1 + 4] = 2; // visibility byte
    EXPECT_FALSE(DeserializeColumns(badFlag));
    QByteArray hugeCount = good;
    hugeCount[4] = char(0xff);
    hugeCount[5] = char(0xff);
    EXPECT_FALSE(DeserializeColumns(hugeCount));

    for (const char *text : {"ABC", "0G", "12 34", "é1"})
        EXPECT_FALSE(LayoutFromHex(text)) << text;
    EXPECT_EQ(LayoutFromHex(" 0aFf\n"), QByteArray("\x0a\xff", 2));
}

// The grid as a list of column names, with moves applied by the editor's callback.
struct GridFixture {
    QStringList grid;
    TColumnOrder order;
    GridFixture(const QStringList &names, const QString &hidden = QString()) : grid(names) {
        QList<bool> visible;
        for (const QString &name : names)
            visible.append(!hidden.contains(name));
        order.Setup(visible, [this](int from, int to) { grid.move(from, to); });
    }
    QStringList entries() const {
        QStringList list;
        for (int i = 0; i < order.Count(); ++i)
            list.append(QString(QChar(u'A' + order.EntryColumn(i))));
        return list;
    }
    void select(const QList<int> &positions) {
        for (int i = 0; i < order.Count(); ++i)
            order.SetSelected(i, positions.contains(i));
    }
    QList<int> selected() const {
        QList<int> list;
        for (int i = 0; i < order.Count(); ++i)
            if (order.Selected(i))
                list.append(i);
        return list;
    }
};

TEST(ColumnOrder, MovesKeepGapsAndSelection) {
    struct Case {
        QList<int> selected;
        void (TColumnOrder::*move)();
        QString grid;
        QList<int> selectedAfter;
    } cases[] = {
        {{1, 3}, &TColumnOrder::MoveToTop, "BADCE", {0, 2}},
        {{1, 3}, &TColumnOrder::MoveToBottom, "ACBED", {2, 4}},
        {{1, 2}, &TColumnOrder::MoveUp, "BCADE", {0, 1}},
        {{0, 2}, &TColumnOrder::MoveDown, "BADCE", {1, 3}},
        {{3, 4}, &TColumnOrder::MoveUp, "ABDEC", {2, 3}},
    };
    for (const Case &c : cases) {
        GridFixture f({"A", "B", "C", "D", "E"});
        f.select(c.selected);
        (f.order.*c.move)();
        EXPECT_EQ(f.grid.join(""), c.grid);
        EXPECT_EQ(f.entries().join(""), c.grid);
        EXPECT_EQ(f.selected(), c.selectedAfter);
    }
}

TEST(ColumnOrder, ButtonsFollowTheSelectionEnds) {
    GridFixture f({"A", "B", "C"});
    EXPECT_FALSE(f.order.CanMoveUp());
    EXPECT_FALSE(f.order.CanMoveDown());
    f.select({0});
    EXPECT_FALSE(f.order.CanMoveUp());
    EXPECT_TRUE(f.order.CanMoveDown());
    f.select({1, 2});
    EXPECT_TRUE(f.order.CanMoveUp());
    EXPECT_FALSE(f.order.CanMoveDown());
    f.order.MoveDown(); // refused: the last entry is selected
    EXPECT_EQ(f.grid.join(""), "ABC");
}

TEST(ColumnOrder, HiddenColumnsKeepTheirPlaces) {
    // B and D are hidden: the editor lists A, C, E.
    GridFixture f({"A", "B", "C", "D", "E"}, "BD");
    EXPECT_EQ(f.entries().join(""), "ACE");
    f.select({2});
    f.order.MoveUp(); // E goes to C's grid place; D stays next to its neighbour C
    EXPECT_EQ(f.grid.join(""), "ABECD");
    f.order.MoveToTop();
    EXPECT_EQ(f.grid.join(""), "EABCD");
    EXPECT_EQ(f.entries().join(""), "EAC");
}

} // namespace
