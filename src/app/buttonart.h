#pragma once

#include <QPixmap>
#include <QString>
#include <QVector>

// Draws the pictures of the main window: image buttons in both languages and their looks,
// the top bar, the welcome banner and the logo.
namespace ButtonArt {

enum Button { Connect, Order, Timetable, Learn, Users, Options, Profile, About };

// Pictures by look (inactive, active, selected) for the button in the given language.
QVector<QPixmap> Pictures(Button button, int languageIndex);
QPixmap TopBar(int width);
QPixmap Banner();
QPixmap Logo();

} // namespace ButtonArt
