// Building provider packets from the large school (seeded once into TELLAVO_BENCH_DATA, the
// folder bench_serverload uses): one student's timetable, about 7 000 rows and 2 MB of packet
// text, from the query to the packet text and to the zipped reply, and the query alone (its
// rows stepped through and not read), which is the database's share of the time. Figures are
// CPU time and megabytes of packet text per second of it.
#include "server/actioncontext.h"
#include "server/centralserver.h"
#include "server/providers.h"

#include <QCoreApplication>
#include <QDir>
#include <QSqlQuery>
#include <QSqlResult>
#include <benchmark/benchmark.h>
#include <memory>
#include <sqlite3.h>

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

QByteArray TimetablePacket(PacketOutput::Mode mode) {
    ActionContext ctx = School().context();
    PacketOutput out(mode, mode == PacketOutput::Zipped ? "okzip" : "");
    WriteProviderPacket(ctx, QStringLiteral("prov_timetable"), out);
    return out.finish();
}

qsizetype PacketBytes() {
    static const qsizetype bytes = TimetablePacket(PacketOutput::Plain).size();
    return bytes;
}

void Report(benchmark::State &state) {
    state.SetBytesProcessed(state.iterations() * PacketBytes());
    state.counters["packet_kb"] = double(PacketBytes()) / 1024;
}

// Steps through the rows of the provider's query without reading them.
class StepOnly : public PacketRows {
public:
    void begin(const QList<TFieldDef> &) override {}
    void addRows(QSqlQuery &query, const QueryRowOptions &) override {
        const QVariant handle = query.result()->handle();
        auto *statement = *static_cast<sqlite3_stmt *const *>(handle.constData());
        if (query.next()) {
            while (sqlite3_step(statement) == SQLITE_ROW)
                ++rows;
        }
    }
    void beginRow() override {}
    void set(int, const TValue &) override {}
    void endRow() override {}
    int rows = 0;
};

// From the query to the packet text.
void BM_TimetablePacket(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(TimetablePacket(PacketOutput::Plain).data());
    Report(state);
}

// From the query to the zipped reply the client receives.
void BM_TimetableZippedReply(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(TimetablePacket(PacketOutput::Zipped).data());
    Report(state);
}

// The query alone.
void BM_TimetableQueryOnly(benchmark::State &state) {
    for (auto _ : state) {
        ActionContext ctx = School().context();
        StepOnly rows;
        FetchProvider(ctx, QStringLiteral("prov_timetable"), rows);
        benchmark::DoNotOptimize(rows.rows);
    }
    Report(state);
}

} // namespace

BENCHMARK(BM_TimetablePacket)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimetableZippedReply)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimetableQueryOnly)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    School();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
