// Exports of the large school's timetable (5 000 users, 100 000 lessons): CSV and HTML of
// 100 000 rows, Excel of 65 000 rows, and the report of 10 000 rows as PDF and as preview
// pages. Files go to /dev/shm (tmpfs). The school is seeded once into TELLAVO_BENCH_DATA
// (default: a folder in the system's temporary folder, shared with the server benchmark).
#include "data/clienttable.h"
#include "wire/packetwriter.h"
#include "grid/standardformats.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "output/formats/dboutputcsv.h"
#include "output/formats/dboutputhtml.h"
#include "output/report/dboutputprint.h"
#include "output/formats/dboutputxls.h"
#include "output/formats/dboutputxlsx.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpages.h"
#include "output/report/reportpainter.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

const QString kFolder = QStringLiteral("/dev/shm");

// The timetable as the staff of the large school fetch it, with the lists' display formats.
TClientTable &Timetable() {
    static TClientTable table;
    if (table.Active())
        return table;
    ServerHarness server([](ServerOptions &options) {
        options.dataFolder = qEnvironmentVariable(
            "TELLAVO_BENCH_DATA", QDir::tempPath() + QStringLiteral("/tellavo-bench-large"));
        options.seed = QStringLiteral("large");
        options.databaseFile.clear();
    });
    const QString session = server.signIn(QStringLiteral("manazer0002"), QStringLiteral("heslo"));
    table.LoadFromBytes(
        WriteDataPacket(server.table(session, "prov_timetable"), TPacketEncoding::Utf8));
    for (int f = 0; f < table.FieldCount(); ++f)
        ApplyStandardFormats(table.FieldDef(f));
    return table;
}

// The first rows of the timetable as a table of their own.
TClientTable &FirstRows(int rows) {
    static QHash<int, TClientTable *> tables;
    if (tables.contains(rows))
        return *tables[rows];
    TClientTable &all = Timetable();
    auto *table = new TClientTable;
    table->CreateDataSet(all.FieldDefs());
    for (int pos = 0; pos < rows && pos < all.RecordCount(); ++pos) {
        QList<TValue> values;
        for (int f = 0; f < all.FieldCount(); ++f)
            values.append(all.ValueAt(pos, f));
        table->AppendRecord(values);
    }
    table->MergeChangeLog();
    table->First();
    tables[rows] = table;
    return *table;
}

template <typename Export>
void run(benchmark::State &state, TClientTable &table, const QString &file, Export &&exportOnce) {
    ScriptedSeam seam;
    for (auto _ : state) {
        seam.fileAnswers.enqueue(kFolder + u'/' + file);
        seam.boxAnswers.enqueue(mrCancel);
        exportOnce(table);
    }
    state.counters["rows"] = double(table.RecordCount());
    state.counters["MB"] = double(QFile(kFolder + u'/' + file).size()) / 1e6;
    QFile::remove(kFolder + u'/' + file);
}

void BM_Csv(benchmark::State &state) {
    run(state, Timetable(), QStringLiteral("bench.csv"),
        [](TClientTable &t) { Tdboutput_csv().Execute(t, {}, true, true); });
}

void BM_Html(benchmark::State &state) {
    run(state, Timetable(), QStringLiteral("bench.html"), [](TClientTable &t) {
        Tdboutput_html().Execute(t, {}, QStringLiteral("Rozvrh"), QString(), true, true, true);
    });
}

void BM_Excel(benchmark::State &state) {
    run(state, FirstRows(65000), QStringLiteral("bench.xls"),
        [](TClientTable &t) { Tdboutput_xls().Execute(t, {}, true, true); });
}

void BM_Xlsx(benchmark::State &state) {
    run(state, FirstRows(100000), QStringLiteral("bench.xlsx"), [](TClientTable &t) {
        Tdboutput_xlsx().Execute(t, {}, true, QStringLiteral("Rozvrh"), QString(), true, true,
                                 true);
    });
}

Tdboutputsfields reportItems() {
    Tdboutputsfields items;
    for (const char *name :
         {"WHENHOUR", "HOURS", "TEACHERFULLNAME", "CLIENTFULLNAME", "STATUSNAME_L"})
        items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString(), 120,
                                     QByteArray(name) == "HOURS"});
    return items;
}

void BM_Pdf(benchmark::State &state) {
    run(state, FirstRows(10000), QStringLiteral("bench.pdf"), [](TClientTable &t) {
        Tdboutput_print().Execute(t, reportItems(), 0, TReportTarget::Pdf, true, true, QString(),
                                  QStringLiteral("Rozvrh"), false);
    });
}

void BM_PreviewPages(benchmark::State &state) {
    TClientTable &table = FirstRows(10000);
    Tdboutputsfields items = reportItems();
    Tdboutputs::PrepareItems(table, items);
    TReportRequest request;
    request.title = QStringLiteral("Rozvrh");
    const TReportDefinition d =
        BuildReportDefinition(table, items, request, ReportMediaFor(nullptr, roPortrait));
    qsizetype pages = 0;
    for (auto _ : state)
        pages = GenerateReportPages(d, table, ReportLineHeight(), {}, ReportLineCount).size();
    state.counters["pages"] = double(pages);
}

BENCHMARK(BM_Csv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Html)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Excel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Xlsx)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PreviewPages)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetLanguageIndex(LangCzech);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
