#pragma once

#include "output/dboutputs.h"

class TClientTable;

// Writes the list as an Office Open XML workbook (xlsx): the title, time stamp and filter
// lines above the table, a bold frozen heading row with an autofilter, numbers as numbers,
// dates and times as dates in the Czech form, every other value as text (never a formula),
// column widths from the grid, the sums and the record count below; any Unicode text and up
// to the sheet's 1 048 576 rows.
class Tdboutput_xlsx : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // Asks for the file, writes the workbook and offers to open it when asked to. False when
    // the save dialog was cancelled. A list beyond the sheet's limits raises AppError before
    // anything is written; a failed write raises AppError and keeps an earlier file.
    bool Execute(TClientTable &table, Tdboutputsfields items, bool header, const QString &title,
                 const QString &filterText, bool timeStamp, bool recordCount, bool ask);

    static constexpr qint64 kMaxRows = 1048576;
    static constexpr int kMaxColumns = 16384;
};
