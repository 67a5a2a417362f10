#include "grid/columnorder.h"

void TColumnOrder::Setup(const QList<bool> &gridVisible, GridMove gridMove) {
    m_entries.clear();
    m_grid.clear();
    for (int i = 0; i < gridVisible.size(); ++i) {
        m_grid.append(i);
        if (gridVisible[i])
            m_entries.append(i);
    }
    m_selected = QList<bool>(m_entries.size(), false);
    m_gridMove = std::move(gridMove);
}

void TColumnOrder::SetSelected(int entry, bool selected) {
    if (entry >= 0 && entry < Count())
        m_selected[entry] = selected;
}

bool TColumnOrder::CanMoveUp() const {
    return m_selected.contains(true) && !m_selected.first();
}

bool TColumnOrder::CanMoveDown() const {
    return m_selected.contains(true) && !m_selected.last();
}

void TColumnOrder::MoveToTop() {
    const int first = int(m_selected.indexOf(true));
    if (first >= 0)
        Move(-first);
}

void TColumnOrder::MoveToBottom() {
    const int last = int(m_selected.lastIndexOf(true));
    if (last >= 0)
        Move(Count() - 1 - last);
}

void TColumnOrder::Move(int d) {
    if (d == 0 || !m_selected.contains(true))
        return;
    if ((d < 0 && !CanMoveUp()) || (d > 0 && !CanMoveDown()))
        return;
    if (d < 0) {
        for (int i = 0; i < Count(); ++i)
            if (m_selected[i])
                moveEntry(i, qMax(0, i + d));
    } else {
        for (int i = Count() - 1; i >= 0; --i)
            if (m_selected[i])
                moveEntry(i, qMin(Count() - 1, i + d));
    }
}

void TColumnOrder::moveEntry(int from, int to) {
    if (from == to)
        return;
    const int gridFrom = int(m_grid.indexOf(m_entries[from]));
    const int gridTo = int(m_grid.indexOf(m_entries[to]));
    m_grid.move(gridFrom, gridTo);
    if (m_gridMove)
        m_gridMove(gridFrom, gridTo);
    m_entries.move(from, to);
    m_selected.move(from, to);
}
