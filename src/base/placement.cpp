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
