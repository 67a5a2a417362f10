#include "output/report/previewpageview.h"

#include "output/report/reportpainter.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kDesk = 12;  // grey border around the page
constexpr int kRuler = 18; // ruler thickness
constexpr double kScreenDpi = 96.0;

} // namespace

TPreviewPageView::TPreviewPageView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pageview"));
    setAutoFillBackground(true);
    QPalette desk = palette();
    desk.setColor(QPalette::Window, QColor(128, 128, 128));
    setPalette(desk);
}

void TPreviewPageView::SetPage(const TReportPage *page, double widthInches, double heightInches) {
    m_page = page;
    m_width = widthInches;
    m_height = heightInches;
    resize(sizeHint());
    update();
}

void TPreviewPageView::SetZoom(int percent) {
    m_zoom = percent;
    resize(sizeHint());
    update();
}

void TPreviewPageView::SetRulers(bool on) {
    m_rulers = on;
    resize(sizeHint());
    update();
}

double TPreviewPageView::DotsPerInch() const {
    return kScreenDpi * m_zoom / 100.0;
}

QRect TPreviewPageView::pageRect() const {
    const int offset = kDesk + (m_rulers ? kRuler : 0);
    return QRect(offset, offset, int(m_width * DotsPerInch() + 0.5),
                 int(m_height * DotsPerInch() + 0.5));
}

QSize TPreviewPageView::sizeHint() const {
    const QRect page = pageRect();
    return QSize(page.right() + 1 + kDesk, page.bottom() + 1 + kDesk);
}

void TPreviewPageView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect page = pageRect();
    painter.fillRect(page.translated(3, 3), QColor(64, 64, 64));
    painter.fillRect(page, Qt::white);
    if (m_rulers)
        paintRulers(painter, page);
    if (!m_page)
        return;
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(page.topLeft());
    PaintReportPage(painter, *m_page, DotsPerInch());
}

void TPreviewPageView::paintRulers(QPainter &painter, const QRect &page) const {
    const QRect top(page.left(), page.top() - kRuler, page.width(), kRuler - 2);
    const QRect left(page.left() - kRuler, page.top(), kRuler - 2, page.height());
    painter.fillRect(top, QColor(255, 255, 225));
    painter.fillRect(left, QColor(255, 255, 225));
    painter.setPen(Qt::black);
    QFont small = font();
    small.setPixelSize(9);
    painter.setFont(small);
    const double dpi = DotsPerInch();
    // A mark every tenth of an inch, longer at halves, numbered at whole inches.
    for (int tenth = 0; tenth <= int(std::max(m_width, m_height) * 10); ++tenth) {
        const int length = tenth % 10 == 0 ? kRuler - 4 : tenth % 5 == 0 ? 8 : 4;
        const int x = page.left() + int(tenth * dpi / 10);
        const int y = page.top() + int(tenth * dpi / 10);
        if (x <= top.right())
            painter.drawLine(x, top.bottom(), x, top.bottom() - length);
        if (y <= left.bottom())
            painter.drawLine(left.right(), y, left.right() - length, y);
        if (tenth % 10 == 0 && tenth > 0) {
            const QString number = QString::number(tenth / 10);
            if (x <= top.right())
                painter.drawText(x + 2, top.top() + 10, number);
            if (y <= left.bottom())
                painter.drawText(left.left() + 1, y + 11, number);
        }
    }
}

void TPreviewPageView::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton)
        emit leftClicked();
    else if (event->button() == Qt::RightButton)
        emit rightClicked();
    QWidget::mousePressEvent(event);
}
