#pragma once

#include "wire/fielddef.h"
#include "wire/value.h"

#include <QList>
#include <functional>
#include <vector>

class QSqlQuery;
class PacketRows;

// How rows read from a query are filled: the query's columns fill the first fields in order,
// fields whose bit in `keep` is cleared stay empty, and `complete` (given the value of the
// first column) sets fields after the query's columns through PacketRows::set.
struct QueryRowOptions {
    const std::vector<bool> *keep = nullptr;
    std::function<void(qint64 key, PacketRows &row)> complete;
};

// Receives the rows of one reply packet in packet order: first the fields, then rows read
// from queries or made by hand.
class PacketRows {
public:
    virtual ~PacketRows() = default;

    virtual void begin(const QList<TFieldDef> &fields) = 0;
    // One row per result row of the active query.
    virtual void addRows(QSqlQuery &query, const QueryRowOptions &options = {}) = 0;
    // A row made by hand: its values set in increasing field order between the two calls.
    virtual void beginRow() = 0;
    virtual void set(int field, const TValue &value) = 0;
    virtual void endRow() = 0;
};
