// A developer tool for scripts/lesson-e2e: saves what the X display shows (the whole screen,
// or a part "WxH+X+Y") as a picture. Usage: screen_grab FILE [GEOMETRY]
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>

int main(int argc, char *argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2)
        return 2;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    QPixmap picture = screen->grabWindow(0);
    if (args.size() > 2) {
        const auto m =
            QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$")).match(args[2]);
        if (m.hasMatch())
            picture = picture.copy(m.captured(3).toInt(), m.captured(4).toInt(),
                                   m.captured(1).toInt(), m.captured(2).toInt());
    }
    return picture.save(args[1]) ? 0 : 1;
}
