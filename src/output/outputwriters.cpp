#include "output/outputwriters.h"

#include "output/formats/dboutputcsv.h"
#include "output/formats/dboutputhtml.h"
#include "output/report/dboutputprint.h"
#include "output/formats/dboutputxls.h"
#include "output/report/reportdefinition.h"

namespace {

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

} // namespace

bool RunOutput(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    switch (r.type) {
    case otPreview:
    case otPdf:
        return Tdboutput_print(progress).Execute(table, r.items, reportOrientation(r.orientation),
                                                 r.type == otPdf, r.recordCount, r.timeStamp,
                                                 r.filterText, r.title, r.ask);
    case otHtml:
        return Tdboutput_html(progress).Execute(table, r.items, r.title, r.filterText, r.timeStamp,
                                                r.recordCount, r.ask);
    case otExcel:
        return Tdboutput_xls(progress).Execute(table, r.items, r.header, r.ask);
    case otCsv:
        return Tdboutput_csv(progress).Execute(table, r.items, r.header, r.ask);
    default:
        return false;
    }
}
