#pragma once

#include "pagemarks.h"

#include <QWidget>
#include <functional>

// A transparent layer over the page of the lesson screen that paints the highlight strokes and
// the partner's pointer where they lie on the page, and, while a tool is on, turns the mouse
// into the own pointer or a highlighter. Positions are relative to the page's rectangle, which
// the owner gives (the picture of an image book, the document of an HTML book); with no tool
// on, the mouse goes through to the page below.
class TClassroomOverlay : public QWidget {
    Q_OBJECT
public:
    enum class Tool { None, Pointer, Highlighter };

    explicit TClassroomOverlay(QWidget *parent = nullptr);

    // The page's rectangle in this widget's coordinates (empty: no page shown).
    void setPageRect(std::function<QRectF()> pageRect) { m_pageRect = std::move(pageRect); }
    void setTool(Tool tool);
    Tool tool() const { return m_tool; }
    TPageMarks &marks() { return m_marks; }

    // Between a spot of the page and this widget's coordinates.
    QPointF toWidget(PageSpot spot) const;
    std::optional<PageSpot> toSpot(QPointF at) const;

signals:
    // The own pointer moved to a spot of the page, or left it (none).
    void pointerMoved(std::optional<PageSpot> spot);
    // The own highlight stroke is finished (already among the marks).
    void strokeDrawn(const QList<PageSpot> &points);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRectF pageRect() const;
    void paintStroke(QPainter &painter, const QList<PageSpot> &points, qreal width) const;
    void finishStroke();

    std::function<QRectF()> m_pageRect;
    Tool m_tool = Tool::None;
    TPageMarks m_marks;
    QList<PageSpot> m_drawing;
    // The own pointer, drawn as a ring so that the one who points sees what the partner sees.
    std::optional<PageSpot> m_ownPointer;
    bool m_pointerShown = false;
};
