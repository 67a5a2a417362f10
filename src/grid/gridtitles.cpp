#include "grid/gridtitles.h"

#include "grid/dbgridex.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionHeader>

TGridTitles::TGridTitles(TDBGridEx *grid) : QHeaderView(Qt::Horizontal, grid), m_grid(grid) {
    setSectionsClickable(true);
    setSectionsMovable(false);
    setHighlightSections(false);
    setMouseTracking(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

bool TGridTitles::OnResizeBorder(const QPoint &pos) const {
    if (sectionResizeMode(0) != QHeaderView::Interactive && count() > 0)
        return false;
    const int margin = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
    for (int visual = 0; visual < count(); ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const int right = sectionViewportPosition(logical) + sectionSize(logical);
        if (qAbs(pos.x() - right) <= margin)
            return true;
    }
    return false;
}

QString TGridTitles::ShownCaption(int logicalIndex) const {
    const QString caption = model() ? model()->headerData(logicalIndex, orientation()).toString()
                                    : QString();
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
    int room = sectionSize(logicalIndex) - 2 * margin;
    if (isSortIndicatorShown() && sortIndicatorSection() == logicalIndex)
        room -= style()->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, this) + margin;
    return fontMetrics().elidedText(caption, Qt::ElideRight, qMax(room, 0));
}

void TGridTitles::initStyleOptionForIndex(QStyleOptionHeader *option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    option->text = ShownCaption(logicalIndex);
}

void TGridTitles::mousePressEvent(QMouseEvent *event) {
    const int column = logicalIndexAt(event->position().toPoint());
    m_grid->titleMouseDown(event, column);
    if (m_grid->beginColumnDrag(event, column))
        return;
    QHeaderView::mousePressEvent(event);
}

void TGridTitles::mouseMoveEvent(QMouseEvent *event) {
    if (m_grid->columnDragMove(event))
        return;
    QHeaderView::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        m_grid->hotTrackTitle(event->position().toPoint());
}

void TGridTitles::mouseReleaseEvent(QMouseEvent *event) {
    if (m_grid->endColumnDrag(event))
        return;
    QHeaderView::mouseReleaseEvent(event);
}

void TGridTitles::mouseDoubleClickEvent(QMouseEvent *event) {
    // A second press on a title is another click on it, not a section double click.
    if (event->button() == Qt::LeftButton) {
        mousePressEvent(event);
        return;
    }
    QHeaderView::mouseDoubleClickEvent(event);
}

void TGridTitles::leaveEvent(QEvent *event) {
    m_grid->hotTrackTitle(QPoint(-1, -1));
    QHeaderView::leaveEvent(event);
}

void TGridTitles::contextMenuEvent(QContextMenuEvent *event) {
    // The grid does not take mouse context menus from its children: hand it over, so that the
    // grid's menu rules see right clicks on titles too.
    if (m_grid->contextMenuPolicy() != Qt::CustomContextMenu) {
        event->ignore();
        return;
    }
    event->accept();
    emit m_grid->customContextMenuRequested(m_grid->viewport()->mapFromGlobal(event->globalPos()));
}
