#include "screens/timetable/month/monthdays.h"

#include "lang/programlocale.h"
#include "seam/seam.h"
#include "screens/timetable/month/monthgrid.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

const QColor kOtherMonthText(153, 153, 153);
const QColor kSelectedText(Qt::white);

QColor qColor(TColor c) {
    return QColor(ColorRed(c), ColorGreen(c), ColorBlue(c));
}

} // namespace

TMonthDays::TMonthDays(QWidget *parent) : QWidget(parent), m_date(QDate::currentDate()) {
    setObjectName(QStringLiteral("days"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void TMonthDays::SetDate(const QDate &date) {
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    update();
    emit dateChanged(date);
}

int TMonthDays::headerHeight() const {
    return fontMetrics().height() + 6;
}

QRect TMonthDays::CellRect(int cell) const {
    const int top = headerHeight();
    const int row = cell / MonthGrid::kColumns, column = cell % MonthGrid::kColumns;
    const int x0 = width() * column / MonthGrid::kColumns;
    const int x1 = width() * (column + 1) / MonthGrid::kColumns;
    const int y0 = top + (height() - top) * row / MonthGrid::kRows;
    const int y1 = top + (height() - top) * (row + 1) / MonthGrid::kRows;
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

int TMonthDays::CellAt(const QPoint &pos) const {
    const int top = headerHeight();
    if (pos.y() < top || pos.x() < 0 || pos.x() >= width() || pos.y() >= height())
        return -1;
    const int column = pos.x() * MonthGrid::kColumns / qMax(width(), 1);
    const int row = (pos.y() - top) * MonthGrid::kRows / qMax(height() - top, 1);
    return row * MonthGrid::kColumns + column;
}

QSize TMonthDays::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const int cellWidth = fm.horizontalAdvance(QStringLiteral("000")) + 12;
    return QSize(cellWidth * MonthGrid::kColumns,
                 headerHeight() + (fm.height() + 8) * MonthGrid::kRows);
}

QSize TMonthDays::minimumSizeHint() const {
    return sizeHint();
}

void TMonthDays::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QLocale locale = ProgramLocale();
    const int top = headerHeight();
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    for (int day = 1; day <= 7; ++day) {
        const QRect r = CellRect(day - 1);
        painter.drawText(QRect(r.left(), 0, r.width(), top), Qt::AlignCenter,
                         locale.dayName(day, QLocale::ShortFormat));
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, top - 2, width(), top - 2);
    for (int cell = 0; cell < MonthGrid::kCells; ++cell)
        paintCell(painter, cell, MonthGrid::CellDate(m_date, cell));
}

void TMonthDays::paintCell(QPainter &painter, int cell, const QDate &date) {
    const QRect r = CellRect(cell).adjusted(1, 1, -1, -1);
    const bool selected = date == m_date;
    const bool inMonth = date.month() == m_date.month();
    QColor text = inMonth ? palette().color(QPalette::Text) : kOtherMonthText;
    if (!isEnabled()) {
        // The whole calendar shows the button face while the list follows the filter.
        painter.fillRect(r, palette().color(QPalette::Button));
        text = palette().color(QPalette::Disabled, QPalette::Text);
    } else {
        const std::optional<TColor> colour = CellColour ? CellColour(date) : std::nullopt;
        if (selected) {
            painter.fillRect(r, palette().color(QPalette::Highlight));
            // The selected day keeps its status colour as a band along its bottom edge.
            if (colour)
                painter.fillRect(QRect(r.left(), r.bottom() - 3, r.width(), 4), qColor(*colour));
            text = kSelectedText;
        } else if (colour) {
            painter.fillRect(r, qColor(*colour));
        }
    }
    if (date == CurrentSeam().now().date()) {
        painter.setPen(QPen(QColor(0, 0, 128), 1));
        painter.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (selected && hasFocus()) {
        // The keyboard's place: a dashed frame inside the chosen day.
        painter.setPen(QPen(kSelectedText, 1, Qt::DashLine));
        painter.drawRect(r.adjusted(2, 2, -3, -3));
    }
    QFont font = painter.font();
    font.setBold(selected);
    painter.setFont(font);
    painter.setPen(text);
    painter.drawText(r, Qt::AlignCenter, QString::number(date.day()));
    font.setBold(false);
    painter.setFont(font);
}

void TMonthDays::mousePressEvent(QMouseEvent *event) {
    const int cell = CellAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || cell < 0)
        return QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    SetDate(MonthGrid::CellDate(m_date, cell));
}

void TMonthDays::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Left:
        return SetDate(m_date.addDays(-1));
    case Qt::Key_Right:
        return SetDate(m_date.addDays(1));
    case Qt::Key_Up:
        return SetDate(m_date.addDays(-7));
    case Qt::Key_Down:
        return SetDate(m_date.addDays(7));
    case Qt::Key_PageUp:
        return SetDate(MonthGrid::ShiftMonths(m_date, -1));
    case Qt::Key_PageDown:
        return SetDate(MonthGrid::ShiftMonths(m_date, 1));
    default:
        QWidget::keyPressEvent(event);
    }
}
