// Editing, the change log, optional parameters and packet output of TClientTable.
#include "data/clienttable.h"

#include "data/tableorder.h"
#include "data/tableprovider.h"
#include "data/usertext.h"
#include "errors/apperror.h"

// --- values of the current row ---

quint32 TClientTable::rowAtPos(int pos) const {
    return pos >= 0 && pos < int(m_view.size()) ? m_view[pos] : kNoRecord;
}

TValue TClientTable::ValueAt(int pos, int field) const {
    if (pos < 0 || pos >= int(m_view.size()) || field < 0 || field >= FieldCount())
        return TValue();
    const TValue::Kind kind = m_content.fields[field].valueKind();
    const bool editing = pos == m_pos && m_state != TTableState::Browse;
    const quint32 record = editing ? m_buffer : recordOf(m_view[pos]);
    return m_content.store.value(record, field, kind);
}

TUpdateStatus TClientTable::UpdateStatusAt(int pos) const {
    const quint32 row = rowAtPos(pos);
    if (row == kNoRecord)
        return m_state == TTableState::Insert && pos == m_pos ? TUpdateStatus::Inserted
                                                              : TUpdateStatus::Unchanged;
    return UpdateStatusOf(m_content.rows[row].status);
}

TUpdateStatus TClientTable::UpdateStatus() const {
    return UpdateStatusAt(m_pos);
}

TValue TClientTable::currentValue(int field) const {
    return ValueAt(m_pos, field);
}

TValue TClientTable::oldValue(int field) const {
    const quint32 row = rowAtPos(m_pos);
    if (row == kNoRecord || field < 0 || field >= FieldCount())
        return TValue();
    const TRowEntry &entry = m_content.rows[row];
    if (entry.flags & kRowLogInserted)
        return TValue();
    const quint32 record = entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record;
    return m_content.store.value(record, field, m_content.fields[field].valueKind());
}

void TClientTable::setBufferValue(int field, const TValue &value) {
    if (m_state != TTableState::Edit && m_state != TTableState::Insert)
        throw AppError(QStringLiteral("%1: Table not in edit or insert mode").arg(m_name));
    const TValue converted = ConvertForStoring(m_content.fields[field], value);
    m_content.store.setValue(m_buffer, field, converted);
    notify(TTableNotice::FieldChanged, field);
}

// --- editing ---

void TClientTable::Insert() {
    beginInsert(false);
}

void TClientTable::Append() {
    beginInsert(true);
}

void TClientTable::beginInsert(bool append) {
    checkCanModify();
    checkBrowseMode();
    if (BeforeInsert)
        BeforeInsert(*this);
    if (m_buffer == kNoRecord)
        m_buffer = m_content.store.addRecord();
    for (int field = 0; field < FieldCount(); ++field)
        m_content.store.setNull(m_buffer, field);
    const int pos = append || m_pos < 0 ? int(m_view.size()) : m_pos;
    m_insertAnchor = append ? kNoRecord : rowAtPos(m_pos);
    m_view.insert(m_view.begin() + pos, kProvisionalRow);
    m_pos = pos;
    m_state = TTableState::Insert;
    m_eof = m_bof = false;
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        removeFromView(m_pos);
        m_state = TTableState::Browse;
        throw;
    }
    notify(TTableNotice::DataChanged);
    notify(TTableNotice::StateChanged);
    if (AfterInsert)
        AfterInsert(*this);
}

void TClientTable::Edit() {
    checkActive();
    if (m_state == TTableState::Edit || m_state == TTableState::Insert)
        return;
    if (m_view.empty()) {
        Insert();
        return;
    }
    checkCanModify();
    if (BeforeEdit)
        BeforeEdit(*this);
    if (m_buffer == kNoRecord)
        m_buffer = m_content.store.addRecord();
    m_content.store.copyInto(m_buffer, recordOf(m_view[m_pos]));
    m_state = TTableState::Edit;
    notify(TTableNotice::StateChanged);
    if (AfterEdit)
        AfterEdit(*this);
}

