// Text boundary helpers: code-page conversion and name=value lookups.
#include "base/namevaluelist.h"
#include "lang/textutil.h"

#include <benchmark/benchmark.h>

static void BM_Win1250RoundTrip(benchmark::State &state) {
    const QString text =
        QString::fromUtf8("Příliš žluťoučký kůň úpěl ďábelské ódy. ").repeated(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(FromWin1250(ToWin1250(text)));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(BM_Win1250RoundTrip)->Arg(1000)->Arg(100000);

static void BM_NameValueLookup(benchmark::State &state) {
    QStringList lines;
    for (int i = 0; i < state.range(0); ++i)
        lines.append(QStringLiteral("Key%1=value %1").arg(i));
    const NameValueList list(lines);
    const QString last = QStringLiteral("key%1").arg(state.range(0) - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(list.value(last));
}
BENCHMARK(BM_NameValueLookup)->Arg(20)->Arg(1000);
