#pragma once

#include "wire/value.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

// The values of one change-set row by field name; a null value is present only where a
// null marker names the field.
using RowValues = QHash<QString, TValue>;

// One change of a change set, in packet order.
struct ChangeOp {
    enum Kind { Insert, Delete, Modify } kind;
    RowValues oldValues; // Delete and Modify: the row's old values
    RowValues values;    // Insert: the new row; Modify: the changed fields only
    QString key;         // text of field 0 of the old values (Delete, Modify)
};

// Reads the change-set packet: pairs each modified row with its old values and adds the
// fields its null marker names as nulls. Raises AppError when the packet is malformed.
QList<ChangeOp> ReadChangeSet(const QByteArray &packet);
