#include "screens/timetable/month/monthcolourmap.h"

#include "data/clienttable.h"
#include "errors/apperror.h"

namespace {

int requiredField(const TClientTable &table, const QString &name) {
    const int index = table.FieldIndex(name);
    if (index < 0)
        throw AppError(QStringLiteral("%1: Field '%2' not found").arg(table.Name(), name));
    return index;
}

} // namespace

void TMonthColourMap::Compute(const TClientTable &table, const QDate &month) {
    m_values.fill(kNoLesson);
    m_shown = month;
    m_month = MonthGrid::MonthKey(month);
    if (!table.Active())
        return;
    const int when = requiredField(table, QStringLiteral("WHENHOUR"));
    const int status = requiredField(table, QStringLiteral("TIMETABLESTATUS"));
    const qint64 first = ToDateTimeMs(MonthGrid::FirstCell(month)).ms;
    const qint64 end = first + MonthGrid::kCells * kMsPerDay;
    table.ForEachRow({when, status}, [&](const TValue *values) {
        if (values[0].isNull())
            return;
        const qint64 ms = values[0].toDateTime().ms;
        if (ms < first || ms >= end)
            return;
        int &cell = m_values[size_t((ms - first) / kMsPerDay)];
        const int rowStatus = int(values[1].toInteger());
        if (cell == kNoLesson)
            cell = rowStatus;
        else if (cell != rowStatus)
            cell = kMixed;
    });
}

int TMonthColourMap::ValueOf(const QDate &date) const {
    return m_month == 0 ? kNoLesson : Value(MonthGrid::CellOf(m_shown, date));
}

std::optional<TColor> DayColour(int value) {
    if (value == TMonthColourMap::kMixed)
        return RgbColor(192, 220, 192);
    switch (value) {
    case 1:
        return RgbColor(166, 202, 240);
    case 2:
        return RgbColor(255, 255, 0);
    case 3:
        return RgbColor(255, 0, 0);
    default:
        if (value >= 4)
            return RgbColor(128, 128, 0);
        return std::nullopt;
    }
}
