#pragma once

#include "output/outputitems.h"

#include <QString>

// A parameter that an output format asks for in the definition dialog.
enum class TOutputParam {
    Title,       // "Nadpis"
    TimeStamp,   // the date and time of the output
    Filter,      // the filter description
    RecordCount, // the number of records
    Orientation, // paper orientation
    Header,      // a heading line of item labels
    Encoding,    // the character encoding of a text file
};

// Character encodings of a CSV file.
enum TCsvEncoding { ceWindows1250 = 0, ceUtf8Bom = 1 };

// Everything a writer may need, as the definition dialog hands it over.
struct TOutputRequest {
    Tdboutputsfields items;
    QString title;
    bool timeStamp = true;
    QString filterText; // empty when the filter description is not wanted
    bool recordCount = true;
    int orientation = 0; // the dialog's choice: 0 printer default, 1 portrait, 2 landscape
    bool header = true;
    int encoding = ceWindows1250;
    bool ask = true;
};
