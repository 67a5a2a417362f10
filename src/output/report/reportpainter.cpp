#include "output/report/reportpainter.h"

#include "base/logging.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/report/reportbuilder.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QScreen>
#include <QTextLayout>
#include <QTextOption>

namespace {

constexpr double kPoints = 72.0;
constexpr int kPdfResolution = 1200;

Qt::Alignment alignmentOf(TOutputAlignment alignment) {
    switch (alignment) {
    case TOutputAlignment::Right:
        return Qt::AlignRight;
    case TOutputAlignment::Center:
        return Qt::AlignHCenter;
    case TOutputAlignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

QTextOption wrapOption(Qt::Alignment alignment) {
    QTextOption option(alignment | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

[[noreturn]] void failPdf(const QString &fileName, const QString &reason) {
    qCWarning(lcOutput).noquote() << "writing" << fileName << "failed:" << reason;
    throw AppError(FormatText(AppText(1700), {QDir::toNativeSeparators(fileName), reason}));
}

} // namespace

QFont ReportFont(bool bold, bool underline) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    font.setBold(bold);
    font.setUnderline(underline);
    // Any letter spacing turns the font's ligatures off, so that the PDF's text layer holds the
    // letters as typed ("fi", not the single ligature character); 1/64 of a point is invisible.
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.0 / 64);
    return font;
}

int ReportLineCount(const QString &text, double widthInches, bool bold) {
    const QFont font = ReportFont(bold);
    const double width = widthInches * kPoints;
    // Most values fit on one line: measured without a layout.
    static QFontMetricsF regular(ReportFont(false)), heavy(ReportFont(true));
    if ((bold ? heavy : regular).horizontalAdvance(text) <= width)
        return 1;
    QTextLayout layout(text, font);
    layout.setTextOption(wrapOption(Qt::AlignLeft));
    layout.beginLayout();
    int lines = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        ++lines;
    }
    layout.endLayout();
    return std::max(lines, 1);
}

double ReportLineHeight(bool bold) {
    return QFontMetricsF(ReportFont(bold)).height() / kPoints;
}

TReportMedia ReportMediaFor(QPrinter *printer, int orientation) {
    TReportMedia media;
    QPageLayout::Orientation chosen = QPageLayout::Portrait;
    if (orientation == roLandscape)
        chosen = QPageLayout::Landscape;
    else if (orientation == roPrinterDefault && printer)
        chosen = printer->pageLayout().orientation();
    const QSizeF a4 = QPageSize(QPageSize::A4).size(QPageSize::Inch);
    media.pageWidth = chosen == QPageLayout::Landscape ? a4.height() : a4.width();
    media.pageHeight = chosen == QPageLayout::Landscape ? a4.width() : a4.height();
    if (printer) {
        const QMarginsF margins = printer->pageLayout().minimumMargins(); // points
        media.unprintableLeft = margins.left() / kPoints;
        media.unprintableTop = margins.top() / kPoints;
        media.unprintableRight = margins.right() / kPoints;
        media.unprintableBottom = margins.bottom() / kPoints;
    }
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        media.screenDpi = screen->logicalDotsPerInch();
    media.textWidth = [](const QString &text, bool bold) {
        return QFontMetricsF(ReportFont(bold)).horizontalAdvance(text) / kPoints;
    };
    media.lineCount = ReportLineCount;
    media.lineHeight = ReportLineHeight(false);
    media.boldLineHeight = ReportLineHeight(true);
    return media;
}

void PaintReportPage(QPainter &painter, const TReportPage &page, double dotsPerInch) {
    painter.save();
    painter.scale(dotsPerInch / kPoints, dotsPerInch / kPoints);
    painter.setPen(Qt::black);
    for (const TPageLine &line : page.lines) {
        QPen pen(Qt::black);
        pen.setWidthF(line.points);
        painter.setPen(pen);
        const double y = line.top * kPoints;
        painter.drawLine(QPointF(line.left * kPoints, y),
                         QPointF((line.left + line.width) * kPoints, y));
    }
    painter.setPen(Qt::black);
    for (const TPageText &text : page.texts) {
        painter.setFont(ReportFont(text.bold, text.underline));
        const QRectF box(text.left * kPoints, text.top * kPoints, text.width * kPoints,
                         text.height * kPoints);
        if (text.wrap)
            painter.drawText(box, text.text, wrapOption(alignmentOf(text.alignment)));
        else
            painter.drawText(box, alignmentOf(text.alignment) | Qt::AlignTop | Qt::TextSingleLine,
                             text.text);
    }
    painter.restore();
}

void WriteReportPdf(const QString &fileName, const TReportDefinition &definition,
                    const QList<TReportPage> &pages) {
    // The document is made in memory and replaces the file only when it was written whole: a
    // failed write keeps the earlier file and is reported.
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(definition.name);
        writer.setCreator(QCoreApplication::applicationName());
        const QSizeF size(definition.pageWidth, definition.pageHeight);
        writer.setPageLayout(
            QPageLayout(QPageSize(size, QPageSize::Inch), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            failPdf(fileName, QStringLiteral("PDF"));
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            PaintReportPage(painter, pages[i], kPdfResolution);
        }
        if (!painter.end())
            failPdf(fileName, QStringLiteral("PDF"));
    }
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        failPdf(fileName, file.errorString());
}
