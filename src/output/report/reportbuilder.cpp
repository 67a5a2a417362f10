#include "output/report/reportbuilder.h"

#include "data/clienttable.h"
#include "data/displayformat.h"
#include "output/fieldkinds.h"
#include "output/report/columnfit.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/outputtexts.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kMinMargin = 0.25;
constexpr double kColumnGap = 0.08;
constexpr double kOffset = 0.01;
constexpr double kRuleWidth = 2; // points

constexpr double kReadableWidth = 0.5; // inches a text column keeps at least
constexpr double kNumberPadding = 0.02;
constexpr double kLongestWordCap = 1.3; // inches kept for a word; longer ones break

// The widest text a numeric column shows: its smallest and largest value, and its sum over
// any filtered part of the table (between the sum of the negative and of the positive values).
double widestNumber(const TClientTable &table, int index, bool summed, const TReportMedia &media) {
    const TFieldDef &field = table.FieldDefs().at(index);
    double low = 0, high = 0, negative = 0, positive = 0;
    bool any = false;
    table.ForEachRow({index}, [&](const TValue *values) {
        if (values[0].isNull())
            return;
        const double v = values[0].toFloat();
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        (v < 0 ? negative : positive) += v;
        any = true;
    });
    double widest = 0;
    const auto shown = [&field](double v) {
        return FormatDisplayText(field, IsFloatField(field) ? TValue::FromFloat(v)
                                                           : TValue::FromInteger(qint64(v)));
    };
    if (any)
        for (const double v : {low, high})
            widest = std::max(widest, media.textWidth(shown(v), false));
    if (summed)
        for (const double v : {negative, positive})
            widest = std::max(widest, media.textWidth(FormatSum(field, v), true));
    return widest + kNumberPadding;
}

bool isDateField(const TFieldDef &field) {
    switch (field.type) {
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        return true;
    default:
        return false;
    }
}

// Dates and times are never broken either: the width of a late date with its time.
double widestDate(const TFieldDef &field, const TReportMedia &media) {
    const TValue late = TValue::FromDateTime(ToDateTimeMs(QDate(2026, 12, 28), QTime(23, 59, 59)));
    return media.textWidth(FormatDisplayText(field, late), false) + kNumberPadding;
}

// The longest word of a text column's values, up to a cap: a column keeps room for a whole
// word where it can, so that words break only when they are longer than that.
double longestValueWord(const TClientTable &table, int index, const TReportMedia &media) {
    QString longest;
    table.ForEachRow({index}, [&](const TValue *values) {
        if (values[0].kind() != TValue::Text)
            return;
        const QString text = values[0].toText();
        qsizetype start = 0;
        while (start < text.size()) {
            qsizetype end = start;
            while (end < text.size() && !text[end].isSpace())
                ++end;
            if (end - start > longest.size())
                longest = text.mid(start, end - start);
            start = end + 1;
        }
    });
    return std::min(media.textWidth(longest, false) + kNumberPadding, kLongestWordCap);
}

// The longest word of a heading, in bold: headings wrap between words, never inside one.
double longestWord(const QString &label, const TReportMedia &media) {
    double widest = 0;
    for (const QString &word : label.split(u' ', Qt::SkipEmptyParts))
        widest = std::max(widest, media.textWidth(word, true));
    return widest;
}

QList<TColumnNeed> columnNeeds(const TClientTable &table, const Tdboutputsfields &items,
                               const TReportMedia &media) {
    QList<TColumnNeed> needs;
    for (const Tdboutputsfield &item : items) {
        TColumnNeed need{item.label, ColumnInches(item.width, media.screenDpi), 0};
        if (media.textWidth) {
            const TFieldDef &field = table.FieldDefs().at(item.index);
            if (IsNumericField(field))
                need.minimum = widestNumber(table, item.index, item.summed, media);
            else if (isDateField(field))
                need.minimum = widestDate(field, media);
            else
                need.minimum = std::min(need.natural,
                                        std::max(kReadableWidth,
                                                 longestValueWord(table, item.index, media)));
            need.minimum = std::max(need.minimum, longestWord(item.label, media));
        } else {
            need.minimum = need.natural;
        }
        needs.append(need);
    }
    return needs;
}

double totalWidth(const QList<TColumnPlace> &columns) {
    double total = 0;
    for (const TColumnPlace &c : columns)
        if (c.placed)
            total = c.left + c.width;
    return total;
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

    const QList<TColumnPlace> columns = FitColumns(columnNeeds(table, items, media),
                                                   d.BodyWidth(), kColumnGap);
    const double total = totalWidth(columns);
    d.bands.append(titleBand(r, d.BodyWidth(), media));

    TReportBand header{TReportBandKind::PageHeader, 0.2, {}, {}};
    TReportBand detail{TReportBandKind::Detail, kOffset + media.lineHeight, {}, {}};
    TReportBand summary{TReportBandKind::Summary, 0.5, {}, {TReportLine{0, 0, total, kRuleWidth}}};
    bool anySum = false;
    int headerLines = 1;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const TColumnPlace &c = columns[i];
        if (!c.placed) {
            d.notFitting.append(items[i].label);
            continue;
        }
        const TFieldDef &field = table.FieldDefs().at(items[i].index);
        const TOutputAlignment alignment = FieldAlignment(field);
        TReportText heading = text(TReportTextKind::Static, items[i].label, c.left, kOffset,
                                   c.width, true, alignment);
        heading.wrap = true;
        header.texts.append(heading);
        if (media.lineCount)
            headerLines = std::max(headerLines, media.lineCount(items[i].label, c.width, true));
        TReportText value =
            text(TReportTextKind::Field, field.name, c.left, kOffset, c.width, false, alignment);
        value.wrap = !IsNumericField(field) && !isDateField(field); // never broken
        detail.texts.append(value);
        if (items[i].summed) {
            TReportText sum = text(TReportTextKind::Sum, field.name, c.left, kOffset, c.width, true,
                                   TOutputAlignment::Right);
            sum.format = field.displayFormat;
            summary.texts.append(sum);
            anySum = true;
        }
    }
    // A heading of several lines makes the header taller; its rule stays under it.
    header.height += (headerLines - 1) * media.boldLineHeight;
    header.lines.append(TReportLine{0, header.height - kOffset, total, kRuleWidth});
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
