#pragma once

#include <QDate>
#include <QWidget>

class QLabel;
class QToolButton;
class TMonthDays;

// The timetable's month calendar: the previous-month and next-month buttons around the
// selected date as a bold centred title, over the day cells. The buttons move to the same
// day of the neighbouring month, or to its last day when it is shorter.
class TMonthCalendar : public QWidget {
    Q_OBJECT
public:
    explicit TMonthCalendar(QWidget *parent = nullptr);

    QToolButton *btn_prior;
    QLabel *lb_title;
    QToolButton *btn_next;
    TMonthDays *days;

    QDate Date() const;
    void SetDate(const QDate &date);
    void PriorMonth();
    void NextMonth();
    // Shows a title above the cells (the screen writes the selected date there).
    void SetTitle(const QString &title);
    // Repaints the cells (their colours changed).
    void RefreshCells();

signals:
    // Every change of the selected date.
    void dateChanged(const QDate &date);
};
