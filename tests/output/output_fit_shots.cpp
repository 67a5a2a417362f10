// Pictures of a wide list in the print preview, portrait and landscape, and of the output
// dialog's format choices (not a test): output_fit_shots FOLDER.
#include "grid/controls/datasource.h"
#include "grid/dbgridex.h"
#include "lang/texts.h"
#include "net/settings/cfghandler.h"
#include "output/dboutputs.h"
#include "output/outputprogress.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpainter.h"
#include "output/report/tfrextprev.h"
#include "output/tfdboutput.h"
#include "outputfixture.h"

#include <QApplication>
#include <QMenu>
#include <QPrinter>
#include <QTemporaryDir>

namespace {

// An orders-like list of nine columns with large amounts and long states.
void fillOrders(TClientTable &table) {
    table.CreateDataSet({MakeField(QStringLiteral("IDORDER"), TFieldType::I4),
                         MakeField(QStringLiteral("CLIENT"), TFieldType::String, 60),
                         MakeField(QStringLiteral("WHENORDER"), TFieldType::DateTime),
                         MakeField(QStringLiteral("HOURS"), TFieldType::R8),
                         MakeField(QStringLiteral("AMOUNT"), TFieldType::R8),
                         MakeField(QStringLiteral("VARSYMBOL"), TFieldType::String, 20),
                         MakeField(QStringLiteral("STATE"), TFieldType::String, 60),
                         MakeField(QStringLiteral("COURSE"), TFieldType::String, 60),
                         MakeField(QStringLiteral("NOTE"), TFieldType::String, 200)});
    table.FieldDef(3).displayFormat = QStringLiteral("#,##0.00");
    table.FieldDef(4).displayFormat = QStringLiteral("#,##0.00");
    for (int i = 0; i < 60; ++i)
        table.AppendRecord(
            {TValue::FromInteger(20260000 + i), TValue::FromText(QStringLiteral("Žofie Fialová")),
             TValue::FromDateTime(QDateTime(QDate(2026, 1, 1 + i % 28), QTime(9, 30))),
             TValue::FromFloat(28.235 + i), TValue::FromFloat(5110448.33 + i),
             TValue::FromText(QStringLiteral("%1").arg(7700012345LL + i)),
             TValue::FromText(QStringLiteral("Zaplacená a vyfakturovaná")),
             TValue::FromText(QStringLiteral("Angličtina pro pokročilé B2")),
             TValue::FromText(QStringLiteral("Platba převodem, faktura odeslána e-mailem."))});
    table.MergeChangeLog();
    table.First();
}

Tdboutputsfields orderItems() {
    Tdboutputsfields items;
    const std::tuple<const char *, const char *, int, bool> columns[] = {
        {"IDORDER", "Číslo objednávky", 70, false},  {"CLIENT", "Klient", 140, false},
        {"WHENORDER", "Datum objednávky", 110, false}, {"HOURS", "Hodin", 50, true},
        {"AMOUNT", "Částka", 80, true},              {"VARSYMBOL", "Variabilní symbol", 90, false},
        {"STATE", "Stav", 110, false},               {"COURSE", "Kurz", 150, false},
        {"NOTE", "Poznámka", 200, false}};
    for (const auto &[name, label, width, summed] : columns)
        items.append(Tdboutputsfield{QString::fromLatin1(name), -1, QString::fromUtf8(label),
                                     width, summed});
    return items;
}

} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    SetLanguageIndex(LangCzech);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    TClientTable table;
    fillOrders(table);
    QPrinter printer;
    TNoOutputProgress progress;
    for (const auto &[orientation, name] :
         {std::pair{int(roPortrait), "portrait"}, {int(roLandscape), "landscape"}}) {
        Tdboutputsfields items = orderItems();
        if (orientation == roPortrait)
            items.append(orderItems().mid(6)); // wider than any page: a note
        Tdboutputs::PrepareItems(table, items);
        TReportRequest request;
        request.name = QStringLiteral("Tellavo - Objednávky");
        request.title = QStringLiteral("Objednávky");
        request.filterText = QStringLiteral("Stav: všechny");
        const TReportDefinition d =
            BuildReportDefinition(table, items, request, ReportMediaFor(nullptr, orientation));
        Tfrextprev preview(d, table, printer, progress);
        preview.resize(1100, 800);
        preview.show();
        preview.GeneratePages();
        preview.SetZoom(100);
        QApplication::processEvents();
        preview.grab().save(folder + QStringLiteral("/preview-%1.png").arg(QLatin1String(name)));
    }
    QTemporaryDir dir;
    TFileCfgHandler store(dir.path());
    TDataSource source;
    source.SetDataSet(&table);
    TDBGridEx grid;
    grid.SetDataSource(&source);
    TColumnList columns;
    for (const Tdboutputsfield &item : orderItems())
        columns.append(MakeColumn(item.name, item.label, item.width));
    grid.SetColumns(columns);
    QMenu menu;
    Tfdboutput dialog;
    dialog.Initialize(&grid, &store, QString(), &menu, QStringLiteral("frg_orders"));
    dialog.SetFormatId(QStringLiteral("csv"));
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(folder + QStringLiteral("/output-dialog-csv.png"));
    return 0;
}
