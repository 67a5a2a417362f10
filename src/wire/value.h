#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <variant>

// A date and time without time zone, counted in milliseconds from 1970-01-01 00:00:00.000
// (negative before it). Dates hold midnight; times alone hold 1970-01-01 and the time of day.
struct TDateTimeMs {
    qint64 ms = 0;
    friend bool operator==(TDateTimeMs a, TDateTimeMs b) { return a.ms == b.ms; }
    friend auto operator<=>(TDateTimeMs a, TDateTimeMs b) { return a.ms <=> b.ms; }
};

constexpr qint64 kMsPerDay = 86400000;

TDateTimeMs ToDateTimeMs(const QDate &date, const QTime &time = QTime(0, 0));
TDateTimeMs ToDateTimeMs(const QDateTime &value);
QDate DatePart(TDateTimeMs value);
QTime TimePart(TDateTimeMs value);
QDateTime ToQDateTime(TDateTimeMs value);

// One value of a client table cell: null, integer, float, text, date-time, boolean, bytes, or
// an unsigned integer (the full range of "ui8" fields).
class TValue {
public:
    enum Kind : quint8 { Null, Integer, Float, Text, DateTime, Bool, Bytes, Unsigned };

    TValue() = default;
    static TValue FromInteger(qint64 value) { return TValue(Storage(value)); }
    static TValue FromUnsigned(quint64 value) { return TValue(Storage(value)); }
    static TValue FromFloat(double value) { return TValue(Storage(value)); }
    static TValue FromText(QString value) { return TValue(Storage(std::move(value))); }
    static TValue FromDateTime(TDateTimeMs value) { return TValue(Storage(value)); }
    static TValue FromDateTime(const QDateTime &value) { return FromDateTime(ToDateTimeMs(value)); }
    static TValue FromDate(const QDate &value) { return FromDateTime(ToDateTimeMs(value)); }
    static TValue FromBool(bool value) { return TValue(Storage(value)); }
    static TValue FromBytes(QByteArray value) { return TValue(Storage(std::move(value))); }

    Kind kind() const { return Kind(m_value.index()); }
    bool isNull() const { return kind() == Null; }

    // Readers convert between the numeric kinds (integer, float, boolean, date-time);
    // a null reads as 0, false, empty text or empty bytes. An unsigned value above the
    // largest qint64 reads as that largest qint64 from toInteger.
    qint64 toInteger() const;
    quint64 toUnsigned() const; // a negative value reads as 0
    double toFloat() const;
    bool toBool() const;
    TDateTimeMs toDateTime() const;
    QDateTime toQDateTime() const { return ToQDateTime(toDateTime()); }
    // Text of a text value, bytes of a bytes value; other kinds give their plain text form.
    QString toText() const;
    QByteArray toBytes() const;

    // Same kind and same value; a null equals only a null.
    friend bool operator==(const TValue &a, const TValue &b) { return a.m_value == b.m_value; }

private:
    using Storage = std::variant<std::monostate, qint64, double, QString, TDateTimeMs, bool,
                                 QByteArray, quint64>;
    explicit TValue(Storage value) : m_value(std::move(value)) {}
    Storage m_value;
};