void TClientTable::Post() {
    checkActive();
    if (m_state == TTableState::Browse)
        return;
    if (BeforePost)
        BeforePost(*this);
    TRecordStore &store = m_content.store;
    const int hint = m_pos;
    quint32 row;
    if (m_state == TTableState::Insert) {
        row = quint32(m_content.rows.size());
        TRowEntry entry;
        entry.record = store.copyRecord(m_buffer);
        entry.status = rsInserted;
        entry.flags = kRowLogInserted;
        m_content.rows.push_back(entry);
        if (m_insertAnchor == kNoRecord)
            m_tableOrder.push_back(row);
        else
            m_tableOrder.insert(std::find(m_tableOrder.begin(), m_tableOrder.end(), m_insertAnchor),
                                row);
        m_log.push_back({row, TRowEntry(), LogKind::Insert});
        recount(row, +1);
    } else {
        row = m_view[m_pos];
        TRowEntry &entry = m_content.rows[row];
        bool same = true;
        for (int field = 0; field < FieldCount() && same; ++field)
            same =
                store.sameValue(entry.record, m_buffer, field, m_content.fields[field].valueKind());
        if (same) {
            m_state = TTableState::Browse;
            notify(TTableNotice::StateChanged);
            if (AfterPost)
                AfterPost(*this);
            return;
        }
        recount(row, -1);
        m_log.push_back({row, entry, LogKind::Edit});
        if (entry.oldRecord == kNoRecord && !(entry.flags & kRowLogInserted)) {
            entry.oldRecord = entry.record; // posted records never change: it keeps the old values
            entry.status = rsModified;
        }
        entry.record = store.copyRecord(m_buffer);
        recount(row, +1);
    }
    m_state = TTableState::Browse;
    m_view[hint] = row;
    const bool stays = staysInPlace(hint);
    if (!stays) {
        removeFromView(hint);
        placeRow(row, hint);
    }
    m_bof = m_pos <= 0;
    m_eof = m_view.empty();
    notify(stays ? TTableNotice::RecordChanged : TTableNotice::DataChanged);
    notify(TTableNotice::StateChanged);
    if (AfterPost)
        AfterPost(*this);
}

// Whether the row at pos is still visible and in order with its neighbours.
bool TClientTable::staysInPlace(int pos) const {
    const quint32 row = m_view[pos];
    if (!rowVisible(row))
        return false;
    if (!m_order || m_order->isEmpty())
        return true;
    const TRecordStore &store = m_content.store;
    const quint32 record = recordOf(row);
    if (pos > 0 && m_order->compare(store, recordOf(m_view[pos - 1]), record) > 0)
        return false;
    const size_t next = size_t(pos) + 1;
    return next >= m_view.size() || m_order->compare(store, record, recordOf(m_view[next])) <= 0;
}

void TClientTable::Cancel() {
    if (m_state != TTableState::Edit && m_state != TTableState::Insert)
        return;
    if (BeforeCancel)
        BeforeCancel(*this);
    if (m_state == TTableState::Insert)
        removeFromView(m_pos);
    m_state = TTableState::Browse;
    m_eof = m_view.empty();
    notify(TTableNotice::DataChanged);
    notify(TTableNotice::StateChanged);
    if (AfterCancel)
        AfterCancel(*this);
}

void TClientTable::Delete() {
    checkActive();
    if (m_state == TTableState::Insert) {
        Cancel();
        return;
    }
    if (m_state == TTableState::Edit)
        Cancel();
    if (m_view.empty())
        throw AppError(
            QStringLiteral("%1: Cannot perform this operation on an empty table").arg(m_name));
    checkCanModify();
    if (BeforeDelete)
        BeforeDelete(*this);
    const quint32 row = m_view[m_pos];
    TRowEntry &entry = m_content.rows[row];
    recount(row, -1);
    m_log.push_back({row, entry, LogKind::Delete});
    entry.flags |= kRowLogDeleted;
    entry.status = rsDeleted;
    recount(row, +1);
    removeFromView(m_pos);
    m_eof = m_view.empty();
    notify(TTableNotice::DataChanged);
    scrolled();
    if (AfterDelete)
        AfterDelete(*this);
}

