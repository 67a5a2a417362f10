#include "textreportpdf.h"

#include "data/clienttable.h"
#include "lang/texts.h"
#include "output/report/reportdefinition.h"
#include "output/report/reportpages.h"
#include "output/report/reportpainter.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

constexpr double PageWidth = 8.27, PageHeight = 11.69, Margin = 0.6, Offset = 0.01;
constexpr double Indent = 0.15;

// Control characters (a chat may carry any) would reach the PDF as boxes or not at all.
QString printable(QString text) {
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            c = u' ';
    }
    return text;
}

TReportText text(TReportTextKind kind, const QString &value, double left, double top,
                 double width, bool bold = false) {
    TReportText t;
    t.kind = kind;
    t.text = value;
    t.left = left;
    t.top = top;
    t.width = width;
    t.bold = bold;
    return t;
}

TReportDefinition definitionFor(const TTextReport &report) {
    TReportDefinition d;
    d.name = printable(report.title);
    d.pageWidth = PageWidth;
    d.pageHeight = PageHeight;
    d.marginLeft = d.marginTop = d.marginRight = d.marginBottom = Margin;
    const double width = d.BodyWidth();
    d.pageNumber = text(TReportTextKind::PageNumber, CommonText(58), d.marginLeft,
                        d.pageHeight - d.marginBottom - 0.25, width);
    d.pageNumber.alignment = TOutputAlignment::Center;
    const double line = ReportLineHeight();
    TReportBand title{TReportBandKind::Title, 2 * line + 0.35, {}, {}};
    TReportText heading = text(TReportTextKind::Static, printable(report.title), 0, Offset, width,
                               true);
    heading.underline = true;
    heading.alignment = TOutputAlignment::Center;
    heading.wrap = true;
    TReportText subtitle = text(TReportTextKind::Static, printable(report.subtitle), 0,
                                2 * line + Offset, width);
    subtitle.alignment = TOutputAlignment::Center;
    title.texts = {heading, subtitle};
    TReportBand detail{TReportBandKind::Detail, Offset + line, {}, {}};
    TReportText section = text(TReportTextKind::Field, QStringLiteral("HEADING"), 0, Offset,
                               width, true);
    section.wrap = true;
    TReportText body = text(TReportTextKind::Field, QStringLiteral("TEXT"), Indent, Offset,
                            width - Indent);
    body.wrap = true;
    detail.texts = {section, body};
    d.bands = {title, detail};
    return d;
}

// One row per line: a section's heading (after an empty row), then its lines.
void fillRows(TClientTable &table, const TTextReport &report) {
    table.CreateDataSet({MakeField(QStringLiteral("HEADING"), TFieldType::String),
                         MakeField(QStringLiteral("TEXT"), TFieldType::String)});
    const auto row = [&table](const QString &heading, const QString &line) {
        table.AppendRecord({TValue::FromText(printable(heading)), TValue::FromText(printable(line))});
    };
    for (qsizetype i = 0; i < report.sections.size(); ++i) {
        const TTextReport::Section &section = report.sections[i];
        if (i > 0)
            row({}, {});
        row(section.heading, {});
        for (const QString &line : section.lines)
            row({}, line);
    }
}

} // namespace

QByteArray TextReportPdf(const TTextReport &report) {
    TClientTable table;
    fillRows(table, report);
    const TReportDefinition definition = definitionFor(report);
    const QList<TReportPage> pages =
        GenerateReportPages(definition, table, ReportLineHeight(), {}, ReportLineCount);
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("report.pdf"));
    WriteReportPdf(file, definition, pages);
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly))
        return {};
    return written.readAll();
}
