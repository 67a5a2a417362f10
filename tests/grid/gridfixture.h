#pragma once

// Small client tables and helpers shared by the grid tests.
#include "data/clienttable.h"
#include "grid/columndef.h"

#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// A table of pupils: ID (integer), NAME (text), HOURS (integer), WHENHOUR (date and time),
// NOTE (memo), with one row per name; HOURS counts 1, 2, 3 ... in row order.
void FillPupils(TClientTable &table, const QStringList &names);
// A generated pupils table of the given size (same fields as FillPupils, names drawn from a
// fixed seed, hours 0 to 99), loaded from one packet.
void FillLargePupils(TClientTable &table, int rows);
// The designed columns of the pupils list.
TColumnList PupilColumns();
// The values of a field in the table's current order.
QStringList ColumnTexts(const TClientTable &table, int field);

// A double click as the windowing system delivers it: a click, then the double click.
void DoubleClick(QWidget *widget, const QPoint &pos);
// Runs an action on the next modal dialog as soon as it is shown.
void WhenModal(std::function<void(QWidget *dialog)> action);
// Points the program's data folder (and with it the configuration store) at a fresh
// temporary folder once per test program; returns the folder.
QString UseTemporaryDataFolder();
