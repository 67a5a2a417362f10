#include "grid/dbgridex.h"

#include "grid/controls/datasource.h"
#include "grid/gridmodel.h"
#include "grid/gridtitles.h"
#include "seam/guard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

constexpr int kIndicatorWidth = 14;
constexpr int kDragScrollMargin = 5;
constexpr int kDragScrollInterval = 300;

// Paints a selected cell like an ordinary one (row colour) when the grid neither keeps its
// selection visible nor has the focus.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(TDBGridEx *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (!m_grid->AlwaysShowSelection() && !m_grid->hasFocus())
            option->state &= ~QStyle::State_Selected;
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (m_grid->hasFocus() && index.row() == m_grid->currentIndex().row())
            paintFocusEdges(painter, option.rect, index.column());
    }

private:
    // The keyboard's row: a dashed line along its top and bottom, closed at both ends.
    void paintFocusEdges(QPainter *painter, const QRect &cell, int column) const {
        painter->save();
        painter->setPen(QPen(m_grid->palette().color(QPalette::HighlightedText), 1, Qt::DashLine));
        const QRect r = cell.adjusted(0, 1, -1, -2);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        const int last = m_grid->model()->columnCount() - 1;
        if (column == 0)
            painter->drawLine(r.topLeft(), r.bottomLeft());
        if (column == last)
            painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
    }

    TDBGridEx *m_grid;
};

} // namespace

TDBGridEx::TDBGridEx(QWidget *parent)
    : QTableView(parent), m_model(new TGridModel(this)), m_titles(new TGridTitles(this)) {
    setHorizontalHeader(m_titles);
    setModel(m_model);
    setItemDelegate(new GridDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 5);
    verticalHeader()->setFixedWidth(kIndicatorWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_titles->setSectionResizeMode(QHeaderView::Interactive);
    m_model->SetColorOddRows(QColor(255, 248, 248));

    connect(m_model, &TGridModel::columnsReset, this, &TDBGridEx::applyColumns);
    connect(m_model, &TGridModel::currentRowChanged, this, &TDBGridEx::syncCurrentRow);
    connect(m_titles, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (!m_applying && !m_titles->isSectionHidden(column))
            m_model->SetColumnWidth(column, qRound(size / columnWidthScale()));
    });
    connect(m_titles, &QHeaderView::sectionClicked, this,
            [this](int column) { RunGuarded([&] { emit titleClick(column); }); });
    m_scrollTimer.setInterval(kDragScrollInterval);
    connect(&m_scrollTimer, &QTimer::timeout, this,
            [this] { RunGuarded([this] { dragScrollTick(); }); });
}

TDBGridEx::~TDBGridEx() = default;

void TDBGridEx::SetDataSource(TDataSource *source) {
    m_model->SetDataSource(source);
}

TDataSource *TDBGridEx::DataSource() const {
    return m_model->DataSource();
}

const TColumnList &TDBGridEx::Columns() const {
    return m_model->Columns();
}

void TDBGridEx::SetColumns(const TColumnList &columns) {
    endHotTrack();
    m_model->SetColumns(columns);
    emit columnsReplaced();
}

void TDBGridEx::MoveColumn(int from, int to) {
    const int count = int(Columns().size());
    if (from == to || from < 0 || to < 0 || from >= count || to >= count)
        return;
    const int currentColumn = currentIndex().column();
    int follow = currentColumn;
    if (currentColumn == from)
        follow = to;
    else if (from < currentColumn && to >= currentColumn)
        follow = currentColumn - 1;
    else if (from > currentColumn && to <= currentColumn)
        follow = currentColumn + 1;
    endHotTrack();
    m_model->MoveColumn(from, to);
    const int row = m_model->CurrentRow();
    if (row >= 0 && follow >= 0) {
        const QScopedValueRollback<bool> guard(m_syncing, true);
        setCurrentIndex(m_model->index(row, follow));
    }
    emit columnMoved(from, to);
}

void TDBGridEx::SetColumnFontColors(int column, TColor title, TColor cell) {
    m_model->SetColumnFontColors(column, title, cell);
}

QColor TDBGridEx::ColorOddRows() const {
    return m_model->ColorOddRows();
}

void TDBGridEx::SetColorOddRows(const QColor &color) {
    m_model->SetColorOddRows(color);
}

void TDBGridEx::SetHotTrackTitles(bool on) {
    m_hotTrackTitles = on;
    if (!on)
        endHotTrack();
}

void TDBGridEx::SetAlwaysShowSelection(bool on) {
    m_alwaysShowSelection = on;
    viewport()->update();
}

void TDBGridEx::SetColumnResize(bool on) {
    m_columnResize = on;
    m_titles->setSectionResizeMode(on ? QHeaderView::Interactive : QHeaderView::Fixed);
}

int TDBGridEx::HotColumn() const {
    return m_model->HotTitle();
}

