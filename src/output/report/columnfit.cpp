#include "output/report/columnfit.h"

#include <algorithm>
#include <numeric>

QList<TColumnPlace> FitColumns(const QList<TColumnNeed> &needs, double bodyWidth, double gap) {
    QList<double> widths;
    double total = 0, slack = 0;
    for (const TColumnNeed &need : needs) {
        widths.append(std::max(need.natural, need.minimum));
        total += widths.last();
        slack += widths.last() - need.minimum;
    }
    const double gaps = needs.isEmpty() ? 0 : gap * double(needs.size() - 1);
    const double excess = total + gaps - bodyWidth;
    if (excess > 1e-9) {
        const double share = slack > 0 ? std::min(1.0, excess / slack) : 0;
        for (qsizetype i = 0; i < needs.size(); ++i)
            widths[i] -= (widths[i] - needs[i].minimum) * share;
    }
    QList<TColumnPlace> places;
    double left = 0;
    bool full = false;
    for (const double width : widths) {
        TColumnPlace place{left, width, !full && left + width <= bodyWidth + 1e-9};
        if (!place.placed) {
            // The columns after one that does not fit are left out too: the order stays.
            full = true;
            place.width = 0;
        } else {
            left += width + gap;
        }
        places.append(place);
    }
    return places;
}
