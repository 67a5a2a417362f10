// The grid frame over a generated 100 000-row pupils table: a cell of the model, a sort by a
// title click, and the record count over 100 000 filtered rows (with the grid attached).
#include "gridfixture.h"

#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "grid/gridframe.h"
#include "grid/gridmodel.h"
#include "grid/recordwalk.h"

#include <QApplication>
#include <QRandomGenerator>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr int kRows = 100000;

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_grid";
    static char *argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        UseTemporaryDataFolder();
        return std::make_unique<QApplication>(argc, argv);
    }();
}

// A frame bound to a generated table, shown offscreen as a list screen would show it.
struct FrameOverTable {
    TClientTable table{"cd_pupils"};
    TDataSource source{&table, nullptr};
    Tfrg frame;
    explicit FrameOverTable(int rows) {
        FillLargePupils(table, rows);
        frame.gr->SetColumns(PupilColumns());
        frame.resize(900, 600);
        frame.init(&source, nullptr, QStringLiteral("bench_grid"));
        frame.show();
        QApplication::processEvents();
    }
};

void BM_ModelCell(benchmark::State &state) {
    EnsureApplication();
    FrameOverTable f(kRows);
    TGridModel *model = f.frame.gr->GridModel();
    QRandomGenerator random(1);
    const int column = int(state.range(0));
    for (auto _ : state) {
        const QModelIndex index = model->index(random.bounded(kRows), column);
        benchmark::DoNotOptimize(model->data(index, Qt::DisplayRole));
    }
    state.SetLabel(model->Columns()[column].fieldName.toStdString());
}
// A random cell of one column: integer, text, date and time, memo.
BENCHMARK(BM_ModelCell)->Arg(0)->Arg(1)->Arg(3)->Arg(4);

// One title click alternating between two columns, so every click sorts; Arg(1) sorts
// descending, by the named indexes (created on the first clicks, then reused).
void BM_SortByTitleClick(benchmark::State &state) {
    EnsureApplication();
    FrameOverTable f(kRows);
    if (state.range(0) == 1)
        f.frame.SortBy(1, true);
    int column = 2;
    for (auto _ : state) {
        f.frame.grTitleClick(column);
        QApplication::processEvents();
        column = column == 1 ? 2 : 1;
    }
    state.SetLabel(state.range(0) == 1 ? "descending" : "ascending");
}
BENCHMARK(BM_SortByTitleClick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The record count of 100 000 rows that pass a filter (out of 200 000).
void BM_RecordCountFiltered(benchmark::State &state) {
    EnsureApplication();
    FrameOverTable f(2 * kRows);
    f.table.SetFilter(QStringLiteral("ID>%1").arg(kRows));
    f.table.SetFiltered(true);
    int count = 0;
    for (auto _ : state) {
        count = CountRecords(f.table);
        QApplication::processEvents();
    }
    if (count != kRows)
        state.SkipWithError("wrong count");
}
BENCHMARK(BM_RecordCountFiltered)->Unit(benchmark::kMillisecond);

} // namespace
