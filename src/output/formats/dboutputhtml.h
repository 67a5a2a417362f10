#pragma once

#include "output/dboutputs.h"

class TClientTable;

// Writes the list as a stand-alone XHTML page (UTF-8, CR LF): title, time stamp and filter
// description, a table with headings, one row per record, an optional sum line and an
// optional record count. Everything taken from the list or the user is escaped, so the page
// is well-formed XML whatever the data holds.
class Tdboutput_html : public Tdboutputs {
public:
    using Tdboutputs::Tdboutputs;

    // Asks for the file, writes the page and offers to open it when asked to. False when the
    // save dialog was cancelled. filterText: empty when no filter description is wanted.
    bool Execute(TClientTable &table, Tdboutputsfields items, const QString &title,
                 const QString &filterText, bool timeStamp, bool recordCount, bool ask);

    // "&", "<", ">", double quote and "'" as XML entities; characters that XML 1.0 forbids
    // (control characters other than tab and line breaks, lone surrogates, U+FFFE and U+FFFF)
    // are dropped, a vertical tab or form feed becomes a blank.
    static QString Escaped(const QString &text);
};
