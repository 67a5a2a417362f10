#include "app/buttonart.h"

#include "lang/texts.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

struct Caption {
    const char *czech;
    const char *slovak;
};

// Captions painted into the pictures; the connect button shows what a click does.
Caption captionOf(ButtonArt::Button button, bool active) {
    switch (button) {
    case ButtonArt::Connect:
        return active ? Caption{"Odpojit", "Odpojiť"} : Caption{"Připojit", "Pripojiť"};
    case ButtonArt::Order:
        return {"Objednávky", "Objednávky"};
    case ButtonArt::Timetable:
        return {"Rozvrh", "Rozvrh"};
    case ButtonArt::Learn:
        return {"Výuka", "Výučba"};
    case ButtonArt::Users:
        return {"Uživatelé", "Užívatelia"};
    case ButtonArt::Options:
        return {"Nastavení", "Nastavenie"};
    case ButtonArt::Profile:
        return {"Profil", "Profil"};
    case ButtonArt::About:
        return {"O aplikaci", "O aplikácii"};
    }
    return {"", ""};
}

QSize sizeOf(ButtonArt::Button button) {
    switch (button) {
    case ButtonArt::Connect:
        return {80, 41};
    case ButtonArt::Options:
    case ButtonArt::Profile:
    case ButtonArt::About:
        return {76, 32};
    default:
        return {88, 32};
    }
}

QPixmap paintButton(QSize size, const QString &text, int look) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, size.height());
    const QColor top[] = {QColor(150, 160, 175), QColor(76, 128, 196), QColor(254, 140, 60)};
    const QColor bottom[] = {QColor(112, 122, 138), QColor(38, 80, 140), QColor(224, 82, 28)};
    fill.setColorAt(0, top[look]);
    fill.setColorAt(1, bottom[look]);
    QPainterPath path;
    path.addRoundedRect(QRectF(1, 2, size.width() - 2, size.height() - 4), 7, 7);
    p.fillPath(path, fill);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.drawPath(path);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(look == 0 ? QColor(225, 228, 232) : Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, text);
    return pixmap;
}

} // namespace

namespace ButtonArt {

QVector<QPixmap> Pictures(Button button, int languageIndex) {
    const bool slovak = languageIndex == LangSlovak;
    QVector<QPixmap> pictures;
    for (int look = 0; look < 3; ++look) {
        const Caption c = captionOf(button, look == 1);
        pictures.append(
            paintButton(sizeOf(button), QString::fromUtf8(slovak ? c.slovak : c.czech), look));
    }
    return pictures;
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

QPixmap Banner() {
    QPixmap pixmap(450, 156);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 450, 0);
    g.setColorAt(0, QColor(254, 82, 28));
    g.setColorAt(0.45, QColor(120, 90, 110));
    g.setColorAt(1, QColor(54, 94, 144));
    p.fillRect(pixmap.rect(), g);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(44);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(28, 26, 420, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tellavo"));
    QFont sub(QStringLiteral("DejaVu Sans"));
    sub.setPixelSize(16);
    p.setFont(sub);
    p.drawText(QRect(30, 88, 420, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("English online, lesson by lesson"));
    return pixmap;
}

QPixmap Logo() {
    QPixmap pixmap(122, 89);
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

} // namespace ButtonArt
