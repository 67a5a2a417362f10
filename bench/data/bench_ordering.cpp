// Text ordering, nearest search and text filters on a generated table of 100 000 rows: the
// costs that the collation of the user's language adds to the client table.
#include "data/clienttable.h"
#include "packetgenerator.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

const QByteArray &Packet() {
    static const QByteArray packet = GenerateBenchmarkPacket(kRows);
    return packet;
}

// A freshly loaded table, neither ordered nor filtered: nothing about its texts is known yet.
void LoadFresh(benchmark::State &state, TClientTable &table) {
    state.PauseTiming();
    table.Close();
    table.SetIndexFieldNames(QString());
    table.SetFilter(QString());
    table.LoadFromBytes(Packet());
    state.ResumeTiming();
}

} // namespace

// The first ordering of a freshly loaded table by a text column, ascending.
static void BM_FirstOrderByText(benchmark::State &state) {
    TClientTable table;
    for (auto _ : state) {
        LoadFresh(state, table);
        table.SetIndexFieldNames(QStringLiteral("NAME"));
        benchmark::DoNotOptimize(table.RecNo());
    }
}
BENCHMARK(BM_FirstOrderByText)->Unit(benchmark::kMillisecond);

// Orderings of one table switching between ascending and a descending named index, as title
// clicks on the same column do.
static void BM_ReorderByText(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet());
    table.AddIndex(QStringLiteral("NAME_ixd"), QStringLiteral("NAME"),
                   ixDescending | ixCaseInsensitive);
    int i = 0;
    for (auto _ : state) {
        if (i++ % 2)
            table.SetIndexName(QStringLiteral("NAME_ixd"));
        else
            table.SetIndexFieldNames(QStringLiteral("NAME"));
        benchmark::DoNotOptimize(table.RecNo());
    }
}
BENCHMARK(BM_ReorderByText)->Unit(benchmark::kMillisecond);

// One find-as-you-type step on the ordered text column.
static void BM_NearestOnText(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet());
    table.SetIndexFieldNames(QStringLiteral("NAME"));
    const QList<TValue> keys[] = {{TValue::FromText("nov")},
                                  {TValue::FromText("Nem")},
                                  {TValue::FromText("Če")},
                                  {TValue::FromText("Kučera Z")}};
    int i = 0;
    for (auto _ : state)
        table.FindNearest(keys[i++ % 4]);
    state.SetLabel("per search");
}
BENCHMARK(BM_NearestOnText);

// Filters that compare a text column by order, applied to every row. Arg(0) applies the
// filter to a freshly loaded table, Arg(1) to one whose texts were compared before.
static void BM_TextRangeFilter(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet());
    table.SetFiltered(true);
    int i = 0;
    for (auto _ : state) {
        if (state.range(0) == 0)
            LoadFresh(state, table);
        table.SetFilter(QStringLiteral("NAME>='Dvořák' AND NAME<'%1'")
                            .arg(i++ % 2 ? QStringLiteral("Novák") : QStringLiteral("Pokorný")));
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.counters["visible"] = table.RecordCount();
}
BENCHMARK(BM_TextRangeFilter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A text equality filter, which needs no ordering.
static void BM_TextEqualityFilter(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet());
    table.SetFiltered(true);
    int i = 0;
    for (auto _ : state) {
        table.SetFilter(QStringLiteral("NAME<>'Novák Jan %1'").arg(i++ % 1000));
        benchmark::DoNotOptimize(table.RecordCount());
    }
}
BENCHMARK(BM_TextEqualityFilter)->Unit(benchmark::kMillisecond);

// What a checked list over a large lookup builds: one condition per checked item, joined
// with OR (here 1 500 teachers of 3 000 checked, on a column holding ids 1 to 200).
static void BM_LongOrFilter(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet());
    table.SetFiltered(true);
    QString filter;
    for (int id = 1; id <= 3000; id += 2)
        filter += (filter.isEmpty() ? QStringLiteral("(") : QStringLiteral(" OR ")) +
                  QStringLiteral("IDTEACHER=%1").arg(id);
    filter += u')';
    int i = 0;
    for (auto _ : state) {
        try {
            table.SetFilter(filter + QStringLiteral(" AND HOURS>=%1").arg(i++ % 2));
        } catch (...) {
            state.SkipWithError("the filter is refused");
            break;
        }
        benchmark::DoNotOptimize(table.RecordCount());
    }
}
BENCHMARK(BM_LongOrFilter)->Unit(benchmark::kMillisecond);
