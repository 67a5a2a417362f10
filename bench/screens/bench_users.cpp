// The users screen as staff see it over the large school (5 000 users, 100 000 lessons,
// 50 000 orders): one move to another user, which filters the orders, timetable, sign-ins and
// e-mails of the four tabs for him (all four bound, the timetable tab shown).
#include "base/locations.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "globalservices.h"
#include "largeschool.h"
#include "screens/users/tfrusers.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The screen with every tab bound, shown offscreen.
struct Fixture {
    Fixture() {
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        SetLanguageIndex(LangCzech);
        LoadLargeSchool({QStringLiteral("prov_user"), QStringLiteral("prov_order"),
                         QStringLiteral("prov_timetable"), QStringLiteral("prov_login"),
                         QStringLiteral("prov_msg")});
        screen.resize(1000, 700);
        screen.InitScreen();
        screen.show();
        screen.EnterScreen();
        for (int tab :
             {Tfrusers::OrdersTab, Tfrusers::LoginTab, Tfrusers::MsgTab, Tfrusers::TimetableTab})
            screen.pgc->setCurrentIndex(tab);
        QApplication::processEvents();
    }
    QTemporaryDir dir;
    Tfrusers screen{GlobalServices()};
};

Fixture *g_fixture = nullptr;

Fixture &fixture() {
    if (!g_fixture)
        g_fixture = new Fixture;
    return *g_fixture;
}

// Moves between two students and two teachers in turn, the lists painted after each move.
void BM_UserChange(benchmark::State &state) {
    Fixture &f = fixture();
    TClientTable &users = dm().cd_user;
    const int count = users.RecordCount();
    int step = 0;
    for (auto _ : state) {
        users.SetRecNo(1 + (step++ * 997) % count);
        QApplication::processEvents();
    }
    state.counters["users"] = count;
    state.counters["lessons_listed"] = dm().cd_timetable.RecordCount();
    (void)f;
}
BENCHMARK(BM_UserChange)->Unit(benchmark::kMillisecond);

} // namespace

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
