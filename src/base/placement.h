#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// The main window's stored placement "state;left;top;width;height" and how it is applied.
struct WindowPlacement {
    enum State { Normal = 0, Minimized = 1, Maximized = 2 };
    int state = Normal;
    QRect bounds;
};

// What to do with the window when it is shown, given the stored text, the window's
// current state and bounds, and the screen's available size.
struct PlacementPlan {
    int state = WindowPlacement::Normal; // the state to apply (minimized starts normal)
    bool centre = false;                 // centre the (possibly resized) window on the screen
    QRect bounds;                        // the bounds to ask for (before the minimum size)
};

PlacementPlan PlanPlacement(const QString &stored, int currentState, const QRect &current,
                            const QSize &screen);
// The text stored for a window in this state with these bounds.
QString ComposePlacement(int state, const QRect &bounds);
