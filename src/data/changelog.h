#pragma once

#include "wire/packetwriter.h"
#include "wire/tablecontent.h"

#include <QString>
#include <vector>

// The change log of a client table: the rows inserted, modified or deleted since the table was
// loaded or last merged, each change with the row's entry before it, so that changes are
// counted, undone one by one, merged, and written as row states or as a change set.
class TChangeLog {
public:
    // Row flags kept in TRowEntry::flags.
    static constexpr quint8 kRowInserted = 1; // inserted since the last merge
    static constexpr quint8 kRowDeleted = 2;  // deleted since the last merge
    static constexpr quint8 kRowGone = 4;     // its insert was undone

    // One logged change: the row and its entry before the change.
    enum class Kind : quint8 { Insert, Edit, Delete };
    struct Entry {
        quint32 row;
        TRowEntry before;
        Kind kind;
    };

    // The log works on the rows of content in the given table order; the table owns both.
    TChangeLog(TTableContent &content, std::vector<quint32> &tableOrder)
        : m_content(content), m_tableOrder(tableOrder) {}

    void clear();
    // Takes over the changes of loaded content (see TakeRowStates) and counts the changed rows.
    void adopt(std::vector<Entry> &&entries);

    // Turns the rows of a packet with row states into the rows its writer had, in table
    // order; with a change log (or a change set) the changes become pending.
    static void TakeRowStates(TTableContent &content, std::vector<quint32> &order,
                              std::vector<Entry> &log);

    // Rows with a pending change (each inserted, modified or deleted row counts once).
    int changeCount() const { return m_changeCount; }
    bool isEmpty() const { return m_entries.empty(); }
    const Entry &latest() const { return m_entries.back(); }

    // Whether the row belongs to the table (neither deleted nor gone).
    bool isLive(quint32 row) const {
        return !(m_content.rows[row].flags & (kRowDeleted | kRowGone));
    }
    bool rowChanged(quint32 row) const;
    // The record with the row's values before the log; kNoRecord for a row inserted since.
    quint32 oldRecordOf(quint32 row) const;

    // Adds a posted new row holding record before the row anchor (at the end for kNoRecord);
    // returns the new row.
    quint32 insertRow(quint32 record, quint32 anchor);
    // Gives a row the record of an edit; the row keeps its old values.
    void editRow(quint32 row, quint32 record);
    void deleteRow(quint32 row);
    // Reverts the latest change.
    void undoLatest();
    // The current values become the old values and deleted rows leave the table.
    void merge();

    // Calls write(record, status, pending) for each row of the full packet, in table order.
    template <typename Write> void packetRows(Write write) const;
    // The "CHANGE_LOG" property of the full packet; empty when nothing is pending.
    QString packetChangeLog() const;
    // The changed rows: deleted rows with their old values (state 2), inserted rows (4), and
    // for modified rows the old values (1) followed by the fields that changed to a value (8).
    void writeDelta(TPacketWriter &writer) const;

private:
    void recount(quint32 row, int sign);

    TTableContent &m_content;
    std::vector<quint32> &m_tableOrder;
    std::vector<Entry> m_entries;
    int m_changeCount = 0;
};

template <typename Write> void TChangeLog::packetRows(Write write) const {
    for (quint32 row : m_tableOrder) {
        const TRowEntry &entry = m_content.rows[row];
        if (!rowChanged(row)) {
            if (!(entry.flags & kRowDeleted)) // not an insert that was deleted again
                write(entry.record, entry.status, false);
        } else if (entry.flags & kRowDeleted) {
            write(entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record, rsDeleted, true);
        } else if (entry.oldRecord != kNoRecord) {
            write(entry.oldRecord, rsOldValues, true);
            write(entry.record, rsModified, true);
        } else {
            write(entry.record, entry.status, true);
        }
    }
}
