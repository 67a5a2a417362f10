#pragma once

#include "output/outputitems.h"

#include <QString>

class TClientTable;
class TOutputProgress;

// The output types of the definition dialog.
enum TOutputType { otPreview = 0, otPdf = 1, otHtml = 2, otExcel = 3, otCsv = 4 };

// Everything a writer may need, as the definition dialog hands it over.
struct TOutputRequest {
    Tdboutputsfields items;
    int type = otPreview;
    QString title;
    bool timeStamp = true;
    QString filterText; // empty when the filter description is not wanted
    bool recordCount = true;
    int orientation = 0; // the dialog's choice: 0 printer default, 1 portrait, 2 landscape
    bool header = true;
    bool ask = true;
};

// Runs the writer of the request's type on the table; false when its dialog was cancelled.
bool RunOutput(TClientTable &table, const TOutputRequest &request, TOutputProgress *progress);
