#pragma once

#include "output/dboutputs.h"

class TClientTable;

// Writes the list as a CSV file: Windows-1250, CR LF, values separated by ";" and never
// quoted, so ";" and "|" in values become "," and line breaks become blanks.
class Tdboutput_csv : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // Asks for the file, writes the optional header line and one line per record, and
    // offers to open the file when asked to. False when the save dialog was cancelled.
    bool Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask);

    // A value as CSV writes it.
    static QString CsvSafe(QString text);
};
