#include "output/report/reportbuilder.h"

#include "data/clienttable.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/outputtexts.h"

#include <QRegularExpression>
#include <algorithm>

namespace {

constexpr double kMinMargin = 0.25;
constexpr double kColumnGap = 0.08;
constexpr double kOffset = 0.01;
constexpr double kRuleWidth = 2; // points

struct Column {
    double left, width;
};

QList<Column> columnsOf(const Tdboutputsfields &items, double dpi) {
    QList<Column> columns;
    double left = 0;
    for (const Tdboutputsfield &item : items) {
        const double width = ColumnInches(item.width, dpi);
        columns.append({left, width});
        left += width + kColumnGap;
    }
    return columns;
}

double totalWidth(const QList<Column> &columns) {
    return columns.isEmpty() ? 0 : columns.last().left + columns.last().width;
}

TReportText text(TReportTextKind kind, const QString &content, double left, double top,
                 double width, bool bold = false,
                 TOutputAlignment alignment = TOutputAlignment::Left) {
    TReportText t;
    t.kind = kind;
    t.text = content;
    t.left = left;
    t.top = top;
    t.width = width;
    t.bold = bold;
    t.alignment = alignment;
    return t;
}

// Lines as a list of strings splits them: a final line break adds no empty line.
QStringList textLines(const QString &text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

TReportBand titleBand(const TReportRequest &r, double bodyWidth, const TReportMedia &media) {
    TReportBand band;
    band.kind = TReportBandKind::Title;
    band.height = 0.35;
    TReportText title = text(TReportTextKind::Static, r.title, 0, kOffset, bodyWidth, true,
                             TOutputAlignment::Center);
    title.underline = true;
    band.texts.append(title);
    if (!r.timeStamp && r.filterText.isEmpty())
        return band;
    QString lines;
    if (r.timeStamp)
        lines = FormatText(CommonText(59), {OutputTimeStamp(r.now)}) + QStringLiteral("\r\n");
    lines += r.filterText;
    double top = 2 * media.boldLineHeight + kOffset;
    const QStringList split = textLines(lines);
    for (qsizetype i = 0; i < split.size(); ++i) {
        if (i > 0)
            top += media.lineHeight + kOffset;
        band.texts.append(text(TReportTextKind::Static, split[i], 0, top, bodyWidth));
    }
    if (!split.isEmpty())
        band.height += top;
    return band;
}

} // namespace

double ColumnInches(int pixels, double screenDpi) {
    return pixels * 10.0 / (8.0 * screenDpi);
}

TReportDefinition BuildReportDefinition(const TClientTable &table, const Tdboutputsfields &items,
                                        const TReportRequest &r, const TReportMedia &media) {
    TReportDefinition d;
    d.name = r.name;
    d.orientation = r.orientation;
    d.pageWidth = media.pageWidth;
    d.pageHeight = media.pageHeight;
    d.marginLeft = std::max(media.unprintableLeft, kMinMargin);
    d.marginTop = std::max(media.unprintableTop, kMinMargin);
    d.marginRight = std::max(media.unprintableRight, kMinMargin);
    d.marginBottom = std::max(media.unprintableBottom, kMinMargin);
    d.pageNumber =
        text(TReportTextKind::PageNumber, CommonText(58), d.marginLeft,
             d.pageHeight - d.marginBottom - 0.25, d.pageWidth - d.marginLeft - d.marginRight,
             false, TOutputAlignment::Center);

    const QList<Column> columns = columnsOf(items, media.screenDpi);
    const double total = totalWidth(columns);
    d.bands.append(titleBand(r, d.BodyWidth(), media));

    TReportBand header{TReportBandKind::PageHeader, 0.2, {}, {}};
    TReportBand detail{TReportBandKind::Detail, kOffset + media.lineHeight, {}, {}};
    TReportBand summary{TReportBandKind::Summary, 0.5, {}, {TReportLine{0, 0, total, kRuleWidth}}};
    bool anySum = false;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TFieldDef &field = table.FieldDefs().at(items[i].index);
        const TOutputAlignment alignment = FieldAlignment(field);
        const Column &c = columns[i];
        header.texts.append(text(TReportTextKind::Static, items[i].label, c.left, kOffset, c.width,
                                 true, alignment));
        detail.texts.append(
            text(TReportTextKind::Field, field.name, c.left, kOffset, c.width, false, alignment));
        if (items[i].summed) {
            TReportText sum = text(TReportTextKind::Sum, field.name, c.left, kOffset, c.width, true,
                                   TOutputAlignment::Right);
            sum.format = field.displayFormat;
            summary.texts.append(sum);
            anySum = true;
        }
    }
    header.lines.append(TReportLine{0, 0.19, total, kRuleWidth});
    // The labels keep their widths unless the font needs more; the count then moves right
    // by as much, so that no label is cut.
    const auto fitted = [&media](const QString &label, double width) {
        return media.textWidth ? std::max(width, media.textWidth(label, true)) : width;
    };
    if (anySum)
        summary.texts.append(text(TReportTextKind::Static, CommonText(60), 0, kOffset,
                                  fitted(CommonText(60), 0.5), true));
    if (r.recordCount) {
        const double top = anySum ? 0.3 : 0.15;
        const double label = fitted(CommonText(61), 1.05);
        summary.texts.append(text(TReportTextKind::Static, CommonText(61), 0, top, label, true));
        TReportText count =
            text(TReportTextKind::RecordCount, QString(), 1.15 + (label - 1.05), top, 2.0);
        count.format = QStringLiteral("#,##0");
        summary.texts.append(count);
    }
    d.bands << header << detail << summary;
    return d;
}
