#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QDateTime>
#include <QVariant>
#include <optional>

// Field definitions of server tables, in the packet types the client reads.
TFieldDef IntField(const QString &name);
TFieldDef FloatField(const QString &name);
TFieldDef MoneyField(const QString &name);
TFieldDef TextField(const QString &name, int width);
TFieldDef MemoField(const QString &name);
TFieldDef DateTimeField(const QString &name);

// A stored date-time ("yyyy-MM-ddTHH:mm:ss.zzz" as the database keeps it) read without any
// time-zone work, which costs a system call per value in the C library.
std::optional<TDateTimeMs> ParseStoredDateTime(QStringView text);
// The same as a wall-clock QDateTime marked UTC, for comparisons and arithmetic only (it must
// not be bound to SQL, where it would be written with a zone).
QDateTime StoredWallTime(const QVariant &value);
QDateTime WallTime(const QDateTime &local);

// A database value as a value of the field's kind (null stays null).
TValue ValueFromSql(const QVariant &value, const TFieldDef &field);
// A packet value as a database value of the field's kind (null gives a null QVariant).
QVariant ValueToSql(const TValue &value, const TFieldDef &field);
