#pragma once

#include "data/clienttable.h"

#include <QByteArray>
#include <QDateTime>
#include <ostream>

// Shorthands for values in tables of cases.
TValue I(qint64 value);
TValue F(double value);
TValue S(const QString &value);
TValue B(bool value);
TValue DT(int y, int m, int d, int h = 0, int min = 0, int s = 0, int ms = 0);
TValue Null();

// The bytes of a file in the data fixtures folder.
QByteArray FixtureBytes(const QString &name);

// A lesson table with a key, a teacher, a start, a status, a name and a price, loaded with
// the given rows (unchanged, empty change log).
QList<TFieldDef> LessonFields();
void FillTable(TClientTable &table, const QList<TFieldDef> &fields,
               const QList<QList<TValue>> &rows);

// The values of one field over the visible rows in the current order (walks the table).
QList<TValue> Column(TClientTable &table, const QString &field);

// Readable values in test failure messages.
void PrintTo(const TValue &value, std::ostream *os);

// Integer values, for comparing a column of ids.
QList<TValue> IdList(std::initializer_list<int> ids);
