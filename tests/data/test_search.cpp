#include "data/clienttable.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "tablefixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

QList<TFieldDef> UserFields() {
    return {MakeField("IDUSER", TFieldType::I4), MakeField("FULLNAME", TFieldType::String, 40),
            MakeField("CITY", TFieldType::String, 40), MakeField("USERTYPE", TFieldType::I2),
            MakeField("WHENCREATED", TFieldType::DateTime)};
}

void FillUsers(TClientTable &table) {
    FillTable(table, UserFields(),
              {{I(1), S("Novák Jan"), S("Brno"), I(4), DT(2009, 1, 5)},
               {I(2), S("adamec Petr"), S("Praha"), I(3), DT(2009, 1, 2)},
               {I(3), S("Bílá Eva"), S("Brno"), I(4), DT(2009, 1, 9)},
               {I(4), S("Adam Karel"), Null(), I(1), DT(2009, 1, 1)},
               {I(5), S("Černá Jana"), S("Praha"), I(4), Null()},
               {I(6), S("bílý Ota"), S("Brno"), I(2), DT(2009, 1, 7)}});
}

QList<TValue> Ids(TClientTable &table) {
    return Column(table, "IDUSER");
}

QStringList Texts(TClientTable &table, const QString &field) {
    QStringList texts;
    for (const TValue &value : Column(table, field))
        texts.append(value.toText());
    return texts;
}

// Surnames in the order of the Czech alphabet: accents after letters, "ch" after "h", a
// capital before its small letter.
const QStringList kCzechOrder = {"Adam",  "Čapek", "Černá", "Dvořák", "Hora",  "Chalupa", "Němec",
                                 "Novák", "novák", "Ondra", "Řezáč",  "Šimek", "Zeman",   "Žák"};

void FillSurnames(TClientTable &table, const QStringList &names) {
    QList<QList<TValue>> rows;
    for (int i = 0; i < names.size(); ++i)
        rows.append({I(i + 1), S(names[i])});
    FillTable(table,
              {MakeField("ID", TFieldType::I4), MakeField("SURNAME", TFieldType::String, 30)},
              rows);
}

QStringList Shuffled(QStringList names) {
    std::reverse(names.begin(), names.end());
    std::rotate(names.begin(), names.begin() + 5, names.end());
    return names;
}

} // namespace

TEST(Orderings, CzechNamesInBothDirectionsAndTheirSearches) {
    SetLanguageIndex(LangCzech);
    TClientTable table;
    FillSurnames(table, Shuffled(kCzechOrder));
    QStringList reversed = kCzechOrder;
    std::reverse(reversed.begin(), reversed.end());

    table.SetIndexFieldNames("SURNAME");
    EXPECT_EQ(Texts(table, "SURNAME"), kCzechOrder);
    table.SetIndexFieldNames("SURNAME DESC");
    EXPECT_EQ(Texts(table, "SURNAME"), reversed);
    table.AddIndex("SURNAME_ixd", "SURNAME", ixDescending | ixCaseInsensitive);
    table.SetIndexName("SURNAME_ixd");
    EXPECT_EQ(Texts(table, "SURNAME"), reversed) << "the grid's descending index";

    // Find as you type: the nearest row in the ascending order.
    table.SetIndexFieldNames("SURNAME");
    const QList<QPair<QString, QString>> landings = {
        {"nov", "Novák"}, {"Nem", "Němec"}, {"Če", "Černá"},    {"ch", "Chalupa"},
        {"H", "Hora"},    {"Ci", "Čapek"},  {"novák", "novák"}, {"ř", "Řezáč"}};
    for (const auto &[typed, found] : landings) {
        table.First();
        table.FindNearest({S(typed)});
        EXPECT_EQ(table.FieldByName("SURNAME").AsString(), found) << typed.toStdString();
    }
    EXPECT_TRUE(table.FindKey({S("novák")}));
    EXPECT_EQ(table.FieldByName("ID").Value(), I(Shuffled(kCzechOrder).indexOf("novák") + 1));
    EXPECT_TRUE(table.Locate("SURNAME", {S("Novák")}));
    EXPECT_EQ(table.FieldByName("SURNAME").AsString(), "Novák");
    table.SetIndexName("SURNAME_ixd");
    EXPECT_TRUE(table.FindKey({S("NOVÁK")})) << "the descending index ignores case";

    // Filters compare texts in the same order.
    table.SetIndexFieldNames("SURNAME");
    table.SetFiltered(true);
    table.SetFilter("SURNAME<'D'");
    EXPECT_EQ(Texts(table, "SURNAME"), QStringList({"Adam", "Čapek", "Černá"}));
    table.SetFilter("SURNAME>='ch' AND SURNAME<='Novák'");
    EXPECT_EQ(Texts(table, "SURNAME"), QStringList({"Chalupa", "Němec", "Novák"}));
    table.SetFilter("SURNAME>'Zeman' OR SURNAME='novák'");
    EXPECT_EQ(Texts(table, "SURNAME"), QStringList({"novák", "Žák"}));
}

