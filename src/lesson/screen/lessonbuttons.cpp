#include "lessonbuttons.h"

#include <QActionGroup>
#include <QMenu>
#include <QToolButton>

namespace LessonButtons {

QToolButton *makeButton(QWidget *parent, const char *name, bool wide) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    if (wide)
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QToolButton *makeIconButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon) {
    QToolButton *button = makeButton(parent, name, false);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

QMenu *makeMenu(QWidget *parent, const char *name) {
    auto *menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

QActionGroup *radioGroup(QMenu *menu) {
    auto *group = menu->findChild<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly);
    if (!group) {
        group = new QActionGroup(menu);
        group->setExclusive(true);
    }
    return group;
}

void clearMenu(QMenu *menu) {
    menu->clear();
    delete menu->findChild<QActionGroup *>(QString(), Qt::FindDirectChildrenOnly);
    // Sub-menus of lessons are children of the menu.
    for (QMenu *sub : menu->findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly))
        sub->deleteLater();
}

} // namespace LessonButtons
