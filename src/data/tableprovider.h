#pragma once

#include <QByteArray>

class TClientTable;

// The remote side of a client table: fetches its packet and applies its change log, by the
// table's provider name. Failures are raised as AppError and reach the caller of open,
// refresh or apply with the same message.
class TableProvider {
public:
    virtual ~TableProvider() = default;

    // The table's full packet (bytes as the server sent them, any declared encoding).
    virtual QByteArray FetchPacket(TClientTable &table) = 0;
    // Sends the table's change log and, on success, merges it; called only when the table's
    // change count is at least 1.
    virtual void ApplyUpdates(TClientTable &table) = 0;

    // The table started or stopped using this provider (for a list of bound tables).
    virtual void TableBound(TClientTable &table) { (void)table; }
    virtual void TableUnbound(TClientTable &table) { (void)table; }
};