void TDBGridEx::applyColumns() {
    const QScopedValueRollback<bool> guard(m_applying, true);
    const TColumnList &columns = Columns();
    for (int i = 0; i < columns.size(); ++i) {
        setColumnHidden(i, !columns[i].visible);
        if (columns[i].visible)
            setColumnWidth(i, qRound(columns[i].width * columnWidthScale()));
    }
}

// Column widths are kept as the lists were laid out, for a font whose average character is
// five pixels wide; a wider font widens the columns with it, so that dates and titles that
// fitted still fit. Widths the user drags are stored back in the same measure.
double TDBGridEx::columnWidthScale() const {
    constexpr double kDesignCharWidth = 5.0;
    return std::max(1.0, fontMetrics().averageCharWidth() / kDesignCharWidth);
}

int TDBGridEx::firstVisibleColumn() const {
    const TColumnList &columns = Columns();
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].visible)
            return i;
    return -1;
}

// --- current record ---

void TDBGridEx::syncCurrentRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    int column = currentIndex().column();
    if (column < 0 || column >= m_model->columnCount() || isColumnHidden(column))
        column = firstVisibleColumn();
    if (column < 0)
        return;
    const QScopedValueRollback<bool> guard(m_syncing, true);
    const QModelIndex index = m_model->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void TDBGridEx::currentChanged(const QModelIndex &current, const QModelIndex &previous) {
    QTableView::currentChanged(current, previous);
    if (m_syncing || !current.isValid())
        return;
    TClientTable *table = m_model->ActiveTable();
    if (!table || current.row() == table->CurrentPos())
        return;
    if (table->State() == TTableState::Browse) {
        moveTableTo(current.row());
        return;
    }
    // Leaving an edited record posts it, which rebuilds the rows: do it once the view has
    // finished its own change.
    const int row = current.row();
    QMetaObject::invokeMethod(
        this, [this, row] { moveTableTo(row); }, Qt::QueuedConnection);
}

void TDBGridEx::moveTableTo(int row) {
    TClientTable *table = m_model->ActiveTable();
    if (!table)
        return;
    RunGuarded([&] {
        if (table->CurrentPos() != row) {
            DataSource()->UpdateRecord();
            table->MoveBy(row - table->CurrentPos());
        }
    });
    if (m_model->ActiveTable() && m_model->CurrentRow() != currentIndex().row())
        syncCurrentRow(m_model->CurrentRow());
}

// --- keys and mouse ---

void TDBGridEx::paintEvent(QPaintEvent *event) {
    QTableView::paintEvent(event);
    if (!EmptyText || model()->rowCount() > 0)
        return;
    const QString text = EmptyText();
    if (text.isEmpty())
        return;
    QPainter p(viewport());
    p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    p.drawText(viewport()->rect().adjusted(12, 12, -12, -12),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text);
}

