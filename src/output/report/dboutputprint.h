#pragma once

#include "output/dboutputs.h"

class QPrinter;
class TClientTable;
struct TReportDefinition;

// Where a report goes: the preview window, straight to the printer, or a PDF file.
enum class TReportTarget { Preview, Printer, Pdf };

// Prints the list as a paginated report: lays it out, then shows the preview (with printing
// and PDF export) or writes a PDF file at once.
class Tdboutput_print : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // orientation: roPortrait, roLandscape or roPrinterDefault. True when the preview was
    // shown, the pages printed or the PDF written; false when a dialog was cancelled.
    bool Execute(TClientTable &table, Tdboutputsfields items, int orientation, TReportTarget target,
                 bool recordCount, bool timeStamp, const QString &filterText, const QString &title,
                 bool ask);

    // Shows the preview of a definition held as bytes, modally.
    void Preview(const QByteArray &definition, TClientTable &table, QPrinter &printer);
    // Prints the pages of a definition held as bytes after the print dialog; false when there
    // is no printer or the dialog was cancelled.
    bool Print(const QByteArray &definition, TClientTable &table, QPrinter &printer);
    // Writes the PDF of a definition held as bytes; false when the save dialog was cancelled.
    bool DirectPdf(const QByteArray &definition, TClientTable &table, bool ask);
};
