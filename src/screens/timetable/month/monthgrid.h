#pragma once

#include <QDate>
#include <QString>

// The dates of the timetable's month calendar: 6 week rows of 7 days, Monday first, the
// first row holding the 1st of the month, the cells around the month showing the dates of
// the neighbouring months.
namespace MonthGrid {

inline constexpr int kColumns = 7;
inline constexpr int kRows = 6;
inline constexpr int kCells = kColumns * kRows;

// The date of the first cell (a Monday) for the month of the given date.
QDate FirstCell(const QDate &month);
// The date in a cell (0 to 41) for the month of the given date.
QDate CellDate(const QDate &month, int cell);
// The cell of a date for the month of the given date; -1 when it is not shown.
int CellOf(const QDate &month, const QDate &date);
// The same day in the month that lies months away, or that month's last day when it is
// shorter (31 January and one month on give the last day of February).
QDate ShiftMonths(const QDate &date, int months);
// A number for the month of a date (0 for an invalid date).
int MonthKey(const QDate &date);
// The calendar's title: "D. MMMM YYYY" in the interface language.
QString Title(const QDate &date);

} // namespace MonthGrid