void TClientTable::AppendRecord(const QList<TValue> &values) {
    Append();
    try {
        for (int field = 0; field < values.size() && field < FieldCount(); ++field)
            setBufferValue(field, values[field]);
        Post();
    } catch (...) {
        Cancel();
        throw;
    }
}

// --- change log ---

bool TClientTable::rowChanged(quint32 row) const {
    const TRowEntry &entry = m_content.rows[row];
    if (entry.flags & kRowGone)
        return false;
    const bool inserted = entry.flags & kRowLogInserted, deleted = entry.flags & kRowLogDeleted;
    if (inserted)
        return !deleted;
    return deleted || entry.oldRecord != kNoRecord;
}

void TClientTable::recount(quint32 row, int sign) {
    if (rowChanged(row))
        m_changeCount += sign;
}

int TClientTable::ChangeCount() const {
    return Active() ? m_changeCount : 0;
}

void TClientTable::undoOne() {
    const LogEntry change = m_log.back();
    m_log.pop_back();
    recount(change.row, -1);
    TRowEntry &entry = m_content.rows[change.row];
    if (change.kind == LogKind::Insert) {
        entry.flags = kRowGone;
        m_tableOrder.erase(std::find(m_tableOrder.begin(), m_tableOrder.end(), change.row));
    } else {
        entry = change.before;
        recount(change.row, +1);
    }
}

bool TClientTable::UndoLastChange() {
    if (!Active() || m_log.empty())
        return false;
    Cancel();
    const quint32 changedRow = m_log.back().row;
    quint32 keep = rowAtPos(m_pos);
    if (keep == changedRow && m_log.back().kind == LogKind::Insert)
        keep = kNoRecord;
    else if (keep == kNoRecord)
        keep = changedRow;
    undoOne();
    rebuildView(keep);
    notify(TTableNotice::DataChanged);
    scrolled();
    return true;
}

void TClientTable::MergeChangeLog() {
    if (!Active())
        return;
    checkBrowseMode();
    std::vector<quint32> order;
    order.reserve(m_tableOrder.size());
    for (quint32 row : m_tableOrder) {
        TRowEntry &entry = m_content.rows[row];
        if (entry.flags & kRowLogDeleted) {
            entry.flags = kRowGone;
            continue;
        }
        if (entry.flags & kRowLogInserted || entry.oldRecord != kNoRecord)
            entry.status = 0;
        entry.flags = 0;
        entry.oldRecord = kNoRecord;
        order.push_back(row);
    }
    m_tableOrder = std::move(order);
    m_log.clear();
    m_changeCount = 0;
    notify(TTableNotice::DataChanged);
}

void TClientTable::CancelUpdates() {
    if (!Active())
        return;
    Cancel();
    const quint32 current = rowAtPos(m_pos);
    while (!m_log.empty())
        undoOne();
    const bool keep = current != kNoRecord && !(m_content.rows[current].flags & kRowGone);
    rebuildView(keep ? current : kNoRecord);
    MergeChangeLog();
    scrolled();
}

int TClientTable::ApplyUpdates(int maxErrors) {
    (void)maxErrors;
    checkActive();
    checkBrowseMode();
    if (ChangeCount() < 1)
        return 0;
    if (!m_provider)
        throw AppError(QStringLiteral("%1: Missing data provider").arg(m_name));
    m_provider->ApplyUpdates(*this);
    return 0;
}

// --- optional parameters ---

