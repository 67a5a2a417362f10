#pragma once

#include "grid/textreport.h"

#include <QByteArray>

// Writes a text document as PDF through the report engine: the title block once, then one row
// per line, the sections' headings in bold, long lines wrapped, page numbers at the foot.
// Control characters are shown as blanks. The bytes of the PDF file; raises AppError when the
// file cannot be written.
QByteArray TextReportPdf(const TTextReport &report);
