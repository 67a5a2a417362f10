// Editing, the change log, optional parameters and packet output of TClientTable.
#include "data/clienttable.h"

#include "data/tableprovider.h"
#include "data/usertext.h"
#include "errors/apperror.h"

// --- values of the current row ---

TValue TClientTable::ValueAt(int pos, int field) const {
    if (pos < 0 || pos >= int(m_view.size()) || field < 0 || field >= FieldCount())
        return TValue();
    const TValue::Kind kind = m_content.fields[field].valueKind();
    const bool editing = pos == m_view.pos() && m_state != TTableState::Browse;
    const quint32 record = editing ? m_buffer : m_view.recordOf(m_view.rowAt(pos));
    return m_content.store.value(record, field, kind);
}

TUpdateStatus TClientTable::UpdateStatusAt(int pos) const {
    const quint32 row = m_view.rowAt(pos);
    if (row == kNoRecord)
        return m_state == TTableState::Insert && pos == m_view.pos() ? TUpdateStatus::Inserted
                                                                     : TUpdateStatus::Unchanged;
    return UpdateStatusOf(m_content.rows[row].status);
}

TUpdateStatus TClientTable::UpdateStatus() const {
    return UpdateStatusAt(m_view.pos());
}

TValue TClientTable::currentValue(int field) const {
    return ValueAt(m_view.pos(), field);
}

TValue TClientTable::oldValue(int field) const {
    const quint32 row = m_view.currentRow();
    if (row == kNoRecord || field < 0 || field >= FieldCount())
        return TValue();
    const quint32 record = m_log.oldRecordOf(row);
    if (record == kNoRecord)
        return TValue();
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
    const int pos = append || m_view.pos() < 0 ? int(m_view.size()) : m_view.pos();
    m_insertAnchor = append ? kNoRecord : m_view.currentRow();
    m_view.insertProvisional(pos);
    m_state = TTableState::Insert;
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        m_view.removeAt(m_view.pos());
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
    m_content.store.copyInto(m_buffer, m_view.recordOf(m_view.currentRow()));
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
    const int hint = m_view.pos();
    quint32 row;
    if (m_state == TTableState::Insert) {
        row = m_log.insertRow(store.copyRecord(m_buffer), m_insertAnchor);
    } else {
        row = m_view.currentRow();
        const quint32 record = m_content.rows[row].record;
        bool same = true;
        for (int field = 0; field < FieldCount() && same; ++field)
            same = store.sameValue(record, m_buffer, field, m_content.fields[field].valueKind());
        if (same) {
            m_state = TTableState::Browse;
            notify(TTableNotice::StateChanged);
            if (AfterPost)
                AfterPost(*this);
            return;
        }
        m_log.editRow(row, store.copyRecord(m_buffer));
    }
    m_state = TTableState::Browse;
    m_view.setRowAt(hint, row);
    const bool stays = m_view.staysInPlace(hint);
    if (!stays) {
        m_view.removeAt(hint);
        m_view.place(row, hint);
    }
    m_view.setEnds(m_view.pos() <= 0, m_view.empty());
    notify(stays ? TTableNotice::RecordChanged : TTableNotice::DataChanged);
    notify(TTableNotice::StateChanged);
    if (AfterPost)
        AfterPost(*this);
}

void TClientTable::Cancel() {
    if (m_state != TTableState::Edit && m_state != TTableState::Insert)
        return;
    if (BeforeCancel)
        BeforeCancel(*this);
    if (m_state == TTableState::Insert)
        m_view.removeAt(m_view.pos());
    m_state = TTableState::Browse;
    m_view.setEnds(m_view.bof(), m_view.empty());
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
    m_log.deleteRow(m_view.currentRow());
    m_view.removeAt(m_view.pos());
    m_view.setEnds(m_view.bof(), m_view.empty());
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

int TClientTable::ChangeCount() const {
    return Active() ? m_log.changeCount() : 0;
}

bool TClientTable::UndoLastChange() {
    if (!Active() || m_log.isEmpty())
        return false;
    Cancel();
    const TChangeLog::Entry &latest = m_log.latest();
    quint32 keep = m_view.currentRow();
    if (keep == latest.row && latest.kind == TChangeLog::Kind::Insert)
        keep = kNoRecord;
    else if (keep == kNoRecord)
        keep = latest.row;
    m_log.undoLatest();
    m_view.rebuild(keep);
    notify(TTableNotice::DataChanged);
    scrolled();
    return true;
}

void TClientTable::MergeChangeLog() {
    if (!Active())
        return;
    checkBrowseMode();
    m_log.merge();
    notify(TTableNotice::DataChanged);
}

void TClientTable::CancelUpdates() {
    if (!Active())
        return;
    Cancel();
    const quint32 current = m_view.currentRow();
    while (!m_log.isEmpty())
        m_log.undoLatest();
    const bool keep =
        current != kNoRecord && !(m_content.rows[current].flags & TChangeLog::kRowGone);
    m_view.rebuild(keep ? current : kNoRecord);
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

QByteArray TClientTable::DataPacket(TPacketEncoding encoding) const {
    if (!Active())
        throw AppError(
            QStringLiteral("%1: Cannot perform this operation on a closed table").arg(m_name));
    QList<QPair<QString, QString>> properties;
    for (const auto &property : m_content.properties)
        if (property.first != u"CHANGE_LOG" && property.first != u"DATASET_DELTA")
            properties.append(property);
    const QString changeLog = m_log.packetChangeLog();
    if (!changeLog.isEmpty())
        properties.append({QStringLiteral("CHANGE_LOG"), changeLog});

    TPacketWriter writer(m_content.fields, m_content.store, encoding);
    writer.reserve(qsizetype(m_tableOrder.size()) * 16 * qMax(1, FieldCount()));
    writer.begin(properties, m_content.params);
    m_log.packetRows([&](quint32 record, quint8 status, bool) { writer.row(record, status); });
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
    m_log.writeDelta(writer);
    return writer.finish();
}
