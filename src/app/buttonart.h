#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>

// Draws the pictures of the main window: image buttons in both languages and their looks,
// the top bar, the welcome banner and the logo.
namespace ButtonArt {

// The fixed buttons of the top bar; the screen buttons come from the screen registry.
enum Button { Connect, Options, Profile, About };

// Space kept free between a caption and the button's edges.
inline constexpr int kCaptionMargin = 10;

// The caption in the program's language with its accelerator ("&Připojit"); the connect
// button's caption says what a click does.
QString Caption(Button button, bool signedIn = false);
// Captions by look (inactive, active, selected).
QStringList Captions(Button button);
// Pictures by look, drawn for the device pixel ratio (2 gives twice the pixels at the same
// size in the window).
QVector<QPixmap> Pictures(Button button, qreal ratio);
// The same for a screen button whose caption is the own text of that number.
QStringList ScreenCaptions(int captionText);
QVector<QPixmap> ScreenPictures(int captionText, qreal ratio);
// The device pixel ratio of the screens the program draws for.
qreal ScreenRatio();
QPixmap TopBar(int width);
QPixmap Banner(qreal ratio);
QPixmap Logo(qreal ratio);
// The program's icon in the usual sizes.
QIcon AppIcon();

} // namespace ButtonArt