void TClientTable::SetOptionalParam(const QString &name, const TValue &value, bool includeInDelta) {
    CheckStorableText(name, nullptr, name);
    if (value.kind() == TValue::Text)
        CheckStorableText(name, nullptr, value.toText());
    for (TOptionalParam &param : m_content.params) {
        if (param.name == name) {
            param.value = value;
            param.roundTrip = includeInDelta;
            return;
        }
    }
    m_content.params.append({name, value, includeInDelta});
}

TValue TClientTable::GetOptionalParam(const QString &name) const {
    for (const TOptionalParam &param : m_content.params)
        if (param.name == name)
            return param.value;
    return TValue();
}

// --- packets ---

template <typename Write> void TClientTable::packetRows(Write write) const {
    for (quint32 row : m_tableOrder) {
        const TRowEntry &entry = m_content.rows[row];
        if (!rowChanged(row)) {
            if (!(entry.flags & kRowLogDeleted)) // not an insert that was deleted again
                write(entry.record, entry.status, false);
        } else if (entry.flags & kRowLogDeleted) {
            write(entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record, rsDeleted, true);
        } else if (entry.oldRecord != kNoRecord) {
            write(entry.oldRecord, rsOldValues, true);
            write(entry.record, rsModified, true);
        } else {
            write(entry.record, entry.status, true);
        }
    }
}

QByteArray TClientTable::DataPacket(TPacketEncoding encoding) const {
    if (!Active())
        throw AppError(
            QStringLiteral("%1: Cannot perform this operation on a closed table").arg(m_name));
    // Pending changes travel as row states, with "CHANGE_LOG" listing the rows (counted from
    // 1) that carry them, so that the packet loads again with the same rows and changes.
    QStringList changed;
    int position = 0;
    packetRows([&](quint32, quint8, bool pending) {
        ++position;
        if (pending)
            changed.append(QString::number(position));
    });
    QList<QPair<QString, QString>> properties;
    for (const auto &property : m_content.properties)
        if (property.first != u"CHANGE_LOG" && property.first != u"DATASET_DELTA")
            properties.append(property);
    if (!changed.isEmpty())
        properties.append({QStringLiteral("CHANGE_LOG"), changed.join(u' ')});

    TPacketWriter writer(m_content.fields, m_content.store, encoding);
    writer.reserve(qsizetype(m_tableOrder.size()) * 16 * qMax(1, FieldCount()));
    writer.begin(properties, m_content.params);
    packetRows([&](quint32 record, quint8 status, bool) { writer.row(record, status); });
    return writer.finish();
}

QByteArray TClientTable::Delta(TPacketEncoding encoding) const {
    if (ChangeCount() == 0)
        return QByteArray();
    TPacketWriter writer(m_content.fields, m_content.store, encoding);
    QList<TOptionalParam> params;
    for (const TOptionalParam &param : m_content.params)
        if (param.roundTrip)
            params.append(param);
    writer.begin({{QStringLiteral("DATASET_DELTA"), QStringLiteral("TRUE")}}, params);
    writeDelta(writer);
    return writer.finish();
}

// The changed rows: deleted rows with their old values (state 2), inserted rows (4), and
// for modified rows the old values (1) followed by the fields that changed to a value (8).
void TClientTable::writeDelta(TPacketWriter &writer) const {
    const TRecordStore &store = m_content.store;
    std::vector<bool> changed(static_cast<size_t>(FieldCount()));
    for (quint32 row : m_tableOrder) {
        if (!rowChanged(row))
            continue;
        const TRowEntry &entry = m_content.rows[row];
        if (entry.flags & kRowLogDeleted) {
            writer.row(entry.oldRecord != kNoRecord ? entry.oldRecord : entry.record, rsDeleted);
        } else if (entry.flags & kRowLogInserted) {
            writer.row(entry.record, rsInserted);
        } else {
            for (int field = 0; field < FieldCount(); ++field)
                changed[field] = !store.sameValue(entry.oldRecord, entry.record, field,
                                                  m_content.fields[field].valueKind());
            writer.row(entry.oldRecord, rsOldValues);
            writer.row(entry.record, rsModified, &changed);
        }
    }
}
