// What one password hash costs on this machine: Argon2id at the server's default cost (and a
// stronger one for comparison) against the older PBKDF2-SHA256 form at 600 000 iterations.
#include "server/store/passwordhash.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Argon2idDefault(benchmark::State &state) {
    const QString stored = HashPassword("heslo", HashCost{});
    for (auto _ : state)
        benchmark::DoNotOptimize(VerifyPassword("heslo", stored));
}

void BM_Argon2id46MiBOnePass(benchmark::State &state) {
    const QString stored = HashPassword("heslo", HashCost{46 * 1024, 1, 1});
    for (auto _ : state)
        benchmark::DoNotOptimize(VerifyPassword("heslo", stored));
}

void BM_Pbkdf2Sha256At600000(benchmark::State &state) {
    const QString stored = HashPassword("heslo", 600000);
    for (auto _ : state)
        benchmark::DoNotOptimize(VerifyPassword("heslo", stored));
}

} // namespace

BENCHMARK(BM_Argon2idDefault)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Argon2id46MiBOnePass)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_Pbkdf2Sha256At600000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK_MAIN();
