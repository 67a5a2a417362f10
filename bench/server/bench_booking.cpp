// The booking features on the large school (5 000 users, 100 000 lessons), seeded once into a
// folder of its own (TELLAVO_BENCH_DATA with "-booking" added), since the reminders write to
// it: the reminder sweep the server runs every minute once the due reminders are out (the
// steady state), a teacher's calendar feed from the query to the iCalendar text, and the text
// alone for a year of one teacher's lessons. Figures are CPU time per run.
#include "server/booking/lessoncalendar.h"
#include "server/booking/reminders.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

class Fixture {
public:
    Fixture() {
        ServerOptions options;
        options.dataFolder =
            qEnvironmentVariable("TELLAVO_BENCH_DATA",
                                 QDir::tempPath() + QStringLiteral("/tellavo-bench-large")) +
            QStringLiteral("-booking");
        options.seed = QStringLiteral("large");
        options.threads = 1;
        m_server = std::make_unique<CentralServer>(options);
        m_server->start();
        SendDueReminders(db(), m_server->options(), now()); // what is due now goes out once
        m_teacher = db().scalar(QStringLiteral("SELECT IDTEACHER FROM TIMETABLE WHERE"
                                               " TIMETABLESTATUS IN (2, 3) GROUP BY IDTEACHER"
                                               " ORDER BY COUNT(*) DESC LIMIT 1"))
                        .toLongLong();
    }
    SchoolDatabase &db() { return m_server->database(); }
    const ServerOptions &options() { return m_server->options(); }
    QDateTime now() { return m_server->clock().now(); }
    qint64 teacher() const { return m_teacher; }

private:
    std::unique_ptr<CentralServer> m_server;
    qint64 m_teacher = 0;
};

Fixture &fixture() {
    static Fixture f;
    return f;
}

void BM_ReminderSweepSteadyState(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(SendDueReminders(f.db(), f.options(), f.now()));
}

void BM_TeacherFeed(benchmark::State &state) {
    Fixture &f = fixture();
    qint64 lessons = 0, bytes = 0;
    for (auto _ : state) {
        const QList<CalendarLesson> list = FeedLessons(f.db(), f.teacher(), true, f.now());
        const QByteArray text = LessonCalendarText(list, CalendarMethod::Publish, false, 2,
                                                   QStringLiteral("x"), f.now());
        lessons = list.size();
        bytes = text.size();
    }
    state.counters["lessons"] = double(lessons);
    state.counters["bytes"] = double(bytes);
}

void BM_FeedTextOfAYear(benchmark::State &state) {
    const QDateTime start(QDate(2026, 1, 5), QTime(9, 0));
    QList<CalendarLesson> lessons;
    for (int i = 0; i < 2000; ++i)
        lessons.append({i + 1, start.addSecs(qint64(i) * 4 * 3600), 1, 3,
                        QStringLiteral("Svobodová Petra"), QStringLiteral("Novák; Jan, \"ml.\"")});
    for (auto _ : state)
        benchmark::DoNotOptimize(LessonCalendarText(lessons, CalendarMethod::Publish, true, 2,
                                                    QStringLiteral("x"), start));
    state.SetItemsProcessed(state.iterations() * lessons.size());
}

BENCHMARK(BM_ReminderSweepSteadyState)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_TeacherFeed)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FeedTextOfAYear)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
