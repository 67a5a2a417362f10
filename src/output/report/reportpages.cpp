#include "output/report/reportpages.h"

#include "data/clienttable.h"
#include "grid/recordwalk.h"
#include "output/outputtexts.h"

#include <QRegularExpression>

namespace {

// Places bands on pages, starting a page (with its column header) when a band does not fit.
class PageFlow {
public:
    PageFlow(const TReportDefinition &d, TClientTable &table, double lineHeight,
             const std::function<void(int)> &pageDone, const TLineCount &lineCount)
        : m_d(d), m_table(table), m_lineHeight(lineHeight), m_pageDone(pageDone),
          m_lineCount(lineCount),
          m_header(d.Band(TReportBandKind::PageHeader)) {}

    void Run() {
        newPage();
        if (const TReportBand *title = m_d.Band(TReportBandKind::Title))
            place(*title);
        if (m_header)
            place(*m_header);
        const TReportBand *detail = m_d.Band(TReportBandKind::Detail);
        const TReportBand *summary = m_d.Band(TReportBandKind::Summary);
        prepareSums(summary);
        WalkRecords(m_table, [&] {
            ++m_count;
            addToSums();
            if (detail)
                place(*detail);
        });
        if (summary)
            place(*summary);
        numberPages();
    }

    QList<TReportPage> pages;

private:
    void newPage() {
        pages.append(TReportPage());
        m_y = m_d.BodyTop();
        if (m_pageDone)
            m_pageDone(int(pages.size()));
    }

    void place(const TReportBand &band) {
        // The texts first: a band with wrapped texts is as tall as its longest one.
        QList<TPageText> texts;
        int bandLines = 1;
        for (const TReportText &t : band.texts) {
            TPageText placed{textOf(t), t.left, t.top, t.width, m_lineHeight, t.bold,
                             t.underline, t.alignment, t.wrap};
            if (t.wrap && m_lineCount) {
                const int lines = std::max(1, m_lineCount(placed.text, t.width, t.bold));
                placed.height = lines * m_lineHeight;
                bandLines = std::max(bandLines, lines);
            }
            texts.append(placed);
        }
        const double height = band.height + (bandLines - 1) * m_lineHeight *
                                                (band.kind == TReportBandKind::Detail ? 1 : 0);
        const double bottom = m_d.BodyTop() + m_d.BodyHeight();
        // A band that does not fit goes to a new page, unless the page is still empty.
        if (m_y + height > bottom + 1e-9 && m_y > m_d.BodyTop() + 1e-9) {
            newPage();
            if (m_header && &band != m_header)
                place(*m_header);
        }
        TReportPage &page = pages.last();
        for (TPageText &t : texts) {
            t.left += m_d.BodyLeft();
            t.top += m_y;
            page.texts.append(t);
        }
        for (const TReportLine &l : band.lines)
            page.lines.append(TPageLine{m_d.BodyLeft() + l.left, m_y + l.top, l.width, l.points});
        m_y += height;
    }

    QString textOf(const TReportText &t) const {
        switch (t.kind) {
        case TReportTextKind::Static:
        case TReportTextKind::PageNumber:
            return t.text;
        case TReportTextKind::Field:
            return fieldText(t.text);
        case TReportTextKind::Sum: {
            const int index = m_table.FieldIndex(t.text);
            return index < 0 ? QString()
                             : FormatSum(m_table.FieldDefs().at(index), m_sums.value(t.text));
        }
        case TReportTextKind::RecordCount:
            return FormatCount(m_count);
        }
        return QString();
    }

    QString fieldText(const QString &name) const {
        const int index = m_table.FieldIndex(name);
        if (index < 0)
            return QString();
        const TField field = m_table.Field(index);
        if (!field.Def().isMemo())
            return field.DisplayText();
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
        return field.AsString().replace(lineBreak, QStringLiteral(" "));
    }

    void prepareSums(const TReportBand *summary) {
        if (!summary)
            return;
        // A field may be summed in two columns: it is added up once and shown twice.
        for (const TReportText &t : summary->texts)
            if (t.kind == TReportTextKind::Sum && m_table.FieldIndex(t.text) >= 0 &&
                !m_sums.contains(t.text)) {
                m_summed.append({t.text, m_table.FieldIndex(t.text)});
                m_sums.insert(t.text, 0.0);
            }
    }

    void addToSums() {
        for (const auto &[name, index] : m_summed)
            m_sums[name] += m_table.Field(index).Value().toFloat();
    }

    void numberPages() {
        const QString total = QString::number(pages.size());
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const TReportText &n = m_d.pageNumber;
            pages[i].texts.append(TPageText{n.text + u' ' + QString::number(i + 1) + u'/' + total,
                                            n.left, n.top, n.width, m_lineHeight, n.bold,
                                            n.underline, n.alignment, false});
        }
    }

    const TReportDefinition &m_d;
    TClientTable &m_table;
    double m_lineHeight;
    const std::function<void(int)> &m_pageDone;
    const TLineCount &m_lineCount;
    const TReportBand *m_header;
    double m_y = 0;
    qint64 m_count = 0;
    QList<QPair<QString, int>> m_summed;
    QHash<QString, double> m_sums;
};

} // namespace

QList<TReportPage> GenerateReportPages(const TReportDefinition &definition, TClientTable &table,
                                       double lineHeight,
                                       const std::function<void(int)> &pageDone,
                                       const TLineCount &lineCount) {
    PageFlow flow(definition, table, lineHeight, pageDone, lineCount);
    flow.Run();
    return flow.pages;
}