void TDBGridEx::keyPressEvent(QKeyEvent *event) {
    if (OnKeyDown) {
        bool consumed = true;
        RunGuarded([&] { consumed = OnKeyDown(event); });
        if (consumed) {
            event->accept();
            return;
        }
    }
    if (event->key() == Qt::Key_Home || event->key() == Qt::Key_End) {
        if (TClientTable *table = m_model->ActiveTable()) {
            const bool home = event->key() == Qt::Key_Home;
            RunGuarded([&] {
                DataSource()->UpdateRecord();
                home ? table->First() : table->Last();
            });
        }
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void TDBGridEx::mouseDoubleClickEvent(QMouseEvent *event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        RunGuarded([this] { emit gridDoubleClick(); });
}

// --- title highlight ---

void TDBGridEx::hotTrackTitle(const QPoint &titlePos) {
    int column = -1;
    if (m_hotTrackTitles && !m_dragging && m_titles->isVisible() &&
        m_titles->rect().contains(titlePos) && !m_titles->OnResizeBorder(titlePos))
        column = m_titles->logicalIndexAt(titlePos);
    if (column == HotColumn())
        return;
    endHotTrack();
    if (column < 0)
        return;
    bool can = true;
    if (OnHotTrackTitles)
        RunGuarded([&] { OnHotTrackTitles(column, can); });
    if (!can)
        return;
    const bool recolour =
        !Columns()[column].caption.isEmpty() && horizontalScrollBar()->value() == 0;
    m_model->SetHotTitle(column, recolour ? m_hotTrackTitlesColor : QColor());
    m_titles->setCursor(Qt::PointingHandCursor);
}

void TDBGridEx::endHotTrack() {
    if (HotColumn() < 0)
        return;
    m_model->SetHotTitle(-1, QColor());
    m_titles->unsetCursor();
}

// --- column drag ---

QRect TDBGridEx::TitleRect(int column) const {
    if (column < 0 || column >= Columns().size() || isColumnHidden(column))
        return QRect();
    const QRect inTitles(m_titles->sectionViewportPosition(column), 0,
                         m_titles->sectionSize(column), m_titles->height());
    return inTitles.translated(m_titles->viewport()->mapTo(this, QPoint(0, 0)));
}

int TDBGridEx::DataLeft() const {
    return m_titles->viewport()->mapTo(this, QPoint(0, 0)).x();
}

QPixmap TDBGridEx::DragImage(int column) const {
    const QRect title = TitleRect(column);
    if (title.isEmpty())
        return QPixmap();
    const TColumn &def = Columns()[column];
    QPixmap image(title.size());
    image.fill(palette().color(QPalette::Button));
    QPainter painter(&image);
    const QRect frame = image.rect().adjusted(0, 0, -1, -1);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
    QFont bold = m_titles->font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(m_model->headerData(column, Qt::Horizontal, Qt::ForegroundRole).value<QColor>());
    if (column == HotColumn()) // the normal colour, not the highlight
        painter.setPen(IsSystemColor(def.titleColor)
                           ? palette().color(QPalette::WindowText)
                           : QColor(ColorRed(def.titleColor), ColorGreen(def.titleColor),
                                    ColorBlue(def.titleColor)));
    QRect text = image.rect();
    Qt::Alignment align = Qt::AlignVCenter;
    switch (def.alignment) {
    case TColumnAlignment::Left:
        text.setLeft(3);
        align |= Qt::AlignLeft;
        break;
    case TColumnAlignment::Right:
        text.adjust(2, 0, -2, 0);
        align |= Qt::AlignRight;
        break;
    case TColumnAlignment::Center:
        text.setLeft(2);
        align |= Qt::AlignHCenter;
        break;
    }
    painter.drawText(text, int(align), def.caption);
    return image;
}

void TDBGridEx::titleMouseDown(QMouseEvent *event, int column) {
    const Qt::MouseButtons buttons = event->buttons();
    RunGuarded([&] { emit titleMousePressed(buttons, column); });
}

bool TDBGridEx::beginColumnDrag(QMouseEvent *event, int column) {
    const QPoint titlePos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || column < 0 || !m_columnResize ||
        m_titles->OnResizeBorder(titlePos))
        return false;
    if (focusPolicy() != Qt::NoFocus)
        setFocus(Qt::MouseFocusReason);
    endHotTrack();
    const QPoint pos = m_titles->viewport()->mapTo(this, titlePos);
    m_dragging = true;
    m_dragMoved = false;
    m_dragColumn = column;
    m_dragStart = m_lastDragPos = pos;
    m_dragHotSpot = pos - TitleRect(column).topLeft();
    if (!m_dragImage) {
        m_dragImage = new QLabel(this);
        m_dragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    m_dragImage->setPixmap(DragImage(column));
    m_dragImage->adjustSize();
    m_dragImage->hide();
    return true;
}

bool TDBGridEx::columnDragMove(QMouseEvent *event) {
    if (!m_dragging)
        return false;
    const QPoint pos = m_titles->viewport()->mapTo(this, event->position().toPoint());
    m_lastDragPos = pos;
    const bool overGrid = rect().contains(pos);
    if (overGrid && (pos - m_dragStart).manhattanLength() >= QApplication::startDragDistance())
        m_dragMoved = true;
    if (overGrid && m_dragMoved) {
        m_dragImage->move(pos - m_dragHotSpot);
        m_dragImage->show();
        m_dragImage->raise();
    } else {
        m_dragImage->hide(); // parked out of view while not over the grid
    }
    const int right = viewport()->geometry().right();
    if (overGrid &&
        (pos.x() < DataLeft() - kDragScrollMargin || pos.x() > right - kDragScrollMargin)) {
        if (!m_scrollTimer.isActive())
            m_scrollTimer.start();
    }
    return true;
}

void TDBGridEx::dragScrollTick() {
    QScrollBar *bar = horizontalScrollBar();
    if (!m_dragging) {
        m_scrollTimer.stop();
    } else if (m_lastDragPos.x() < DataLeft() - kDragScrollMargin) {
        bar->setValue(bar->value() - 1);
    } else if (m_lastDragPos.x() > viewport()->geometry().right() - kDragScrollMargin) {
        bar->setValue(bar->value() + 1);
    } else {
        m_scrollTimer.stop();
    }
}

int TDBGridEx::dropTarget(const QPoint &gridPos) const {
    const int count = int(Columns().size());
    if (gridPos.x() < DataLeft())
        return 0;
    const int column = m_titles->logicalIndexAt(m_titles->viewport()->mapFrom(this, gridPos));
    return column >= 0 ? column : count - 1;
}

bool TDBGridEx::endColumnDrag(QMouseEvent *event) {
    if (!m_dragging)
        return false;
    if (event->button() != Qt::LeftButton)
        return true;
    const QPoint pos = m_titles->viewport()->mapTo(this, event->position().toPoint());
    const int column = m_dragColumn;
    const bool moved = m_dragMoved;
    stopDrag();
    RunGuarded([&] {
        if (!moved)
            emit titleClick(column);
        else if (rect().contains(pos))
            MoveColumn(column, dropTarget(pos));
    });
    return true;
}

void TDBGridEx::stopDrag() {
    m_scrollTimer.stop();
    m_dragging = false;
    m_dragMoved = false;
    m_dragColumn = -1;
    if (m_dragImage)
        m_dragImage->hide();
}
