// Building provider packets from the large school (seeded once into TELLAVO_BENCH_DATA, the
// folder bench_serverload uses): one student's timetable, about 7 000 rows and 2 MB of packet
// text, from the query to the packet text and to the zipped reply, and the query alone (its
// rows stepped through and not read), which is the database's share of the time. Figures are
// CPU time and megabytes of packet text per second of it.
#include "server/actions/actioncontext.h"
#include "server/centralserver.h"
#include "server/packets/freeslotcache.h"
#include "server/packets/providers.h"
#include "server/store/schooldatabase.h"

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
        m_other = std::make_unique<SchoolDatabase>(m_server->options().databaseFile);
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

    // With kept free slots, a student's timetable is made from them (as the server does).
    ActionContext context(bool kept = false) {
        return ActionContext{m_request,
                             m_session,
                             m_server->database(),
                             m_server->sessions(),
                             m_throttle,
                             m_server->options(),
                             m_server->clock(),
                             m_online,
                             kept ? &m_freeSlots : nullptr};
    }
    // A write through another connection, as another request thread's sign-in makes: every
    // other connection then reads its pages again.
    void writeElsewhere() {
        m_other->run(QStringLiteral("UPDATE SERVERINFO SET VALUE = VALUE WHERE NAME = 'x'"));
    }

private:
    std::unique_ptr<CentralServer> m_server;
    std::unique_ptr<SchoolDatabase> m_other;
    FreeSlotCache m_freeSlots;
    std::shared_ptr<const Session> m_session;
    ActionRequest m_request;
    LoginThrottle m_throttle{5, 30};
    OnlineClientIds m_online;
};

Fixture &School() {
    static Fixture fixture;
    return fixture;
}

QByteArray Packet(const QString &provider, PacketOutput::Mode mode, bool kept = false) {
    ActionContext ctx = School().context(kept);
    PacketOutput out(mode, mode == PacketOutput::Zipped ? "okzip" : "");
    WriteProviderPacket(ctx, provider, out);
    return out.finish();
}

QByteArray TimetablePacket(PacketOutput::Mode mode, bool kept = false) {
    return Packet(QStringLiteral("prov_timetable"), mode, kept);
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

// The zipped reply made from the kept free slots and the student's own rows.
void BM_TimetableZippedReplyFromKeptSlots(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(TimetablePacket(PacketOutput::Zipped, true).data());
    Report(state);
    state.counters["reply_kb"] = double(TimetablePacket(PacketOutput::Zipped, true).size()) / 1024;
    state.counters["reply_kb_whole"] = double(TimetablePacket(PacketOutput::Zipped).size()) / 1024;
}

// The student's own record with his statistics, zipped as in the sign-in reply; with
// state.range(0), after a write through another connection each time.
void BM_UserInfoPacket(benchmark::State &state) {
    for (auto _ : state) {
        if (state.range(0)) {
            state.PauseTiming();
            School().writeElsewhere();
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(Packet(QStringLiteral("prov_user_info"), PacketOutput::Zipped));
    }
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
BENCHMARK(BM_TimetableZippedReplyFromKeptSlots)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UserInfoPacket)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    School();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
