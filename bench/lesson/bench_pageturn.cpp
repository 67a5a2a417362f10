// How long a turn to the next page of an image book takes on the lesson screen of the real
// program against the reference server on loopback: with the next page fetched ahead (its
// files already on disk when the page is turned to) and without (the page downloads in the
// progress dialog first). Each turn is timed from the click until the page is shown.
#include "screenfixture.h"

#include "app/tfmain.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/screen/tfrlearn.h"

#include <QApplication>
#include <QDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// The program signed in as the demo student, on the lesson screen at the first book's first
// page.
class LessonProgram : public ScreenFixture {
public:
    LessonProgram() {
        SetUp();
        signIn(QStringLiteral("klient"));
        clickMain("im_learn");
    }
    ~LessonProgram() override { TearDown(); }
    void TestBody() override {}

    Tfrlearn &screen() { return *static_cast<Tfrlearn *>(app->mainWindow()->screen(u"learn")); }
    // Back to the first page once the last one is reached (not timed).
    void wrap() {
        const tbook *book = screen().CurrentBook();
        if (screen().CurrentPage() < book->lastPage)
            return;
        while (screen().CurrentPage() > book->firstPage)
            screen().sbpriorClick();
    }
    void waitForFetchAhead() {
        if (!QTest::qWaitFor([this] { return !screen().Prefetch().IsRunning(); }, 15000))
            qWarning("fetching ahead did not end within 15 s");
    }
    void forgetBookFiles() {
        QDir(BookCatalogue::BookFolder(screen().CurrentBook()->number)).removeRecursively();
    }
};

QApplication &application() {
    static int argc = 1;
    static char name[] = "bench_pageturn";
    static char *argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

void BM_TurnWithFetchAhead(benchmark::State &state) {
    application();
    LessonProgram program;
    for (auto _ : state) {
        state.PauseTiming();
        program.wrap();
        program.waitForFetchAhead();
        state.ResumeTiming();
        program.screen().sbNextClick();
    }
}
BENCHMARK(BM_TurnWithFetchAhead)->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_TurnWithoutFetchAhead(benchmark::State &state) {
    application();
    LessonProgram program;
    program.screen().SetPrefetchNextPage(false);
    for (auto _ : state) {
        state.PauseTiming();
        program.wrap();
        program.forgetBookFiles();
        state.ResumeTiming();
        program.screen().sbNextClick();
    }
}
BENCHMARK(BM_TurnWithoutFetchAhead)->Unit(benchmark::kMillisecond)->Iterations(60);

} // namespace
