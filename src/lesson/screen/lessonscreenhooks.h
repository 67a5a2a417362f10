#pragma once

#include <QString>
#include <functional>

// What the lesson screen needs from the program around it, set by the program at start: the
// main window's status bar panels and the user dialog of the screens. Unset hooks do nothing.
struct LessonScreenHooks {
    std::function<void(int panel, const QString &text)> setStatusPanel; // painted at once
    std::function<void(int idUser)> showUserDialog;                     // modal
};

LessonScreenHooks &LessonHooks();