TEST(Orderings, SlovakTextsFollowTheSlovakAlphabet) {
    const QStringList names = {"Ôsma", "Azúr", "Äbel", "Oto", "Adam", "Ozón"};
    const struct {
        int language;
        QStringList order;
    } cases[] = {
        {LangSlovak, {"Adam", "Azúr", "Äbel", "Oto", "Ozón", "Ôsma"}}, // ä and ô are letters
        {LangCzech, {"Äbel", "Adam", "Azúr", "Ôsma", "Oto", "Ozón"}},  // accents only
    };
    TClientTable table;
    FillSurnames(table, names);
    for (const auto &c : cases) {
        SetLanguageIndex(c.language);
        table.SetIndexFieldNames("");
        table.SetIndexFieldNames("SURNAME");
        EXPECT_EQ(Texts(table, "SURNAME"), c.order) << c.language;
    }
    SetLanguageIndex(LangCzech);
}

TEST(Orderings, IndexFieldNamesAndNamedIndexes) {
    TClientTable table;
    FillUsers(table);
    const struct {
        const char *fields;
        std::initializer_list<int> ids;
    } cases[] = {
        {"FULLNAME", {4, 2, 3, 6, 5, 1}}, // the language's order: letters, accents, then case
        {"CITY;USERTYPE DESC", {4, 1, 3, 6, 5, 2}},
        {"WHENCREATED", {5, 4, 2, 1, 6, 3}}, // nulls first
        {"WHENCREATED DESC", {3, 6, 1, 2, 4, 5}},
        {"usertype desc; IDUSER DESCENDING", {5, 3, 1, 2, 6, 4}},
        {"", {1, 2, 3, 4, 5, 6}},
    };
    for (const auto &c : cases) {
        table.SetIndexFieldNames(c.fields);
        EXPECT_EQ(Ids(table), IdList(c.ids)) << c.fields;
    }

    table.AddIndex("FULLNAME_ixd", "FULLNAME", ixDescending | ixCaseInsensitive);
    EXPECT_THROW(table.AddIndex("fullname_IXD", "FULLNAME", 0), AppError);
    table.SetIndexName("FULLNAME_ixd");
    EXPECT_EQ(table.IndexFieldNames(), "");
    EXPECT_EQ(Ids(table), IdList({1, 5, 6, 3, 2, 4}));
    table.SetIndexFieldNames("IDUSER");
    EXPECT_EQ(table.IndexName(), "") << "a field list replaces the selected index";
    EXPECT_THROW(table.SetIndexName("missing"), AppError);
    EXPECT_THROW(table.SetIndexFieldNames("NOSUCH"), AppError);
    EXPECT_EQ(table.IndexFieldNames(), "IDUSER");
}

TEST(Orderings, EditedRowsMoveToTheirPlace) {
    TClientTable table;
    FillUsers(table);
    table.SetIndexFieldNames("FULLNAME");
    table.First();
    table.Edit();
    table.FieldByName("FULLNAME").SetAsString("Zeman Adam");
    table.Post();
    EXPECT_EQ(table.FieldByName("IDUSER").Value(), I(4)) << "the edited row stays current";
    EXPECT_EQ(table.RecNo(), 6);
    table.AppendRecord({I(7), S("Aaron")});
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_EQ(Ids(table), IdList({7, 2, 3, 6, 5, 1, 4}));
}

