#pragma once

#include "output/dboutputs.h"

class TClientTable;

// Writes the list as a one-sheet spreadsheet file: an optional heading row, column widths
// from the grid, numbers as numbers and everything else as text.
class Tdboutput_xls : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // Asks for the file, writes the sheet and offers to open it when asked to. False when the
    // save dialog was cancelled. A list beyond the sheet's limits (rows, items) raises
    // AppError before anything is written.
    bool Execute(TClientTable &table, Tdboutputsfields items, bool header, bool ask);

    static constexpr int kMaxRows = 65535; // row numbers are 16-bit, the heading row included
    static constexpr int kMaxColumns = 256;
};
