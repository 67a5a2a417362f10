#include "pagemarks.h"

void TPageMarks::setPage(PageKey key) {
    if (key == m_page)
        return;
    m_page = key;
    clearStrokes();
    m_pointer.reset();
}

bool TPageMarks::addStroke(PageKey key, const QList<PageSpot> &points) {
    if (key != m_page || points.size() < 2 || m_strokes.size() >= MaxStrokes ||
        m_points + points.size() > MaxPoints)
        return false;
    m_strokes.append(points);
    m_points += points.size();
    return true;
}

void TPageMarks::clearStrokes() {
    m_strokes.clear();
    m_points = 0;
}

bool TPageMarks::setPointer(PageKey key, std::optional<PageSpot> spot) {
    if (key != m_page)
        return false;
    m_pointer = spot;
    return true;
}
