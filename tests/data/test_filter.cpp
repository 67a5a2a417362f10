#include "data/clienttable.h"
#include "errors/apperror.h"
#include "tablefixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

namespace {

QList<TFieldDef> OrderFields() {
    return {MakeField("IDORDER", TFieldType::I4),         MakeField("ORDERSTATUS", TFieldType::I2),
            MakeField("WHENORDER", TFieldType::DateTime), MakeField("HOURSPAYED", TFieldType::R8),
            MakeField("HOURSLEARNED", TFieldType::R8),    MakeField("HOURSEXPIRED", TFieldType::I4),
            MakeField("CLIENT", TFieldType::String, 40),  MakeField("PAID", TFieldType::Boolean)};
}

void FillOrders(TClientTable &table) {
    FillTable(table, OrderFields(),
              {{I(1), I(1), DT(2009, 2, 28, 23, 59), F(10), F(4), I(0), S("Adam"), B(true)},
               {I(2), I(2), DT(2009, 3, 1), F(10), F(8), I(3), S("Bára"), B(false)},
               {I(3), I(3), DT(2009, 3, 1, 12), F(5), F(5), I(0), S("O'Hara"), B(true)},
               {I(4), I(4), DT(2009, 3, 2), F(2), Null(), I(1), Null(), Null()},
               {I(5), I(2), DT(2009, 4, 1), F(20), F(1), I(1), S("adam"), B(false)}});
}

QList<TValue> Ids(TClientTable &table) {
    return Column(table, "IDORDER");
}

} // namespace

TEST(Filter, ExpressionFormsSelectTheirRows) {
    const struct {
        const char *expression;
        std::initializer_list<int> ids;
    } cases[] = {
        {"ORDERSTATUS=2", {2, 5}},
        {"ORDERSTATUS<>2", {1, 3, 4}},
        {"ORDERSTATUS<2 OR ORDERSTATUS>=4", {1, 4}},
        {"orderstatus > 1 and OrderStatus <= 3", {2, 3, 5}},
        {"WHENORDER>='1.3.2009'", {2, 3, 4, 5}},
        {"WHENORDER<'1.3.2009'", {1}},
        {"WHENORDER>='1.3.2009' AND WHENORDER<'2.3.2009'", {2, 3}},
        {"WHENORDER = '1.3.2009 12:00'", {3}},
        {"HOURSPAYED<HOURSLEARNED+HOURSEXPIRED", {2}},
        {"HOURSPAYED>=HOURSLEARNED+HOURSEXPIRED+2", {1, 5}},
        {"(ORDERSTATUS=1 OR ORDERSTATUS=4) AND HOURSPAYED>5", {1}},
        {"ORDERSTATUS=1 OR ORDERSTATUS=4 AND HOURSPAYED>5", {1}},
        {"ORDERSTATUS IN (1, 3,4)", {1, 3, 4}},
        {"NOT (ORDERSTATUS IN (1,3))", {2, 4, 5}},
        {"CLIENT='adam'", {5}},
        {"CLIENT IN ('Adam','O''Hara')", {1, 3}},
        {"CLIENT<>'Adam'", {2, 3, 5}},
        {"CLIENT IS NULL", {4}},
        {"HOURSLEARNED IS NOT NULL AND PAID=TRUE", {1, 3}},
        {"HOURSPAYED > 4.5", {1, 2, 3, 5}},
        {"ORDERSTATUS > -1 AND ORDERSTATUS < 2", {1}},
    };
    TClientTable table;
    FillOrders(table);
    table.SetFiltered(true);
    for (const auto &c : cases) {
        table.SetFilter(c.expression);
        EXPECT_EQ(Ids(table), IdList(c.ids)) << c.expression;
        EXPECT_EQ(table.RecordCount(), int(c.ids.size())) << c.expression;
    }
    table.SetFiltered(false);
    EXPECT_EQ(table.RecordCount(), 5);
}

