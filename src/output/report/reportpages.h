#pragma once

#include "output/fieldkinds.h"
#include "output/report/reportdefinition.h"

#include <QList>
#include <QString>
#include <functional>

class TClientTable;

// A text placed on a page: its box in inches from the page's top left corner.
struct TPageText {
    QString text;
    double left = 0, top = 0, width = 0, height = 0;
    bool bold = false;
    bool underline = false;
    TOutputAlignment alignment = TOutputAlignment::Left;
    bool wrap = false; // broken over lines within its width
};

// A horizontal line placed on a page, in inches, thickness in points.
struct TPageLine {
    double left = 0, top = 0, width = 0, points = 1;
};

// One generated page: everything to draw on it.
struct TReportPage {
    QList<TPageText> texts;
    QList<TPageLine> lines;
};

// Generates the pages of a report from its definition and a table: walks the table from
// the first record to the last (and back to the record it was on), placing the title once,
// the column header on every page, a row per record and the sum and count block at the end;
// a band that does not fit the rest of the body goes to the next page. pageDone is told the
// number of each page as it is begun. lineHeight: inches of one text line. lineCount: the
// lines a wrapping text takes in a width of inches (empty: one); a band grows by the lines of
// its longest text.
using TLineCount = std::function<int(const QString &text, double width, bool bold)>;
QList<TReportPage> GenerateReportPages(const TReportDefinition &definition, TClientTable &table,
                                       double lineHeight,
                                       const std::function<void(int page)> &pageDone = {},
                                       const TLineCount &lineCount = {});
