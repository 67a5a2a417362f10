#pragma once

#include "classroomlines.h"

#include <QList>
#include <optional>

// The marks on the page both sides show: the highlight strokes (own and the partner's) and the
// partner's pointer. Everything belongs to one page; marks for another page are not taken, and
// a new page starts empty. Bounded, so that a partner who floods strokes costs at most a few
// hundred kilobytes and a bounded repaint.
class TPageMarks {
public:
    static constexpr int MaxStrokes = 500;
    static constexpr int MaxPoints = 40000;

    // The page now shown; a different one clears everything.
    void setPage(PageKey key);
    PageKey page() const { return m_page; }
    // A stroke of at least two points on the page shown; false when not taken (another page,
    // too short, or over the bounds).
    bool addStroke(PageKey key, const QList<PageSpot> &points);
    // Wipes the strokes (the pointer stays).
    void clearStrokes();
    // The partner's pointer on that page; none hides it. False for another page.
    bool setPointer(PageKey key, std::optional<PageSpot> spot);
    void hidePointer() { m_pointer.reset(); }

    const QList<QList<PageSpot>> &strokes() const { return m_strokes; }
    std::optional<PageSpot> pointer() const { return m_pointer; }

private:
    PageKey m_page;
    QList<QList<PageSpot>> m_strokes;
    qsizetype m_points = 0;
    std::optional<PageSpot> m_pointer;
};
