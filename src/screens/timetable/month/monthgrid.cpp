#include "screens/timetable/month/monthgrid.h"

#include "lang/programlocale.h"

namespace MonthGrid {

QDate FirstCell(const QDate &month) {
    const QDate first(month.year(), month.month(), 1);
    return first.addDays(1 - first.dayOfWeek());
}

QDate CellDate(const QDate &month, int cell) {
    return FirstCell(month).addDays(cell);
}

int CellOf(const QDate &month, const QDate &date) {
    if (!month.isValid() || !date.isValid())
        return -1;
    const qint64 cell = FirstCell(month).daysTo(date);
    return cell >= 0 && cell < kCells ? int(cell) : -1;
}

QDate ShiftMonths(const QDate &date, int months) {
    return date.addMonths(months);
}

int MonthKey(const QDate &date) {
    return date.isValid() ? date.year() * 12 + date.month() : 0;
}

QString Title(const QDate &date) {
    return ProgramLocale().toString(date, QStringLiteral("d. MMMM yyyy"));
}

} // namespace MonthGrid
