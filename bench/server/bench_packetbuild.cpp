// Building provider packets from the large school (seeded once into TELLAVO_BENCH_DATA, the
// folder bench_serverload uses): one student's timetable, about 7 000 rows and 2 MB of packet
// text, from the query to the packet text and to the zipped reply. Figures are CPU time and
// megabytes of packet text per second of it.
#include "net/compression.h"
#include "server/actioncontext.h"
#include "server/centralserver.h"
#include "server/providers.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

// The seeded school and a signed-in student, for the whole program.
class Fixture {
public:
    Fixture() {
        ServerOptions options;
        options.dataFolder = qEnvironmentVariable(
            "TELLAVO_BENCH_DATA", QDir::tempPath() + QStringLiteral("/tellavo-bench-large"));
        options.seed = QStringLiteral("large");
        options.threads = 1;
        m_server = std::make_unique<CentralServer>(options);
        m_server->start();
        Session s;
        s.userId = m_server->database()
                       .scalar(QStringLiteral("SELECT IDUSER FROM USERS WHERE LOGINNAME = ?"),
                               {QStringLiteral("student0101")})
                       .toLongLong();
        s.userType = 4;
        s.jobId = 2;
        s.envLang = 2;
        m_session = std::make_shared<const Session>(s);
    }

    ActionContext context() {
        return ActionContext{
            m_request,  m_session,           m_server->database(), m_server->sessions(),
            m_throttle, m_server->options(), m_server->clock(),    m_online};
    }

private:
    std::unique_ptr<CentralServer> m_server;
    std::shared_ptr<const Session> m_session;
    ActionRequest m_request;
    LoginThrottle m_throttle{5, 30};
    OnlineClientIds m_online;
};

Fixture &School() {
    static Fixture fixture;
    return fixture;
}

QByteArray TimetablePacket() {
    ActionContext ctx = School().context();
    return FetchProvider(ctx, QStringLiteral("prov_timetable")).packet();
}

void Report(benchmark::State &state, qsizetype packetBytes) {
    state.SetBytesProcessed(state.iterations() * packetBytes);
    state.counters["packet_kb"] = double(packetBytes) / 1024;
}

// From the query to the packet text.
void BM_TimetablePacket(benchmark::State &state) {
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray packet = TimetablePacket();
        bytes = packet.size();
        benchmark::DoNotOptimize(packet.data());
    }
    Report(state, bytes);
}

// From the query to the zipped reply the client receives.
void BM_TimetableZippedReply(benchmark::State &state) {
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray packet = TimetablePacket();
        bytes = packet.size();
        const QByteArray reply = CompressText(packet, 2);
        benchmark::DoNotOptimize(reply.data());
    }
    Report(state, bytes);
}

} // namespace

BENCHMARK(BM_TimetablePacket)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimetableZippedReply)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    School();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
