#pragma once

#include <QList>
#include <QString>
#include <functional>

class TScreen;
struct TServices;

// One screen of the main window: its stable id, its top-bar button, who may use it and how
// it is made. The main window builds its buttons, its stack and its navigation from a list
// of these, in the order of the list.
struct ScreenEntry {
    // What the other screens and the tests call it ("orders"); never shown.
    QString id;
    // Object name of the top-bar button ("im_order").
    QString buttonName;
    // Own-text number of the button's caption (its "&" letter is not used: the top bar's
    // keys are Ctrl+1, Ctrl+2, … in the bar's order).
    int captionText = 0;
    // The user types whose button works; for everybody else (and while signed out) the
    // button is greyed, or hidden when hiddenFromOthers is set.
    QList<int> userTypes;
    bool hiddenFromOthers = false;
    // Selecting the screen with its button puts the keyboard focus into it.
    bool focusOnSelect = false;
    // Makes the screen; called once when the main window is created.
    std::function<TScreen *(const TServices &)> create;
};
