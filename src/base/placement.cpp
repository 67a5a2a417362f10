#include "base/placement.h"

#include "lang/textutil.h"

#include <QStringList>

PlacementPlan PlanPlacement(const QString &stored, int currentState, const QRect &current,
                            const QSize &screen) {
    PlacementPlan plan;
    const QStringList fields = stored.split(u';');
    const int state = ParseInteger(fields.value(0)).value_or(currentState);
    plan.state = state == WindowPlacement::Minimized ? currentState : state;
    plan.bounds = current;
    if (fields.size() < 2) {
        if (screen.width() >= 900)
            plan.bounds.setWidth(875);
        if (screen.height() >= 768)
            plan.bounds.setHeight(715);
        plan.centre = true;
        return plan;
    }
    if (plan.state == WindowPlacement::Normal) {
        auto field = [&](int i, int fallback) {
            return ParseInteger(fields.value(i)).value_or(fallback);
        };
        plan.bounds = QRect(field(1, current.left()), field(2, current.top()),
                            field(3, current.width()), field(4, current.height()));
    }
    return plan;
}

QString ComposePlacement(int state, const QRect &bounds) {
    return QStringLiteral("%1;%2;%3;%4;%5")
        .arg(state)
        .arg(bounds.left())
        .arg(bounds.top())
        .arg(bounds.width())
        .arg(bounds.height());
}

namespace {

// So much of a window along each side keeps it within reach of the mouse.
constexpr int kReachable = 100;

// One dimension of the window (start, length) against the area's: too long is cut to the
// area; a start before the area or too little left inside moves it inside.
std::pair<int, int> fitSpan(int start, int length, int areaStart, int areaLength) {
    if (length > areaLength)
        return {areaStart, areaLength};
    const int inside =
        std::min(start + length, areaStart + areaLength) - std::max(start, areaStart);
    if (start < areaStart || inside < std::min(length, kReachable))
        start = std::clamp(start, areaStart, areaStart + areaLength - length);
    return {start, length};
}

} // namespace

QRect ClampToArea(const QRect &bounds, const QRect &area) {
    if (area.isEmpty())
        return bounds;
    const auto [left, width] = fitSpan(bounds.left(), bounds.width(), area.left(), area.width());
    const auto [top, height] = fitSpan(bounds.top(), bounds.height(), area.top(), area.height());
    return QRect(left, top, width, height);
}