TEST(Searches, NearestLandsOnTheFirstEqualOrFollowingRow) {
    TClientTable table;
    FillUsers(table);
    const struct {
        const char *index;
        TValue value;
        int id;
        bool exact;
    } cases[] = {
        {"IDUSER", I(3), 3, true},
        {"FULLNAME", S("B"), 3, false}, // after a missing value
        {"FULLNAME", S("Bílá Eva"), 3, true},
        {"FULLNAME", S("zzz"), 1, false},         // past the end: the last row
        {"WHENCREATED", S("3.1.2009"), 1, false}, // user text for a date field
        {"WHENCREATED DESC", S("3.1.2009"), 2, false},
        {"CITY;FULLNAME", S("Praha"), 2, true},
    };
    for (const auto &c : cases) {
        table.SetIndexFieldNames(c.index);
        table.First();
        table.FindNearest({c.value});
        EXPECT_EQ(table.FieldByName("IDUSER").Value(), I(c.id)) << c.index;
        table.First();
        EXPECT_EQ(table.FindKey({c.value}), c.exact) << c.index;
    }

    table.AddIndex("NAME_ci", "FULLNAME", ixDescending | ixCaseInsensitive);
    table.SetIndexName("NAME_ci");
    table.FindNearest({S("BÍLÝ")});
    EXPECT_EQ(table.FieldByName("IDUSER").Value(), I(3))
        << "descending, case-insensitive: follows Bílý";
    table.SetIndexFieldNames("");
    EXPECT_THROW(table.FindNearest({I(1)}), AppError);
}

TEST(Searches, LocateOnSeveralFieldsWithOptions) {
    const struct {
        const char *fields;
        QList<TValue> values;
        int options;
        int id; // 0: not found
    } cases[] = {
        {"IDUSER", {I(5)}, 0, 5},
        {"CITY;USERTYPE", {S("Praha"), I(4)}, 0, 5},
        {"CITY;USERTYPE", {S("Brno"), I(2)}, 0, 6},
        {"CITY;USERTYPE", {S("Brno"), I(3)}, 0, 0},
        {"FULLNAME", {S("bílá eva")}, 0, 0},
        {"FULLNAME", {S("bílá eva")}, loCaseInsensitive, 3},
        {"FULLNAME", {S("Adam")}, loPartialKey, 4},
        {"FULLNAME", {S("ADAME")}, loPartialKey | loCaseInsensitive, 2},
        {"CITY", {Null()}, 0, 4},
        {"WHENCREATED", {S("7.1.2009")}, 0, 6},
        {"IDUSER", {S("2")}, 0, 2},
    };
    // The same answers with and without an order that the search can use.
    for (const char *order : {"", "FULLNAME", "CITY", "IDUSER DESC"}) {
        TClientTable table;
        FillUsers(table);
        table.SetIndexFieldNames(order);
        for (const auto &c : cases) {
            table.Last();
            const TValue before = table.FieldByName("IDUSER").Value();
            const bool found = table.Locate(c.fields, c.values, c.options);
            EXPECT_EQ(found, c.id != 0) << c.fields << " order " << order;
            EXPECT_EQ(table.FieldByName("IDUSER").Value(), c.id ? I(c.id) : before)
                << c.fields << " order " << order;
        }
    }
}

TEST(Searches, LocateFindsTheFirstRowInTheCurrentOrderThroughTheFilter) {
    TClientTable table;
    FillUsers(table);
    table.SetIndexFieldNames("FULLNAME DESC");
    ASSERT_TRUE(table.Locate("CITY", {S("Brno")}));
    EXPECT_EQ(table.FieldByName("IDUSER").Value(), I(1));
    table.SetFilter("USERTYPE<>4");
    table.SetFiltered(true);
    ASSERT_TRUE(table.Locate("CITY", {S("Brno")}));
    EXPECT_EQ(table.FieldByName("IDUSER").Value(), I(6));
    EXPECT_FALSE(table.Locate("IDUSER", {I(1)}));
    EXPECT_THROW(table.Locate("CITY;USERTYPE", {S("Brno")}), AppError);
    EXPECT_THROW(table.Locate("NOSUCH", {S("Brno")}), AppError);
}
