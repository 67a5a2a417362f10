#include "app/buttonart.h"

#include "lang/texts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// Own-text numbers of the captions; the connect button's caption says what a click does.
int captionNumber(ButtonArt::Button button, bool signedIn) {
    switch (button) {
    case ButtonArt::Connect:
        return signedIn ? 1017 : 1016;
    case ButtonArt::Options:
        return 1022;
    case ButtonArt::Profile:
        return 1023;
    case ButtonArt::About:
        return 1024;
    }
    return 1016;
}

QFont captionFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    return font;
}

// The designed size, widened so that the caption keeps a margin of its own on both sides.
QSize sizeOf(QSize size, const QStringList &captions) {
    const QFontMetrics metrics(captionFont());
    for (const QString &caption : captions) {
        const int width = metrics.size(Qt::TextShowMnemonic, caption).width();
        size.setWidth(qMax(size.width(), width + 2 * ButtonArt::kCaptionMargin));
    }
    return size;
}

// Colours by look: inactive grey, active blue, selected orange; the signed-out connect
// button is green, an invitation rather than a disabled grey.
enum Colours { Grey, Blue, Orange, Green };

QPixmap paintButton(QSize size, qreal ratio, const QString &text, Colours colours) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient fill(0, 0, 0, size.height());
    const QColor top[] = {QColor(150, 160, 175), QColor(76, 128, 196), QColor(254, 140, 60),
                          QColor(72, 170, 96)};
    const QColor bottom[] = {QColor(112, 122, 138), QColor(38, 80, 140), QColor(224, 82, 28),
                             QColor(30, 120, 58)};
    fill.setColorAt(0, top[colours]);
    fill.setColorAt(1, bottom[colours]);
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 2, size.width() - 2, size.height() - 4), 7, 7);
    p.fillPath(path, fill);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawPath(path);
    p.setFont(captionFont());
    p.setPen(colours == Grey ? QColor(225, 228, 232) : Qt::white);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter | Qt::TextHideMnemonic, text);
    return pixmap;
}

// A picture of the size at the device pixel ratio, painted in logical units.
QPixmap canvas(QSize size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

namespace ButtonArt {

QString Caption(Button button, bool signedIn) {
    return AppText(captionNumber(button, signedIn));
}

QStringList Captions(Button button) {
    // The connect button's inactive look is the signed-out one, its active look signed in.
    return {Caption(button, false), Caption(button, button == Connect), Caption(button, false)};
}

QVector<QPixmap> Pictures(Button button, qreal ratio) {
    const QStringList captions = Captions(button);
    const QSize size = sizeOf(button == Connect ? QSize(80, 41) : QSize(76, 32), captions);
    QVector<QPixmap> pictures;
    for (int look = 0; look < 3; ++look) {
        Colours colours = Colours(look);
        if (button == Connect)
            colours = look == 0 ? Green : Blue;
        pictures.append(paintButton(size, ratio, captions[look], colours));
    }
    return pictures;
}

QStringList ScreenCaptions(int captionText) {
    const QString caption = AppText(captionText);
    return {caption, caption, caption};
}

QVector<QPixmap> ScreenPictures(int captionText, qreal ratio) {
    const QStringList captions = ScreenCaptions(captionText);
    const QSize size = sizeOf(QSize(88, 32), captions);
    QVector<QPixmap> pictures;
    for (int look = 0; look < 3; ++look)
        pictures.append(paintButton(size, ratio, captions[look], Colours(look)));
    return pictures;
}

qreal ScreenRatio() {
    return qApp ? qApp->devicePixelRatio() : 1.0;
}

QPixmap TopBar(int width) {
    QPixmap pixmap(width, 44);
    QPainter p(&pixmap);
    QLinearGradient g(0, 0, 0, 44);
    g.setColorAt(0, QColor(34, 62, 104));
    g.setColorAt(1, QColor(54, 94, 144));
    p.fillRect(pixmap.rect(), g);
    return pixmap;
}

QPixmap Banner(qreal ratio) {
    QPixmap pixmap = canvas(QSize(450, 156), ratio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 450, 0);
    g.setColorAt(0, QColor(254, 82, 28));
    g.setColorAt(0.45, QColor(120, 90, 110));
    g.setColorAt(1, QColor(54, 94, 144));
    p.fillRect(QRect(0, 0, 450, 156), g);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(28, 26, 420, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tellavo"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.drawText(QRect(30, 88, 420, 30), Qt::AlignLeft | Qt::AlignVCenter, AppText(1013));
    return pixmap;
}

QPixmap Logo(qreal ratio) {
    QPixmap pixmap = canvas(QSize(122, 89), ratio);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(54, 94, 144));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRect(31, 8, 60, 60));
    p.setBrush(QColor(254, 82, 28));
    p.drawEllipse(QRect(64, 40, 26, 26));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(34);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(31, 8, 60, 60), Qt::AlignCenter, QStringLiteral("T"));
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(QColor(54, 94, 144));
    p.drawText(QRect(0, 70, 122, 18), Qt::AlignCenter, QStringLiteral("TELLAVO"));
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(side / 64.0, side / 64.0);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(54, 94, 144));
        p.drawEllipse(QRectF(2, 2, 60, 60));
        p.setBrush(QColor(254, 82, 28));
        p.drawEllipse(QRectF(38, 36, 24, 24));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(36);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(2, 2, 60, 60), Qt::AlignCenter, QStringLiteral("T"));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace ButtonArt
