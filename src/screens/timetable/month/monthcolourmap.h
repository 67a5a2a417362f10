#pragma once

#include "grid/columndef.h"
#include "screens/timetable/month/monthgrid.h"

#include <QDate>
#include <array>
#include <climits>
#include <optional>

class TClientTable;

// The colour value of every date cell of the month calendar: no lesson, mixed (lessons of
// different statuses), or the status that all lessons of that day share; and the month it
// was computed for (0 forces a recomputation).
class TMonthColourMap {
public:
    static constexpr int kNoLesson = INT_MIN;
    static constexpr int kMixed = INT_MIN + 1;

    TMonthColourMap() { m_values.fill(kNoLesson); }

    // The month key (MonthGrid::MonthKey) of the last computation; 0 after Invalidate.
    int Month() const { return m_month; }
    void Invalidate() { m_month = 0; }
    bool IsFor(const QDate &date) const {
        return m_month != 0 && m_month == MonthGrid::MonthKey(date);
    }

    // Computes the map for the month of the date in one pass over the table's rows (its
    // filter does not matter): each row of the 42 shown days lands in its day's cell.
    // Raises AppError when the table lacks WHENHOUR or TIMETABLESTATUS.
    void Compute(const TClientTable &table, const QDate &month);

    int Value(int cell) const {
        return cell >= 0 && cell < MonthGrid::kCells ? m_values[cell] : kNoLesson;
    }
    // The value of a date of the computed month (no lesson outside the shown cells).
    int ValueOf(const QDate &date) const;

private:
    int m_month = 0;
    QDate m_shown;
    std::array<int, MonthGrid::kCells> m_values;
};

// The background of a day's value: none (the calendar's normal background) for no lesson,
// otherwise the colour of mixed days or of the status (4 and above share one colour).
std::optional<TColor> DayColour(int value);
