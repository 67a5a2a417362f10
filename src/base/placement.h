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
// The bounds fitted to the area (the screen's available part) so that a placement stored on
// a larger or another screen stays reachable: cut to the area's size, and moved inside when
// the top-left corner lies outside it or less than 100 pixels of a side would be inside.
// A window that is within reach stays where it was put.
QRect ClampToArea(const QRect &bounds, const QRect &area);
// The text stored for a window in this state with these bounds.
QString ComposePlacement(int state, const QRect &bounds);
