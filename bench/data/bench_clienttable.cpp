// Client table costs on generated packets of 10k, 100k and 1M rows: load, write, change
// set with null markers, filter, text ordering, key search, locate and a frozen walk.
#include "data/clienttable.h"
#include "data/nullmarkers.h"
#include "packetgenerator.h"

#include <benchmark/benchmark.h>
#include <map>
#include <random>

namespace {

const QByteArray &Packet(int rows) {
    static std::map<int, QByteArray> packets;
    auto it = packets.find(rows);
    if (it == packets.end())
        it = packets.emplace(rows, GenerateBenchmarkPacket(rows)).first;
    return it->second;
}

void Sizes(benchmark::internal::Benchmark *b) {
    b->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
}

} // namespace

// Peak memory of a load is measured by bench_packetmemory under /usr/bin/time -v.
static void BM_Load(benchmark::State &state) {
    const QByteArray &packet = Packet(int(state.range(0)));
    for (auto _ : state) {
        TClientTable table;
        table.LoadFromBytes(packet);
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.counters["packet_MB"] = double(packet.size()) / 1e6;
    state.SetBytesProcessed(state.iterations() * packet.size());
}
BENCHMARK(BM_Load)->Apply(Sizes);

static void BM_WriteFullPacket(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(table.DataPacket(TPacketEncoding::SingleByte));
}
BENCHMARK(BM_WriteFullPacket)->Apply(Sizes);

// Half the rows edited: a third of them null a field, the rest change a value.
static void BM_ChangeSetWithNullMarkers(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    table.DisableControls();
    int n = 0;
    for (table.First(); !table.Eof(); table.Next()) {
        if (n++ % 2)
            continue;
        table.Edit();
        if (n % 3 == 0)
            table.FieldByName("EMAIL").Clear();
        table.FieldByName("HOURS").SetAsInteger(n);
        table.Post();
    }
    table.EnableControls();
    for (auto _ : state)
        benchmark::DoNotOptimize(ChangeSetWithNullMarkers(table));
    state.counters["changes"] = table.ChangeCount();
}
BENCHMARK(BM_ChangeSetWithNullMarkers)->Apply(Sizes);

static void BM_Filter5Conditions(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    table.SetFiltered(true);
    int i = 0;
    for (auto _ : state) {
        // A new text each time, so that the filter is parsed and applied again.
        table.SetFilter(QStringLiteral("(IDTEACHER>=%1 AND IDTEACHER<150 OR HOURS IN (1,2,3)) AND "
                                       "PRICE<500+HOURS AND ACTIVE=TRUE AND NAME<>'Novák'")
                            .arg(10 + (i++ % 2)));
        benchmark::DoNotOptimize(table.RecordCount());
    }
    state.counters["visible"] = table.RecordCount();
}
BENCHMARK(BM_Filter5Conditions)->Apply(Sizes);

static void BM_OrderByText(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    int i = 0;
    for (auto _ : state) {
        table.SetIndexFieldNames(i++ % 2 ? QStringLiteral("NAME") : QStringLiteral("NAME DESC"));
        benchmark::DoNotOptimize(table.RecNo());
    }
}
BENCHMARK(BM_OrderByText)->Apply(Sizes);

static void BM_FindNearestOnText(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    table.SetIndexFieldNames("NAME");
    const QList<TValue> keys[] = {{TValue::FromText("Dvořák Jan 5")},
                                  {TValue::FromText("Kučera Z")},
                                  {TValue::FromText("Němec Eva 999")},
                                  {TValue::FromText("A")}};
    int i = 0;
    for (auto _ : state)
        table.FindNearest(keys[i++ % 4]);
    state.SetLabel("per search");
}
BENCHMARK(BM_FindNearestOnText)->Arg(10000)->Arg(100000)->Arg(1000000);

static void BM_LocateOnIndexedField(benchmark::State &state) {
    const int rows = int(state.range(0));
    TClientTable table;
    table.LoadFromBytes(Packet(rows));
    table.SetIndexFieldNames("ID");
    std::mt19937 random(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(table.Locate("ID", {TValue::FromInteger(1 + random() % rows)}));
    state.SetLabel("per search");
}
BENCHMARK(BM_LocateOnIndexedField)->Arg(10000)->Arg(100000)->Arg(1000000);

static void BM_LocateWithoutIndex(benchmark::State &state) {
    const int rows = int(state.range(0));
    TClientTable table;
    table.LoadFromBytes(Packet(rows));
    std::mt19937 random(7);
    for (auto _ : state)
        benchmark::DoNotOptimize(table.Locate("ID", {TValue::FromInteger(1 + random() % rows)}));
}
BENCHMARK(BM_LocateWithoutIndex)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond);

static void BM_FrozenWalk(benchmark::State &state) {
    TClientTable table;
    table.LoadFromBytes(Packet(int(state.range(0))));
    table.AfterScroll = [](TClientTable &) {};
    table.AddObserver([](TTableNotice, int) {});
    for (auto _ : state) {
        const TTableEvent saved = std::exchange(table.AfterScroll, TTableEvent());
        table.DisableControls();
        const TBookmark mark = table.GetBookmark();
        int count = 0;
        for (table.First(); !table.Eof(); table.Next())
            ++count;
        table.GotoBookmark(mark);
        table.EnableControls();
        table.AfterScroll = saved;
        benchmark::DoNotOptimize(count);
    }
}
BENCHMARK(BM_FrozenWalk)->Apply(Sizes);
