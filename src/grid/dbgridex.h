#pragma once

#include "grid/columndef.h"

#include <QPoint>
#include <QTableView>
#include <QTimer>
#include <functional>

class QLabel;
class TDataSource;
class TGridModel;
class TGridTitles;

// The data grid of every list: shows a client table through its columns with whole-row
// selection and an indicator column, and adds alternating row colours by record number,
// a highlighted title under the mouse, and moving columns by dragging their titles (with a
// drag image and a scroll timer at the edges); a plain click on a title stays a title click.
class TDBGridEx : public QTableView {
    Q_OBJECT
public:
    explicit TDBGridEx(QWidget *parent = nullptr);
    ~TDBGridEx() override;

    void SetDataSource(TDataSource *source);
    TDataSource *DataSource() const;
    TGridModel *GridModel() const { return m_model; }

    const TColumnList &Columns() const;
    void SetColumns(const TColumnList &columns);
    // Moves a column to another place; the current column follows it, the row is kept.
    void MoveColumn(int from, int to);
    void SetColumnFontColors(int column, TColor title, TColor cell);

    // Background of rows with an even record number (red 255, green 248, blue 248).
    QColor ColorOddRows() const;
    void SetColorOddRows(const QColor &color);
    bool HotTrackTitles() const { return m_hotTrackTitles; }
    void SetHotTrackTitles(bool on);
    QColor HotTrackTitlesColor() const { return m_hotTrackTitlesColor; }
    void SetHotTrackTitlesColor(const QColor &color) { m_hotTrackTitlesColor = color; }
    // Asked before a title is highlighted: may clear the flag to refuse.
    std::function<void(int column, bool &canHighlight)> OnHotTrackTitles;
    // Whether the selected row keeps its selection look while the grid has no focus.
    bool AlwaysShowSelection() const { return m_alwaysShowSelection; }
    void SetAlwaysShowSelection(bool on);
    // Whether columns can be resized (and moved by dragging their titles).
    bool ColumnResize() const { return m_columnResize; }
    void SetColumnResize(bool on);
    // Runs first for every key; true means the key is consumed.
    std::function<bool(QKeyEvent *event)> OnKeyDown;
    // A sentence shown in the middle of an empty grid (why it is empty); none when empty.
    std::function<QString()> EmptyText;

    // The column whose title is highlighted, or -1.
    int HotColumn() const;
    // View pixels per unit of a column's width (at least 1): the font's average character
    // against the five pixels the lists were laid out for.
    double columnWidthScale() const;
    bool Dragging() const { return m_dragging; }
    bool DragScrolling() const { return m_scrollTimer.isActive(); }
    // A title's rectangle in grid coordinates (empty for a hidden column).
    QRect TitleRect(int column) const;
    // The left edge of the data columns (the indicator column lies left of it), grid coords.
    int DataLeft() const;
    // The image shown under the mouse while a column's title is dragged.
    QPixmap DragImage(int column) const;

    // Called by the title row.
    void titleMouseDown(QMouseEvent *event, int column);
    bool beginColumnDrag(QMouseEvent *event, int column);
    bool columnDragMove(QMouseEvent *event);
    bool endColumnDrag(QMouseEvent *event);
    void hotTrackTitle(const QPoint &titlePos);

signals:
    // A title was clicked (also a drag that never moved over the grid).
    void titleClick(int column);
    // A mouse button went down on a title (column -1 beyond the last one).
    void titleMousePressed(Qt::MouseButtons buttons, int column);
    // The data area was double-clicked.
    void gridDoubleClick();
    // A column moved to another place (drag, column order editor).
    void columnMoved(int from, int to);
    // The whole column list was replaced (SetColumns).
    void columnsReplaced();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void keyboardSearch(const QString &) override {}

private:
    void applyColumns();
    void syncCurrentRow(int row);
    void moveTableTo(int row);
    void dragScrollTick();
    void endHotTrack();
    void stopDrag();
    int dropTarget(const QPoint &gridPos) const;
    int firstVisibleColumn() const;

    TGridModel *m_model;
    TGridTitles *m_titles;
    bool m_hotTrackTitles = false;
    QColor m_hotTrackTitlesColor = QColor(0, 0, 128);
    bool m_alwaysShowSelection = true;
    bool m_columnResize = true;
    bool m_applying = false;
    bool m_syncing = false;

    // column drag
    bool m_dragging = false;
    bool m_dragMoved = false;
    int m_dragColumn = -1;
    QPoint m_dragStart;   // grid coordinates
    QPoint m_dragHotSpot; // offset of the press inside the title
    QPoint m_lastDragPos; // grid coordinates
    QLabel *m_dragImage = nullptr;
    QTimer m_scrollTimer;
};
