// The checked list's marks, texts, filter conditions and stored positions.
#include "grid/controls/checkeditems.h"
#include "grid/filtertext.h"

#include "printers.h"

#include <gtest/gtest.h>

namespace {

TCheckedItems Statuses(const QList<int> &checked) {
    TCheckedItems items;
    items.SetItems({{"Nová", 1}, {"Zaplacená", 2}, {"Zrušená", 5}});
    for (int i : checked)
        items.SetChecked(i, true);
    return items;
}

TEST(CheckedItems, FilterConditionInBothForms) {
    struct Case {
        QList<int> checked;
        QString orForm, listForm;
    } cases[] = {
        {{0, 2}, "(ORDERSTATUS=1 OR ORDERSTATUS=5)", "ORDERSTATUS IN (1,5)"},
        {{1}, "ORDERSTATUS=2", "ORDERSTATUS=2"},
        {{0, 1, 2}, "", ""},
        {{}, "", ""},
    };
    for (const Case &c : cases) {
        const TCheckedItems items = Statuses(c.checked);
        EXPECT_EQ(items.FilterCondition("ORDERSTATUS", true), c.orForm);
        EXPECT_EQ(items.FilterCondition("ORDERSTATUS", false), c.listForm);
    }
}

TEST(CheckedItems, SelectedTextQuotesCheckedItemsInItemOrder) {
    TCheckedItems items = Statuses({2, 0});
    EXPECT_EQ(items.SelectedText(), "Nová, Zrušená");
    items.SetQuoteStyle(qsSingle);
    EXPECT_EQ(items.SelectedText(), "'Nová', 'Zrušená'");
    items.SetQuoteStyle(qsDouble);
    EXPECT_EQ(items.SelectedText(), "\"Nová\", \"Zrušená\"");
    items.SelectAll();
    EXPECT_EQ(items.SelectedText(), "<Vše>");
    items.SetAllowNone(true);
    items.ClearAll(0);
    EXPECT_EQ(items.SelectedText(), "<Není vybráno>");
}

TEST(CheckedItems, LastCheckedItemStaysCheckedUnlessNoneIsAllowed) {
    TCheckedItems items = Statuses({1});
    EXPECT_FALSE(items.Toggle(1));
    EXPECT_TRUE(items.Checked(1));
    // "Zrušit vše" and inverting everything act as "Vybrat jeden" without AllowNone.
    items.SelectAll();
    EXPECT_TRUE(items.ClearAll(2));
    EXPECT_EQ(items.CheckedPositions(), "2");
    items.SelectAll();
    EXPECT_TRUE(items.Invert(0));
    EXPECT_EQ(items.CheckedPositions(), "0");

    items.SetAllowNone(true);
    EXPECT_TRUE(items.Toggle(0));
    EXPECT_EQ(items.CheckedCount(), 0);
    items.SelectAll();
    items.Invert(0);
    EXPECT_EQ(items.CheckedCount(), 0);
}

TEST(CheckedItems, InvertAndSelectOne) {
    TCheckedItems items = Statuses({0});
    items.Invert(0);
    EXPECT_EQ(items.CheckedPositions(), "1;2");
    items.SelectOne(-1); // no item under the cursor: the first one
    EXPECT_EQ(items.CheckedPositions(), "0");
}

TEST(CheckedItems, RestoreCheckedPositionsIgnoresBadEntries) {
    TCheckedItems items;
    items.SetItems({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}, {"e", 5}});
    items.SelectAll();
    items.RestoreCheckedPositions("0;7;x;2");
    EXPECT_EQ(items.CheckedPositions(), "0;2");
    items.RestoreCheckedPositions("-1;5; ;");
    EXPECT_EQ(items.CheckedCount(), 0); // allowed even without AllowNone
    EXPECT_EQ(items.CheckedPositions(), "");
}

TEST(CheckedItems, NewItemsAreUncheckedAndSortedWhenAsked) {
    TCheckedItems items = Statuses({0, 1});
    items.SetSorted(true);
    items.SetItems({{"čtvrtek", 4}, {"Pondělí", 1}, {"úterý", 2}});
    EXPECT_EQ(items.CheckedCount(), 0);
    QStringList order;
    for (const TCheckedItem &item : items.Items())
        order.append(item.text);
    EXPECT_EQ(order, QStringList({"čtvrtek", "Pondělí", "úterý"}));
}

TEST(FilterText, AddConditionJoinsWithAnd) {
    QString filter;
    AddCondition("", filter);
    EXPECT_EQ(filter, "");
    AddCondition("A=1", filter);
    EXPECT_EQ(filter, "(A=1)");
    AddCondition("B=2", filter);
    EXPECT_EQ(filter, "(A=1) AND (B=2)");
    AddCondition("", filter);
    EXPECT_EQ(filter, "(A=1) AND (B=2)");
}

TEST(FilterText, DateRangeLineShowsDotsForUnsetSides) {
    EXPECT_EQ(DateRangeLine("Datum", std::nullopt, QDate(2009, 3, 4)), "Datum: ... - 4.3.2009");
    EXPECT_EQ(DateRangeLine("Datum", QDate(2009, 3, 1), std::nullopt), "Datum: 1.3.2009 - ...");
    EXPECT_EQ(DateRangeLine("Datum", QDate(2009, 3, 1), QDate(2009, 12, 31)),
              "Datum: 1.3.2009 - 31.12.2009");
}

} // namespace
