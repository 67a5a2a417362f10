#pragma once

#include <QByteArray>

class TClientTable;

// The table's change set as UTF-8 packet bytes, with a null marker parameter
// "NULLSINREC_" + key for every modified row that the table's filter shows and in which
// fields were changed to null (their names joined by ";"). Empty when there are no changes.
// The table's current row and state are left as they were.
QByteArray ChangeSetWithNullMarkers(const TClientTable &table);
