#pragma once

#include <QHeaderView>

class TDBGridEx;

// The title row of a data grid: hands presses, moves and releases to the grid for the
// column drag and the title highlight, and keeps the header's own column resizing.
class TGridTitles : public QHeaderView {
    Q_OBJECT
public:
    explicit TGridTitles(TDBGridEx *grid);

    // Whether a point (header coordinates) lies on a column-resize border.
    bool OnResizeBorder(const QPoint &pos) const;
    // The caption as the title shows it: whole when it fits, otherwise cut at its end with
    // "…", whatever the column's alignment (a right-aligned number title would otherwise
    // lose its start).
    QString ShownCaption(int logicalIndex) const;

protected:
    void initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    TDBGridEx *m_grid;
};
