#include "output/outputwriters.h"

#include "output/dboutputcsv.h"
#include "output/dboutputhtml.h"
#include "output/dboutputxls.h"

bool RunOutput(TClientTable &table, const TOutputRequest &r, TOutputProgress *progress) {
    switch (r.type) {
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
