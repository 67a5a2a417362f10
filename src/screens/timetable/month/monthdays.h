#pragma once

#include "grid/columndef.h"

#include <QDate>
#include <QWidget>
#include <functional>
#include <optional>

// The day cells of the month calendar: a row of short day names, Monday first, over 6 week
// rows of 7 dates; the dates of the neighbouring months in grey. Each cell's background comes
// from the owner; the selected date shows white text. A click selects a date, the arrow keys
// move by a day or a week, Page Up and Page Down by a month.
class TMonthDays : public QWidget {
    Q_OBJECT
public:
    explicit TMonthDays(QWidget *parent = nullptr);

    QDate Date() const { return m_date; }
    // Selects a date (repaints; emits dateChanged when it differs).
    void SetDate(const QDate &date);
    // The background of a date cell; none keeps the calendar's normal background.
    std::function<std::optional<TColor>(const QDate &date)> CellColour;

    // The cell under a point, or -1.
    int CellAt(const QPoint &pos) const;
    QRect CellRect(int cell) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void dateChanged(const QDate &date);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int headerHeight() const;
    void paintCell(class QPainter &painter, int cell, const QDate &date);

    QDate m_date;
};
