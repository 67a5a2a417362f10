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

    // "&", "<", ">", double quote and "'" as XML entities.
    static QString Escaped(const QString &text);
};
