#pragma once

#include "output/outputitems.h"
#include "output/report/reportdefinition.h"

#include <QDateTime>
#include <QString>
#include <functional>

class TClientTable;

// What the layout needs from the printer, the screen and the fonts.
struct TReportMedia {
    double pageWidth = 8.27, pageHeight = 11.69; // inches, already in the chosen orientation
    // The printer's unprintable margins in inches.
    double unprintableLeft = 0, unprintableTop = 0, unprintableRight = 0, unprintableBottom = 0;
    double screenDpi = 96;        // converts grid column widths
    double lineHeight = 0.16;     // inches of one 10-point line
    double boldLineHeight = 0.16; // the same in bold
    // Inches a text takes in the report's font; empty: texts are not measured.
    std::function<double(const QString &text, bool bold)> textWidth;
    // Lines a text takes wrapped to a width in inches; empty: one line.
    std::function<int(const QString &text, double width, bool bold)> lineCount;
};

// The report's contents as the definition dialog hands them over.
struct TReportRequest {
    QString name; // the report's full name
    QString title;
    bool timeStamp = true;
    QDateTime now;
    QString filterText; // empty when not wanted
    bool recordCount = true;
    int orientation = roPortrait;
};

// Lays out a list report: page number, title block with time stamp and filter lines, a
// column header on every page, one row per record, and a sum and count block. The items
// must be prepared for the table. Columns are fitted to the body: numbers keep the width of
// their widest value and sum, text columns are narrowed and wrap their values, headings
// wrap; columns that still do not fit are left out and named in the definition.
TReportDefinition BuildReportDefinition(const TClientTable &table, const Tdboutputsfields &items,
                                        const TReportRequest &request, const TReportMedia &media);

// A column's width in inches: 1.25 times its width on the screen.
double ColumnInches(int pixels, double screenDpi);
