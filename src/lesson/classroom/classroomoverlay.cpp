#include "classroomoverlay.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// Points of a stroke closer than this (in page units) to the previous one are left out.
constexpr int MinStep = 12;

} // namespace

TClassroomOverlay::TClassroomOverlay(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("classroomoverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

void TClassroomOverlay::setTool(Tool tool) {
    if (tool == m_tool)
        return;
    if (m_tool == Tool::Highlighter)
        finishStroke();
    if (m_tool == Tool::Pointer && m_pointerShown) {
        m_pointerShown = false;
        emit pointerMoved(std::nullopt);
    }
    m_ownPointer.reset();
    update();
    m_tool = tool;
    setAttribute(Qt::WA_TransparentForMouseEvents, tool == Tool::None);
    setCursor(tool == Tool::None ? Qt::ArrowCursor
              : tool == Tool::Pointer ? Qt::PointingHandCursor
                                      : Qt::CrossCursor);
}

QRectF TClassroomOverlay::pageRect() const {
    return m_pageRect ? m_pageRect() : QRectF();
}

QPointF TClassroomOverlay::toWidget(PageSpot spot) const {
    const QRectF page = pageRect();
    return {page.left() + page.width() * spot.x / ClassroomLines::Scale,
            page.top() + page.height() * spot.y / ClassroomLines::Scale};
}

std::optional<PageSpot> TClassroomOverlay::toSpot(QPointF at) const {
    const QRectF page = pageRect();
    if (page.isEmpty() || !page.contains(at))
        return std::nullopt;
    const auto scaled = [](qreal offset, qreal length) {
        return qBound(0, qRound(offset / length * ClassroomLines::Scale), ClassroomLines::Scale);
    };
    return PageSpot{scaled(at.x() - page.left(), page.width()),
                    scaled(at.y() - page.top(), page.height())};
}

void TClassroomOverlay::paintEvent(QPaintEvent *) {
    const QRectF page = pageRect();
    if (page.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // A highlighter's width follows the page, so that both sides see the same share covered.
    const qreal width = qMax(6.0, page.width() * 0.025);
    for (const QList<PageSpot> &stroke : m_marks.strokes())
        paintStroke(painter, stroke, width);
    paintStroke(painter, m_drawing, width);
    if (const auto spot = m_marks.pointer()) {
        const QPointF at = toWidget(*spot);
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(QColor(220, 0, 0, 220));
        painter.drawEllipse(at, 8, 8);
    }
    if (m_ownPointer) {
        painter.setPen(QPen(QColor(220, 0, 0, 220), 3));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(toWidget(*m_ownPointer), 9, 9);
    }
}

void TClassroomOverlay::paintStroke(QPainter &painter, const QList<PageSpot> &points,
                                    qreal width) const {
    if (points.size() < 2)
        return;
    QPainterPath path(toWidget(points.first()));
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(toWidget(points[i]));
    painter.setPen(QPen(QColor(255, 215, 0, 120), width, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
}

void TClassroomOverlay::mousePressEvent(QMouseEvent *event) {
    if (m_tool != Tool::Highlighter || event->button() != Qt::LeftButton)
        return;
    m_drawing.clear();
    if (const auto spot = toSpot(event->position()))
        m_drawing.append(*spot);
}

void TClassroomOverlay::mouseMoveEvent(QMouseEvent *event) {
    const auto spot = toSpot(event->position());
    if (m_tool == Tool::Pointer) {
        if (spot || m_pointerShown)
            emit pointerMoved(spot);
        m_pointerShown = spot.has_value();
        m_ownPointer = spot;
        update();
        return;
    }
    if (m_tool != Tool::Highlighter || !(event->buttons() & Qt::LeftButton) || !spot)
        return;
    if (!m_drawing.isEmpty()) {
        const PageSpot &last = m_drawing.constLast();
        if (qAbs(last.x - spot->x) + qAbs(last.y - spot->y) < MinStep)
            return;
    }
    m_drawing.append(*spot);
    update();
}

void TClassroomOverlay::mouseReleaseEvent(QMouseEvent *event) {
    if (m_tool == Tool::Highlighter && event->button() == Qt::LeftButton) {
        if (const auto spot = toSpot(event->position()); spot && !m_drawing.isEmpty() &&
                                                         !(m_drawing.constLast() == *spot))
            m_drawing.append(*spot);
        finishStroke();
    }
}

void TClassroomOverlay::leaveEvent(QEvent *) {
    if (m_tool == Tool::Pointer && m_pointerShown) {
        m_pointerShown = false;
        m_ownPointer.reset();
        update();
        emit pointerMoved(std::nullopt);
    }
}

void TClassroomOverlay::finishStroke() {
    const QList<PageSpot> points = std::exchange(m_drawing, {});
    if (points.size() >= 2 && m_marks.addStroke(m_marks.page(), points))
        emit strokeDrawn(points);
    update();
}
