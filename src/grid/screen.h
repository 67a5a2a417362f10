#pragma once

#include <QWidget>

// A screen of the main window (orders, timetable, users, lesson) with the four hooks that
// only the main window calls.
class TScreen : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // Once, right after the screen is created.
    virtual void InitScreen() {}
    // When the screen is selected (also again while it is shown).
    virtual void EnterScreen() {}
    // When another screen (or none) is selected while this one is visible.
    virtual void LeaveScreen() {}
    // At every sign-out, for all screens.
    virtual void SignOutScreen() {}
    // The widget that takes mouse-wheel turns made anywhere over the main window while this
    // screen is shown (none by default).
    virtual QWidget *WheelTarget() { return nullptr; }
};
