#include "output/report/reportpainter.h"

#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "output/report/reportbuilder.h"

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QScreen>

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

} // namespace

QFont ReportFont(bool bold, bool underline) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
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
        painter.drawText(box, alignmentOf(text.alignment) | Qt::AlignTop | Qt::TextSingleLine,
                         text.text);
    }
    painter.restore();
}

void WriteReportPdf(const QString &fileName, const TReportDefinition &definition,
                    const QList<TReportPage> &pages) {
    {
        QPdfWriter writer(fileName);
        writer.setResolution(kPdfResolution);
        writer.setTitle(definition.name);
        writer.setCreator(QCoreApplication::applicationName());
        const QSizeF size(definition.pageWidth, definition.pageHeight);
        writer.setPageLayout(
            QPageLayout(QPageSize(size, QPageSize::Inch), QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&writer))
            throw AppError(FormatText(AppText(1700),
                                      {QDir::toNativeSeparators(fileName), QStringLiteral("PDF")}));
        for (qsizetype i = 0; i < pages.size(); ++i) {
            if (i > 0)
                writer.newPage();
            PaintReportPage(painter, pages[i], kPdfResolution);
        }
        painter.end();
    }
    if (!QFile::exists(fileName))
        throw AppError(
            FormatText(AppText(1700), {QDir::toNativeSeparators(fileName), QStringLiteral("PDF")}));
}
