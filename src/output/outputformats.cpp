#include "output/outputformats.h"

#include "output/formats/dboutputcsv.h"
#include "output/formats/dboutputhtml.h"
#include "output/formats/dboutputxls.h"
#include "output/formats/dboutputxlsx.h"
#include "output/report/dboutputprint.h"
#include "output/report/reportdefinition.h"

namespace {

using P = TOutputParam;

// The dialog's paper choices (printer default, portrait, landscape) as the report's.
int reportOrientation(int choice) {
    switch (choice) {
    case 1:
        return roPortrait;
    case 2:
        return roLandscape;
    default:
        return roPrinterDefault;
    }
}

bool runReport(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress,
               TReportTarget target) {
    return Tdboutput_print(progress).Execute(table, r.items, reportOrientation(r.orientation),
                                             target, r.recordCount, r.timeStamp, r.filterText,
                                             r.title, r.ask);
}

bool writePreview(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return runReport(table, r, progress, TReportTarget::Preview);
}

bool writePrint(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return runReport(table, r, progress, TReportTarget::Printer);
}

bool writePdf(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return runReport(table, r, progress, TReportTarget::Pdf);
}

bool writeHtml(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return Tdboutput_html(progress).Execute(table, r.items, r.title, r.filterText, r.timeStamp,
                                            r.recordCount, r.ask);
}

bool writeXls(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return Tdboutput_xls(progress).Execute(table, r.items, r.header, r.ask);
}

bool writeXlsx(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return Tdboutput_xlsx(progress).Execute(table, r.items, r.header, r.title, r.filterText,
                                            r.timeStamp, r.recordCount, r.ask);
}

bool writeCsv(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    return Tdboutput_csv(progress).Execute(table, r.items, r.header, r.ask, r.encoding);
}

const QList<P> kReportParams = {P::Title, P::TimeStamp, P::Filter, P::RecordCount,
                                P::Orientation};

QList<TOutputFormat> makeFormats() {
    // Captions 0 to 4 are the lines of the common text 47.
    return {
        {"preview", 47, 0, kReportParams, 0, 0, ofkAll, writePreview},
        {"print", 1712, -1, kReportParams, 0, 0, ofkAll, writePrint},
        {"pdf", 47, 1, kReportParams, 0, 0, ofkAll, writePdf},
        {"html", 47, 2, {P::Title, P::TimeStamp, P::Filter, P::RecordCount}, 0, 0, ofkAll,
         writeHtml},
        {"xlsx", 1718, -1, {P::Title, P::TimeStamp, P::Filter, P::RecordCount, P::Header},
         Tdboutput_xlsx::kMaxRows, Tdboutput_xlsx::kMaxColumns, ofkAll, writeXlsx},
        {"xls", 47, 3, {P::Header}, Tdboutput_xls::kMaxRows, Tdboutput_xls::kMaxColumns,
         ofkText | ofkNumber, writeXls},
        {"csv", 47, 4, {P::Header, P::Encoding}, 0, 0, ofkText, writeCsv},
    };
}

} // namespace

const QList<TOutputFormat> &OutputFormats() {
    static const QList<TOutputFormat> formats = makeFormats();
    return formats;
}

const TOutputFormat *FindOutputFormat(const QString &id) {
    for (const TOutputFormat &format : OutputFormats())
        if (format.id == id)
            return &format;
    return nullptr;
}

bool RunOutput(TClientTable &table, const TOutputFormat &format, const TOutputRequest &request,
               TOutputProgress *progress) {
    return format.write(table, request, progress);
}
