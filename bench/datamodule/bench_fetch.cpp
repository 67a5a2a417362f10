// Fetching a table from a loopback server with the remote-server component: the time of one
// Refresh of a table, from the request to the rows in place.
#include "data/clienttable.h"
#include "data/phpdbcon.h"
#include "loopbackhttpserver.h"
#include "wire/compression.h"
#include "packetgenerator.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

void fetch(benchmark::State &state, bool zipped) {
    const QByteArray packet = GenerateBenchmarkPacket(int(state.range(0)));
    const QByteArray body = zipped ? "okzip" + CompressText(packet, 1) : "ok" + packet;
    LoopbackHttpServer server;
    server.handler = [&body](const LoopbackRequest &) {
        LoopbackReply reply;
        reply.body = body;
        return reply;
    };
    server.start();
    TMybasePHPConnection connection;
    connection.URL = QStringLiteral("http://%1/tellavo/client.php").arg(server.hostAndPort());
    TClientTable table;
    table.SetProviderName(QStringLiteral("prov_bench"));
    table.SetRemoteServer(&connection);
    table.Open();
    for (auto _ : state)
        table.Refresh();
    state.counters["rows"] = double(table.RecordCount());
    state.SetBytesProcessed(int64_t(state.iterations()) * packet.size());
}

void BM_FetchPlain(benchmark::State &state) {
    fetch(state, false);
}
void BM_FetchZipped(benchmark::State &state) {
    fetch(state, true);
}
BENCHMARK(BM_FetchPlain)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FetchZipped)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
