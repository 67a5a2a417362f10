#pragma once

#include "output/fieldkinds.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// When a band is printed.
enum class TReportBandKind : quint8 {
    Title,      // once, at the start of the report
    PageHeader, // at the start and at the top of every new page
    Detail,     // once per record of the table
    Summary,    // once, after the last record
};

// What a text shows.
enum class TReportTextKind : quint8 {
    Static,      // its text
    Field,       // the value of the named field in the current record
    Sum,         // the running sum of the named field, with the format
    RecordCount, // the number of records printed, with the format
    PageNumber,  // its text, a blank, the page number, "/" and the page count
};

// A text of a band (or the page number of the page): position and width in inches from the
// band's top left corner, 10 points, its style and alignment.
struct TReportText {
    TReportTextKind kind = TReportTextKind::Static;
    QString text; // the text, or the field's name
    double left = 0, top = 0, width = 0;
    bool bold = false;
    bool underline = false;
    TOutputAlignment alignment = TOutputAlignment::Left;
    QString format;    // display format of sums and counts
    bool wrap = false; // a text too long for its width goes on over more lines
};

// A horizontal line of a band: position and length in inches, thickness in points.
struct TReportLine {
    double left = 0, top = 0, width = 0;
    double points = 1;
};

// A band: its height in inches and what it holds.
struct TReportBand {
    TReportBandKind kind = TReportBandKind::Detail;
    double height = 0;
    QList<TReportText> texts;
    QList<TReportLine> lines;
};

// Paper orientation of a report.
enum TReportOrientation { roPortrait = 0, roLandscape = 1, roPrinterDefault = 2 };

// A report laid out at run time: the page with its margins, the page number, the body region
// and its bands. All lengths are inches. Kept as bytes between building and use.
struct TReportDefinition {
    QString name; // the print job's title and the preview's caption
    int orientation = roPortrait;
    double pageWidth = 0, pageHeight = 0;
    double marginLeft = 0.25, marginTop = 0.25, marginRight = 0.25, marginBottom = 0.25;
    double fontPoints = 10;
    TReportText pageNumber; // position on the page
    QList<TReportBand> bands;
    QStringList notFitting; // labels of the columns left out: even narrowed they did not fit

    double BodyLeft() const { return marginLeft; }
    double BodyTop() const { return marginTop; }
    double BodyWidth() const { return pageWidth - marginLeft - marginRight; }
    double BodyHeight() const { return pageHeight - (marginTop + marginBottom + 0.3); }
    // The first band of the kind, or nullptr.
    const TReportBand *Band(TReportBandKind kind) const;

    QByteArray Save() const;
    // Raises AppError for bytes that hold no definition.
    static TReportDefinition Load(const QByteArray &bytes);
};
