#pragma once

#include <QStyle>

class QActionGroup;
class QMenu;
class QToolButton;
class QWidget;

// The buttons and menus of the lesson screen's parts, made alike.
namespace LessonButtons {

// A text button, stretched over its column unless narrow.
QToolButton *makeButton(QWidget *parent, const char *name, bool wide = true);
QToolButton *makeIconButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon);
QMenu *makeMenu(QWidget *parent, const char *name);
// Radio items of one menu: a group that keeps one item checked.
QActionGroup *radioGroup(QMenu *menu);
// Removes the items, their group and the sub-menus.
void clearMenu(QMenu *menu);

} // namespace LessonButtons
