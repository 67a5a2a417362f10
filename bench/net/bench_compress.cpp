// Throughput of the zlib helpers on a data packet of realistic shape (100 000 rows).
#include "wire/compression.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray packet() {
    static const QByteArray text = [] {
        QByteArray t = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATAPACKET Version=\"2.0\">"
                       "<ROWDATA>";
        for (int i = 0; i < 100000; ++i) {
            t += "<ROW IDTIMETABLE=\"" + QByteArray::number(i) + "\" IDUSER=\"" +
                 QByteArray::number(i % 977) + "\" WHENHOUR=\"2026-01-" +
                 QByteArray::number(10 + i % 18) + "T" + QByteArray::number(8 + i % 12) +
                 ":00:00\" STATUS=\"" + QByteArray::number(i % 4) + "\" NOTE_L=\"Lekce " +
                 QByteArray::number(i % 40) + "\"/>";
        }
        return t + "</ROWDATA></DATAPACKET>";
    }();
    return text;
}

void BM_DecompressText(benchmark::State &state) {
    const QByteArray stream = CompressText(packet(), int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DecompressText(stream));
    state.SetBytesProcessed(state.iterations() * packet().size());
    state.counters["ratio"] = double(packet().size()) / double(stream.size());
}
BENCHMARK(BM_DecompressText)->Arg(2)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

void BM_CompressText(benchmark::State &state) {
    const QByteArray text = packet();
    for (auto _ : state)
        benchmark::DoNotOptimize(CompressText(text, int(state.range(0))));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_CompressText)->Arg(0)->Arg(2)->Arg(6)->Arg(9)->Unit(benchmark::kMillisecond);

} // namespace
