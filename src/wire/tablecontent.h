#pragma once

#include "wire/fielddef.h"
#include "wire/recordstore.h"

#include <QList>
#include <QPair>
#include <QString>
#include <vector>

// Row status bits as packets carry them in "RowState".
enum TRowStateBits : quint8 {
    rsOldValues = 1, // old values of a modified row
    rsDeleted = 2,
    rsInserted = 4,
    rsModified = 8,
};

// The update status derived from a row's status byte.
enum class TUpdateStatus { Unchanged, Modified, Inserted, Deleted };
TUpdateStatus UpdateStatusOf(quint8 statusByte);

// A named value stored with a packet; included in change sets when roundTrip is set.
struct TOptionalParam {
    QString name;
    TValue value;
    bool roundTrip = false;
};

// One row of a client table: its record, the record of its old values while it is modified
// in the change log, its status byte and internal flags.
struct TRowEntry {
    quint32 record = kNoRecord;
    quint32 oldRecord = kNoRecord;
    quint8 status = 0;
    quint8 flags = 0;
};

// Everything a packet carries: fields, records and rows in packet order, the engine's own
// properties (attributes of "PARAMS", in order, raw text) and the optional parameters.
struct TTableContent {
    QList<TFieldDef> fields;
    TRecordStore store;
    std::vector<TRowEntry> rows;
    QList<QPair<QString, QString>> properties;
    QList<TOptionalParam> params;
    bool utf8 = false; // the packet was declared UTF-8

    int fieldIndex(QStringView name) const; // -1 when there is none
    bool isDelta() const;                   // "DATASET_DELTA" is set
    bool hasChangeLog() const;              // "CHANGE_LOG" is set: the changes are pending
};
