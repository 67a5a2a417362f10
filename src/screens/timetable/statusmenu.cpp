#include "screens/timetable/statusmenu.h"

#include "seam/guard.h"
#include "screens/timetable/statuschoices.h"

TStatusMenu::TStatusMenu(QWidget *parent) : QMenu(parent) {
    setObjectName(QStringLiteral("pmttstatus"));
    connect(this, &QMenu::triggered, this, [this](QAction *action) {
        const int status = action->data().toInt();
        if (OnChoose)
            RunGuarded([this, status] { OnChoose(status); });
    });
}

void TStatusMenu::Build(const TClientTable &statuses, int userType) {
    ClearEntries();
    for (const TStatusChoice &choice : TimetableStatusChoices(statuses, userType))
        addAction(choice.name)->setData(choice.status);
}

void TStatusMenu::ClearEntries() {
    clear(); // deletes the entries the menu owns
}

void TStatusMenu::MarkCurrent(int status) {
    for (QAction *action : actions())
        action->setEnabled(action->data().toInt() != status);
}

void TStatusMenu::PopupBelow(QWidget *button, int currentStatus) {
    MarkCurrent(currentStatus);
    popup(button->mapToGlobal(QPoint(0, button->height())));
}

QAction *TStatusMenu::EntryOf(int status) const {
    for (QAction *action : actions())
        if (action->data().toInt() == status)
            return action;
    return nullptr;
}
