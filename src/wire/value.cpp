#include "wire/value.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace {

constexpr qint64 kEpochJulianDay = 2440588; // 1970-01-01

} // namespace

TDateTimeMs ToDateTimeMs(const QDate &date, const QTime &time) {
    const qint64 days = date.toJulianDay() - kEpochJulianDay;
    return TDateTimeMs{days * kMsPerDay + (time.isValid() ? time.msecsSinceStartOfDay() : 0)};
}

TDateTimeMs ToDateTimeMs(const QDateTime &value) {
    return ToDateTimeMs(value.date(), value.time());
}

QDate DatePart(TDateTimeMs value) {
    const qint64 days =
        value.ms >= 0 ? value.ms / kMsPerDay : -((-value.ms + kMsPerDay - 1) / kMsPerDay);
    return QDate::fromJulianDay(days + kEpochJulianDay);
}

QTime TimePart(TDateTimeMs value) {
    qint64 ms = value.ms % kMsPerDay;
    if (ms < 0)
        ms += kMsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

QDateTime ToQDateTime(TDateTimeMs value) {
    return QDateTime(DatePart(value), TimePart(value));
}

qint64 TValue::toInteger() const {
    switch (kind()) {
    case Integer:
        return std::get<qint64>(m_value);
    case Unsigned:
        return qint64(
            qMin<quint64>(std::get<quint64>(m_value), quint64(std::numeric_limits<qint64>::max())));
    case Float: { // rounded, and kept within the range (a float can lie far beyond it)
        const double f = std::get<double>(m_value);
        if (!(f > -9223372036854775808.0))
            return std::numeric_limits<qint64>::min();
        if (f >= 9223372036854775808.0)
            return std::numeric_limits<qint64>::max();
        return qint64(std::llround(f));
    }
    case Bool:
        return std::get<bool>(m_value) ? 1 : 0;
    case DateTime:
        return std::get<TDateTimeMs>(m_value).ms;
    case Text:
        return std::get<QString>(m_value).toLongLong();
    default:
        return 0;
    }
}

quint64 TValue::toUnsigned() const {
    switch (kind()) {
    case Unsigned:
        return std::get<quint64>(m_value);
    case Float: {
        const double f = std::get<double>(m_value);
        return f <= 0 ? 0 : f >= 18446744073709551616.0 ? ~quint64(0) : quint64(std::round(f));
    }
    case Text:
        return std::get<QString>(m_value).toULongLong();
    default:
        return quint64(qMax<qint64>(toInteger(), 0));
    }
}

double TValue::toFloat() const {
    switch (kind()) {
    case Float:
        return std::get<double>(m_value);
    case Unsigned:
        return double(std::get<quint64>(m_value));
    case Text:
        return std::get<QString>(m_value).toDouble();
    default:
        return double(toInteger());
    }
}

bool TValue::toBool() const {
    switch (kind()) {
    case Float:
        return std::get<double>(m_value) != 0;
    case Text:
        return std::get<QString>(m_value).compare(u"true", Qt::CaseInsensitive) == 0;
    default:
        return toInteger() != 0;
    }
}

TDateTimeMs TValue::toDateTime() const {
    switch (kind()) {
    case DateTime:
        return std::get<TDateTimeMs>(m_value);
    case Float: // days, as a float date
        return TDateTimeMs{qint64(std::llround(std::get<double>(m_value) * kMsPerDay))};
    default:
        return TDateTimeMs{toInteger()};
    }
}

QString TValue::toText() const {
    switch (kind()) {
    case Null:
        return QString();
    case Integer:
        return QString::number(std::get<qint64>(m_value));
    case Unsigned:
        return QString::number(std::get<quint64>(m_value));
    case Float:
        return QString::number(std::get<double>(m_value), 'g', QLocale::FloatingPointShortest);
    case Text:
        return std::get<QString>(m_value);
    case DateTime: {
        // Date and time as written, without consulting a time zone.
        const QDate date = DatePart(toDateTime());
        const QTime time = TimePart(toDateTime());
        return time == QTime(0, 0)
                   ? date.toString(Qt::ISODate)
                   : date.toString(Qt::ISODate) + u'T' + time.toString(Qt::ISODateWithMs);
    }
    case Bool:
        return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Bytes:
        return QString::fromUtf8(std::get<QByteArray>(m_value));
    }
    return QString();
}

QByteArray TValue::toBytes() const {
    switch (kind()) {
    case Bytes:
        return std::get<QByteArray>(m_value);
    case Null:
        return QByteArray();
    default:
        return toText().toUtf8();
    }
}
