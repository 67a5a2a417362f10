#include "output/report/dboutputprint.h"

#include "data/clienttable.h"
#include "seam/messagebox.h"
#include "seam/seam.h"
#include "lang/texts.h"
#include "output/report/reportbuilder.h"
#include "output/report/reportpainter.h"
#include "output/report/tfrextprev.h"

#include <QApplication>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr int kBusyCursor = 16;

// Keeps the table's controls frozen and its after-scroll handler detached for the whole
// operation, the modal preview included.
class TableQuiet {
public:
    explicit TableQuiet(TClientTable &table)
        : m_table(table), m_afterScroll(std::exchange(table.AfterScroll, nullptr)) {
        m_table.DisableControls();
    }
    ~TableQuiet() {
        m_table.EnableControls();
        m_table.AfterScroll = std::move(m_afterScroll);
    }
    TableQuiet(const TableQuiet &) = delete;
    TableQuiet &operator=(const TableQuiet &) = delete;

private:
    TClientTable &m_table;
    TTableEvent m_afterScroll;
};

QString reportName(const QString &title) {
    const QString application = QCoreApplication::applicationName().isEmpty()
                                    ? QStringLiteral("Tellavo")
                                    : QCoreApplication::applicationName();
    return application + QStringLiteral(" - ") + title;
}

// The system printer when there is one, otherwise nothing (margins of at least 0.25 in).
QPrinter *systemPrinter(QPrinter &printer) {
    return QPrinterInfo::availablePrinters().isEmpty() ? nullptr : &printer;
}

} // namespace

bool Tdboutput_print::Execute(TClientTable &table, Tdboutputsfields items, int orientation,
                              TReportTarget target, bool recordCount, bool timeStamp,
                              const QString &filterText, const QString &title, bool ask) {
    PrepareItems(table, items);
    TableQuiet quiet(table);
    QPrinter printer(QPrinter::HighResolution);
    TReportRequest request;
    request.name = reportName(title);
    request.title = title;
    request.timeStamp = timeStamp;
    request.now = CurrentSeam().now();
    request.filterText = filterText;
    request.recordCount = recordCount;
    request.orientation = orientation;
    const TReportMedia media = ReportMediaFor(systemPrinter(printer), orientation);
    const QByteArray definition = BuildReportDefinition(table, items, request, media).Save();
    switch (target) {
    case TReportTarget::Pdf:
        return DirectPdf(definition, table, ask);
    case TReportTarget::Printer:
        return Print(definition, table, printer);
    case TReportTarget::Preview:
        break;
    }
    Preview(definition, table, printer);
    return true;
}

bool Tdboutput_print::Print(const QByteArray &definition, TClientTable &table,
                            QPrinter &printer) {
    Tfrextprev preview(TReportDefinition::Load(definition), table, printer, Progress(),
                       QApplication::activeWindow());
    preview.GeneratePages();
    return preview.Print();
}

void Tdboutput_print::Preview(const QByteArray &definition, TClientTable &table,
                              QPrinter &printer) {
    Tfrextprev preview(TReportDefinition::Load(definition), table, printer, Progress(),
                       QApplication::activeWindow());
    preview.GeneratePages();
    preview.setWindowState(preview.windowState() | Qt::WindowMaximized);
    preview.exec();
}

bool Tdboutput_print::DirectPdf(const QByteArray &bytes, TClientTable &table, bool ask) {
    const QString fileName = AskSaveName(
        CommonText(107), CommonText(108) + QStringLiteral(" (*.pdf)|*.pdf"), QStringLiteral("pdf"));
    if (fileName.isEmpty())
        return false;
    const TReportDefinition definition = TReportDefinition::Load(bytes);
    {
        BusyCursorScope busy(kBusyCursor);
        TProgressScope progress(Progress(), CommonText(114), CommonText(115));
        const QList<TReportPage> pages =
            GenerateReportPages(definition, table, ReportLineHeight(), [&](int page) {
                progress.SetText(
                    QString(CommonText(112)).replace(QLatin1String("%p"), QString::number(page)));
            }, ReportLineCount);
        progress.SetText(CommonText(116));
        WriteReportPdf(fileName, definition, pages);
    }
    if (ask)
        OfferToOpen(CommonText(109), fileName);
    return true;
}
