#include "data/changelog.h"

#include <algorithm>

void TChangeLog::clear() {
    m_entries.clear();
    m_changeCount = 0;
}

void TChangeLog::adopt(std::vector<Entry> &&entries) {
    m_entries = std::move(entries);
    m_changeCount = 0;
    for (quint32 row : m_tableOrder)
        recount(row, +1);
}

bool TChangeLog::rowChanged(quint32 row) const {
    const TRowEntry &entry = m_content.rows[row];
    if (entry.flags & kRowGone)
        return false;
    const bool inserted = entry.flags & kRowInserted, deleted = entry.flags & kRowDeleted;
    if (inserted)
        return !deleted;
    return deleted || entry.oldRecord != kNoRecord;
}

quint32 TChangeLog::oldRecordOf(quint32 row) const {
    const TRowEntry &entry = m_content.rows[row];
    if (entry.flags & kRowInserted)
        return kNoRecord;
    return entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record;
}

void TChangeLog::recount(quint32 row, int sign) {
    if (rowChanged(row))
        m_changeCount += sign;
}

quint32 TChangeLog::insertRow(quint32 record, quint32 anchor) {
    const quint32 row = quint32(m_content.rows.size());
    TRowEntry entry;
    entry.record = record;
    entry.status = rsInserted;
    entry.flags = kRowInserted;
    m_content.rows.push_back(entry);
    if (anchor == kNoRecord)
        m_tableOrder.push_back(row);
    else
        m_tableOrder.insert(std::find(m_tableOrder.begin(), m_tableOrder.end(), anchor), row);
    m_entries.push_back({row, TRowEntry(), Kind::Insert});
    recount(row, +1);
    return row;
}

void TChangeLog::editRow(quint32 row, quint32 record) {
    TRowEntry &entry = m_content.rows[row];
    recount(row, -1);
    m_entries.push_back({row, entry, Kind::Edit});
    if (entry.oldRecord == kNoRecord && !(entry.flags & kRowInserted)) {
        entry.oldRecord = entry.record; // posted records never change: it keeps the old values
        entry.status = rsModified;
    }
    entry.record = record;
    recount(row, +1);
}

void TChangeLog::deleteRow(quint32 row) {
    TRowEntry &entry = m_content.rows[row];
    recount(row, -1);
    m_entries.push_back({row, entry, Kind::Delete});
    entry.flags |= kRowDeleted;
    entry.status = rsDeleted;
    recount(row, +1);
}

void TChangeLog::undoLatest() {
    const Entry change = m_entries.back();
    m_entries.pop_back();
    recount(change.row, -1);
    TRowEntry &entry = m_content.rows[change.row];
    if (change.kind == Kind::Insert) {
        entry.flags = kRowGone;
        m_tableOrder.erase(std::find(m_tableOrder.begin(), m_tableOrder.end(), change.row));
    } else {
        entry = change.before;
        recount(change.row, +1);
    }
}

void TChangeLog::merge() {
    std::vector<quint32> order;
    order.reserve(m_tableOrder.size());
    for (quint32 row : m_tableOrder) {
        TRowEntry &entry = m_content.rows[row];
        if (entry.flags & kRowDeleted) {
            entry.flags = kRowGone;
            continue;
        }
        if (entry.flags & kRowInserted || entry.oldRecord != kNoRecord)
            entry.status = 0;
        entry.flags = 0;
        entry.oldRecord = kNoRecord;
        order.push_back(row);
    }
    m_tableOrder = std::move(order);
    clear();
}

// Pending changes travel as row states, with "CHANGE_LOG" naming them as other readers of
// packets expect: one triple per change, the row that carries it (counted from 1), the row
// it replaces (the row of old values before a modified row; 0 for none) and its row state.
// Loaded again, the packet has the same rows and changes. (Earlier versions wrote only the
// positions of the changed rows; the loader takes either form.)
QString TChangeLog::packetChangeLog() const {
    QStringList triples;
    int position = 0;
    packetRows([&](quint32, quint8 status, bool pending) {
        ++position;
        if (!pending || status == rsOldValues)
            return;
        const int replaced = status == rsModified ? position - 1 : 0;
        triples.append(QStringLiteral("%1 %2 %3").arg(position).arg(replaced).arg(status));
    });
    return triples.join(u' ');
}

void TChangeLog::writeDelta(TPacketWriter &writer) const {
    const TRecordStore &store = m_content.store;
    const int fieldCount = int(m_content.fields.size());
    std::vector<bool> changed(static_cast<size_t>(fieldCount));
    for (quint32 row : m_tableOrder) {
        if (!rowChanged(row))
            continue;
        const TRowEntry &entry = m_content.rows[row];
        if (entry.flags & kRowDeleted) {
            writer.row(entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record, rsDeleted);
        } else if (entry.flags & kRowInserted) {
            writer.row(entry.record, rsInserted);
        } else {
            for (int field = 0; field < fieldCount; ++field)
                changed[field] = !store.sameValue(entry.oldRecord, entry.record, field,
                                                  m_content.fields[field].valueKind());
            writer.row(entry.oldRecord, rsOldValues);
            writer.row(entry.record, rsModified, &changed);
        }
    }
}
