#pragma once

#include <QMenu>
#include <functional>

class TClientTable;

// The timetable's status menu: one entry per status of cd_ttstatus (a teacher gets only 3, 4
// and 5), built once per sign-in; it opens below a button with the lesson's present status
// disabled, and a chosen entry hands its status to OnChoose.
class TStatusMenu : public QMenu {
    Q_OBJECT
public:
    explicit TStatusMenu(QWidget *parent = nullptr);

    std::function<void(int status)> OnChoose;

    bool IsEmpty() const { return actions().isEmpty(); }
    // Builds the entries from the statuses for the user type.
    void Build(const TClientTable &statuses, int userType);
    // Removes every entry (sign-out).
    void ClearEntries();
    // Disables the entry of the present status, enables the others.
    void MarkCurrent(int status);
    // MarkCurrent, then opens the menu just below the button.
    void PopupBelow(QWidget *button, int currentStatus);
    // The entry of a status, or nullptr.
    QAction *EntryOf(int status) const;
};