// A checked list over a large lookup joins one condition per checked item with OR: the chain
// is long but not deep, and long chains of AND are as well.
TEST(Filter, LongChainsWorkAndOnlyNestingIsLimited) {
    TClientTable table;
    FillOrders(table);
    table.SetFiltered(true);
    QStringList terms;
    for (int status = 3; status < 3 + 1500; ++status)
        terms.append(QStringLiteral("ORDERSTATUS=%1").arg(status));
    table.SetFilter("(" + terms.join(" OR ") + ") AND PAID=TRUE");
    EXPECT_EQ(Ids(table), IdList({3}));
    table.SetFilter("CLIENT='Bára' OR " + terms.join(" OR ") + " OR IDORDER=1");
    EXPECT_EQ(Ids(table), IdList({1, 2, 3, 4}));
    table.SetFilter(QStringList(QList<QString>(5000, "ORDERSTATUS<>1")).join(" AND "));
    EXPECT_EQ(Ids(table), IdList({2, 3, 4, 5}));

    const QString nested =
        QString("(").repeated(900) + "ORDERSTATUS=2" + QString(")").repeated(900);
    table.SetFilter(nested);
    EXPECT_EQ(Ids(table), IdList({2, 5}));
    EXPECT_THROW(
        table.SetFilter(QString("NOT (").repeated(60) + nested + QString(")").repeated(60)),
        AppError)
        << "nesting counts: parentheses and NOT";
}

TEST(Filter, DayFilterKeepsLateEveningAndDropsNextMidnight) {
    TClientTable table;
    FillTable(table, LessonFields(),
              {{I(1), I(1), DT(2009, 3, 3, 0, 0)},
               {I(2), I(1), DT(2009, 3, 3, 23, 30)},
               {I(3), I(1), DT(2009, 3, 4, 0, 0)},
               {I(4), I(1), DT(2009, 3, 2, 23, 59, 59, 999)}});
    table.SetFilter("(WHENHOUR>='3.3.2009' AND WHENHOUR<'4.3.2009')");
    table.SetFiltered(true);
    EXPECT_EQ(Column(table, "IDTIMETABLE"), (QList<TValue>{I(1), I(2)}));
}

TEST(Filter, MalformedExpressionIsAnErrorAndKeepsThePreviousFilter) {
    TClientTable table;
    FillOrders(table);
    table.SetFilter("ORDERSTATUS=2");
    table.SetFiltered(true);
    const char *const bad[] = {
        "ORDERSTATUS=",
        "ORDERSTATUS 2",
        "(ORDERSTATUS=2",
        "ORDERSTATUS=2)",
        "NOSUCHFIELD=1",
        "WHENORDER>='31.2.2009'",
        "WHENORDER>=1",
        "CLIENT='a",
        "CLIENT=1+2",
        "CLIENT=HOURSPAYED",
        "HOURSPAYED='abc'",
        "ORDERSTATUS IN ()",
        "ORDERSTATUS=2 AND",
        "ORDERSTATUS ? 2",
        "",
        "ORDERSTATUS=99999999999999999999",
        "ORDERSTATUS IN (1, -9999999999999999999)",
        "IDORDER+ORDERSTATUS<'18446744073709551616'",
    };
    const QString deep =
        QString("(").repeated(100000) + "ORDERSTATUS=2" + QString(")").repeated(100000);
    EXPECT_THROW(table.SetFilter(deep), AppError);
    EXPECT_THROW(table.SetFilter(QString("NOT ").repeated(100000) + "ORDERSTATUS=2"), AppError);
    for (const char *expression : bad) {
        if (!*expression)
            continue; // an empty filter is allowed: it shows everything
        EXPECT_THROW(table.SetFilter(expression), AppError) << expression;
        EXPECT_EQ(table.Filter(), "ORDERSTATUS=2") << expression;
        EXPECT_EQ(table.RecordCount(), 2) << expression;
    }
    table.SetFilter("");
    EXPECT_EQ(table.RecordCount(), 5);
}

TEST(Filter, FilterSetBeforeLoadingAppliesToTheLoadedRows) {
    TClientTable source;
    FillOrders(source);
    TClientTable table;
    table.SetFilter("PAID=FALSE");
    table.SetFiltered(true);
    table.LoadFromBytes(source.DataPacket());
    EXPECT_EQ(Ids(table), IdList({2, 5}));
    TClientTable sums; // a comparison of sums reads the loaded fields, not the ones parsed
    sums.SetFilter("HOURSPAYED<HOURSLEARNED+HOURSEXPIRED");
    sums.SetFiltered(true);
    sums.LoadFromBytes(source.DataPacket());
    EXPECT_EQ(Ids(sums), IdList({2}));

    // An edit that leaves the filter hides the row; an insert that matches shows.
    table.First();
    table.Edit();
    table.FieldByName("PAID").SetAsBoolean(true);
    table.Post();
    EXPECT_EQ(Ids(table), IdList({5}));
    table.AppendRecord({I(6), I(1), Null(), Null(), Null(), Null(), Null(), B(false)});
    EXPECT_EQ(Ids(table), IdList({5, 6}));
}

