// The timetable screen as staff see it over the large school (100 000 lessons): the month
// colour map computed in one pass and, for comparison, by restricting the table to each of
// the 42 shown days in turn; a click on a day (restriction and list refresh, painted); a
// month change (colour map, restriction and list refresh, painted). The school is seeded
// once into TELLAVO_BENCH_DATA (default: a folder in the system's temporary folder, shared
// with bench_serverload); the staff's timetable and the lookups come from its sign-in and
// table fetch, as the program gets them.
#include "base/locations.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "globalservices.h"
#include "largeschool.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/month/monthcolourmap.h"
#include "screens/timetable/month/monthgrid.h"
#include "screens/timetable/tfrtimetable.h"
#include "screens/timetable/timetablefilter.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The screen signed in as staff, shown offscreen, on today's month.
struct Fixture {
    Fixture() {
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        SetLanguageIndex(LangCzech);
        LoadLargeSchool({QStringLiteral("prov_timetable")});
        screen.resize(1000, 600);
        screen.InitScreen();
        screen.show();
        screen.EnterScreen();
        QApplication::processEvents();
    }
    QTemporaryDir dir;
    Tfrtimetable screen{GlobalServices()};
};

// Made on first use; main frees it while the application object still lives.
Fixture *g_fixture = nullptr;

Fixture &fixture() {
    if (!g_fixture)
        g_fixture = new Fixture;
    return *g_fixture;
}

void settle() {
    QApplication::processEvents();
}

void BM_ColourMapOnePass(benchmark::State &state) {
    const TClientTable &t = dm().cd_timetable;
    const QDate month = fixture().screen.cal->Date();
    TMonthColourMap map;
    for (auto _ : state)
        map.Compute(t, month);
    state.counters["lessons"] = double(t.RecordCount());
}

// The same map by restricting the table to each shown day and walking its rows.
void BM_ColourMapByDayRestriction(benchmark::State &state) {
    TClientTable &t = dm().cd_timetable;
    const QDate month = fixture().screen.cal->Date();
    const int status = t.FieldIndex(QStringLiteral("TIMETABLESTATUS"));
    std::array<int, MonthGrid::kCells> values{};
    t.DisableControls();
    for (auto _ : state) {
        for (int cell = 0; cell < MonthGrid::kCells; ++cell) {
            t.SetFilter(DayFilterText(MonthGrid::CellDate(month, cell)));
            t.SetFiltered(true);
            int value = TMonthColourMap::kNoLesson;
            for (int pos = 0; pos < t.VisibleRowCount(); ++pos) {
                const int s = int(t.ValueAt(pos, status).toInteger());
                value = pos == 0 ? s : value == s ? value : TMonthColourMap::kMixed;
            }
            values[size_t(cell)] = value;
        }
        benchmark::DoNotOptimize(values);
    }
    t.EnableControls();
    fixture().screen.RecomputeCalendar();
}

// A click on another day of the month: the list is restricted to it and painted again.
void BM_DayClick(benchmark::State &state) {
    Tfrtimetable &screen = fixture().screen;
    const QDate first = screen.cal->Date();
    int step = 0;
    for (auto _ : state) {
        const QDate day(first.year(), first.month(), 1 + (step++ % 28));
        screen.cal->SetDate(day);
        settle();
    }
    state.counters["listed"] = double(dm().cd_timetable.RecordCount());
}

// The next or previous month: colour map, restriction and list, painted.
void BM_MonthChange(benchmark::State &state) {
    Tfrtimetable &screen = fixture().screen;
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            screen.cal->NextMonth();
        else
            screen.cal->PriorMonth();
        forward = !forward;
        settle();
    }
}

// Only the restriction of the table to a day (no list refresh).
void BM_DayRestriction(benchmark::State &state) {
    TClientTable &t = dm().cd_timetable;
    const QDate first = fixture().screen.cal->Date();
    t.DisableControls();
    int step = 0;
    for (auto _ : state) {
        t.SetFilter(DayFilterText(QDate(first.year(), first.month(), 1 + (step++ % 28))));
        t.SetFiltered(true);
    }
    t.EnableControls();
    fixture().screen.RecomputeCalendar();
}

} // namespace

BENCHMARK(BM_ColourMapOnePass)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourMapByDayRestriction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayRestriction)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayClick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MonthChange)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_fixture;
    return 0;
}
