#pragma once

#include <QList>
#include <functional>

// The ordering logic of the column order editor: a list of entries (the grid's visible
// columns) with a multi-selection, moved up or down while keeping the order and the gaps of
// the selected entries; every single move first moves the entry's grid column to the grid
// position of the column at the target place, so hidden columns keep their places relative
// to their neighbours.
class TColumnOrder {
public:
    // Moves a grid column from one position to another (the rest shift).
    using GridMove = std::function<void(int from, int to)>;

    // gridVisible: one flag per grid column in grid order; the entries are the visible ones.
    void Setup(const QList<bool> &gridVisible, GridMove gridMove);

    int Count() const { return int(m_entries.size()); }
    // The grid position, at setup time, of the column that the entry stands for.
    int EntryColumn(int entry) const { return m_entries.value(entry, -1); }
    // The grid position, now, of the column that the entry stands for.
    int EntryGridPosition(int entry) const { return int(m_grid.indexOf(EntryColumn(entry))); }
    bool Selected(int entry) const { return m_selected.value(entry, false); }
    void SetSelected(int entry, bool selected);

    bool CanMoveUp() const;   // something selected and the first entry is not
    bool CanMoveDown() const; // something selected and the last entry is not

    void MoveUp() { Move(-1); }
    void MoveDown() { Move(1); }
    void MoveToTop();
    void MoveToBottom();
    // Moves every selected entry by d places (negative: up).
    void Move(int d);

private:
    void moveEntry(int from, int to);

    QList<int> m_entries;   // column ids in list order
    QList<bool> m_selected; // per entry
    QList<int> m_grid;      // column ids in grid order
    GridMove m_gridMove;
};
