#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QByteArray>
#include <string_view>

// The text forms of values in data packets (ASCII only: numbers, booleans, dates, times).
namespace PacketValues {

// Reads an integer for an integer field type, checking its range; false when invalid. A "ui8"
// value, 0 to 2^64-1, comes back as its 64 bits.
bool ParseInteger(std::string_view text, TFieldType type, qint64 &value);
bool ParseFloat(std::string_view text, double &value);
bool ParseBoolean(std::string_view text, bool &value);
// Reads the date, time or date-time form of the field type.
bool ParseDateTime(std::string_view text, TFieldType type, TDateTimeMs &value);

void AppendInteger(QByteArray &out, qint64 value);
void AppendUnsigned(QByteArray &out, quint64 value);
// Shortest form that reads back exactly; with decimals > 0, at most that many decimals.
void AppendFloat(QByteArray &out, double value, int decimals);
void AppendBoolean(QByteArray &out, bool value);
void AppendDateTime(QByteArray &out, TDateTimeMs value, TFieldType type);

} // namespace PacketValues
