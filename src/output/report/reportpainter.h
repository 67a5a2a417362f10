#pragma once

#include "output/report/reportpages.h"

#include <QFont>
#include <QString>

class QPainter;
struct TReportDefinition;
struct TReportMedia;
class QPrinter;

// The report's font: a sans serif installed with the program's dependencies, 10 units high
// in a painter scaled to points, so it is the same 10 points on screen, paper and PDF.
QFont ReportFont(bool bold = false, bool underline = false);
// Inches of one line of the report's font, regular or bold.
double ReportLineHeight(bool bold = false);
// Lines a text takes in the report's font, wrapped (between words, or inside a word longer
// than the line) to a width in inches; the same breaking as painting uses.
int ReportLineCount(const QString &text, double widthInches, bool bold);
// Page size (in the orientation), unprintable margins and screen resolution for a layout.
// orientation: roPortrait, roLandscape or roPrinterDefault (the printer's own).
TReportMedia ReportMediaFor(QPrinter *printer, int orientation);
// Draws a page at a resolution: device pixels per inch.
void PaintReportPage(QPainter &painter, const TReportPage &page, double dotsPerInch);
// Writes the pages as a PDF document; raises AppError when the file cannot be written.
void WriteReportPdf(const QString &fileName, const TReportDefinition &definition,
                    const QList<TReportPage> &pages);
