#include "server/seed/pagepainter.h"

#include "errors/apperror.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>

namespace {

// Segments a..g of a seven-segment digit, as bits.
constexpr int kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};

void DrawDigit(QPainter &p, int digit, int x, int y, int w, int h, int t) {
    const int bits = kSegments[digit % 10];
    const int half = h / 2;
    const QRect segments[7] = {
        {x, y, w, t},                   // a: top
        {x + w - t, y, t, half},        // b: upper right
        {x + w - t, y + half, t, half}, // c: lower right
        {x, y + h - t, w, t},           // d: bottom
        {x, y + half, t, half},         // e: lower left
        {x, y, t, half},                // f: upper left
        {x, y + half - t / 2, w, t},    // g: middle
    };
    for (int s = 0; s < 7; ++s)
        if (bits & (1 << s))
            p.fillRect(segments[s], p.brush());
}

void DrawNumber(QPainter &p, int number, int right, int y) {
    const QString digits = QString::number(number);
    const int w = 26, h = 46, t = 6, gap = 10;
    int x = right - int(digits.size()) * (w + gap);
    for (QChar c : digits) {
        DrawDigit(p, c.digitValue(), x, y, w, h, t);
        x += w + gap;
    }
}

} // namespace

QByteArray PaintBookPage(int book, int page, const QColor &accent) {
    QImage image(600, 800, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, 600, 90, accent);
    p.setBrush(Qt::white);
    DrawNumber(p, page, 570, 22);
    p.fillRect(30, 30, 220, 14, QColor(255, 255, 255, 200));
    p.fillRect(30, 54, 140, 10, QColor(255, 255, 255, 150));

    QRandomGenerator random(static_cast<quint32>(book * 1000 + page));
    int y = 130;
    for (int paragraph = 0; paragraph < 4; ++paragraph) {
        const int lines = 3 + int(random.bounded(4));
        for (int i = 0; i < lines; ++i) {
            const int width = i + 1 == lines ? 150 + int(random.bounded(250)) : 520;
            p.fillRect(40, y, width, 9, QColor(90, 90, 90));
            y += 20;
        }
        y += 18;
        if (paragraph == 1) {
            p.setPen(QPen(accent.darker(130), 3));
            p.setBrush(accent.lighter(170));
            p.drawRoundedRect(QRect(40, y, 520, 170), 12, 12);
            p.setBrush(accent);
            p.drawEllipse(QPoint(140 + int(random.bounded(300)), y + 85), 50, 50);
            p.drawRect(QRect(380, y + 40, 120, 90));
            p.setPen(Qt::NoPen);
            y += 200;
        }
    }
    p.fillRect(0, 770, 600, 30, accent.lighter(150));
    p.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 80))
        throw AppError(QStringLiteral("cannot write JPEG page pictures (image plugin missing)"));
    return bytes;
}
