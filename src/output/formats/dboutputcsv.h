#pragma once

#include "output/dboutputs.h"
#include "output/outputrequest.h"

class TClientTable;

// Writes the list as a CSV file: CR LF, values separated by ";", in Windows-1250 (the
// default) or UTF-8 with a byte-order mark. ";" and "|" in values become "," and line breaks
// become blanks; a value that begins with a double quote is quoted, and a text that a
// spreadsheet would take for a formula gets an apostrophe in front.
class Tdboutput_csv : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // Asks for the file, writes the optional header line and one line per record, tells when
    // characters could not be written in the encoding, and offers to open the file when asked
    // to. False when the save dialog was cancelled.
    bool Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask,
                 int encoding = ceWindows1250);

    // A value as CSV writes it; text values are guarded against formula interpretation,
    // numbers (which may begin with "-") are not.
    static QString CsvSafe(QString text, bool isText = true);
};