// Setting a filter posts a pending edit first; when the post is refused, the filter text
// stays what it was, so that setting the same text again applies it.
TEST(Filter, RefusedPostKeepsTheFilterTextAndItsRows) {
    TClientTable table;
    FillOrders(table);
    table.BeforePost = [](TClientTable &) { throw AppError("refused"); };
    table.Edit();
    table.FieldByName("CLIENT").SetAsString("Eva");
    EXPECT_THROW(table.SetFilter("ORDERSTATUS=2"), AppError);
    EXPECT_EQ(table.Filter(), "");
    table.Cancel();
    table.SetFilter("ORDERSTATUS=2");
    table.SetFiltered(true);
    EXPECT_EQ(Ids(table), IdList({2, 5}));
}

// Whole-number constants keep every digit: large keys differ only beyond a double's precision.
TEST(Filter, LargeWholeNumbersCompareExactly) {
    TClientTable table;
    FillTable(table, {MakeField("ID", TFieldType::I8)},
              {{I(9007199254740993)}, {I(9007199254740992)}, {I(-9007199254740993)}});
    table.SetFiltered(true);
    const struct {
        const char *expression;
        QList<TValue> ids;
    } cases[] = {
        {"ID = 9007199254740993", {I(9007199254740993)}},
        {"ID IN (9007199254740992)", {I(9007199254740992)}},
        {"ID > 9007199254740992", {I(9007199254740993)}},
        {"ID = -9007199254740993", {I(-9007199254740993)}},
        {"ID+0 = 9007199254740993", {I(9007199254740993)}},
    };
    for (const auto &c : cases) {
        table.SetFilter(c.expression);
        EXPECT_EQ(Column(table, "ID"), c.ids) << c.expression;
    }
}

// Sums of fields and constants never wrap around: they compare as the true sum would.
TEST(Filter, SumsBeyondTheIntegerRangeCompareAsTheirTrueValue) {
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    constexpr qint64 kMin = std::numeric_limits<qint64>::min();
    TClientTable table;
    FillTable(table, {MakeField("ID", TFieldType::I8)}, {{I(1)}, {I(kMax)}, {I(kMin)}});
    table.SetFiltered(true);
    const struct {
        const char *expression;
        QList<TValue> ids;
    } cases[] = {
        {"ID+9223372036854775807 > 0", {I(1), I(kMax)}},
        {"ID+ID > 0", {I(1), I(kMax)}},
        {"ID+ID < -9223372036854775807", {I(kMin)}},
        {"9223372036854775807+9223372036854775807 > ID", {I(1), I(kMax), I(kMin)}},
        {"ID = 9223372036854775807+1", {}},
        {"ID IN (9223372036854775807+1, -9223372036854775807+0)", {}},
        {"ID+1 = -9223372036854775807", {I(kMin)}},
    };
    for (const auto &c : cases) {
        table.SetFilter(c.expression);
        EXPECT_EQ(Column(table, "ID"), c.ids) << c.expression;
    }
}

// An error names the failing spot without copying a huge expression into the message.
TEST(Filter, ErrorMessageOfAHugeExpressionStaysShort) {
    TClientTable table;
    FillOrders(table);
    const QString huge = QStringList(QList<QString>(50000, "ORDERSTATUS=2")).join(" OR ") + " OR";
    const QString hugeName = "[" + QString(100000, 'x') + "]=1";
    for (const QString &expression : {huge, hugeName}) {
        try {
            table.SetFilter(expression);
            ADD_FAILURE() << "accepted";
        } catch (const AppError &e) {
            EXPECT_LT(e.message().size(), 400) << e.message().left(200).toStdString();
            EXPECT_THAT(e.message().toStdString(),
                        ::testing::HasSubstr("Invalid filter expression"));
        }
    }
}
