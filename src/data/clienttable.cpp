#include "data/clienttable.h"

#include "data/filterexpr.h"
#include "wire/packetreader.h"
#include "data/tableorder.h"
#include "data/tableprovider.h"
#include "errors/apperror.h"

#include <QIODevice>

TClientTable::TClientTable() = default;

TClientTable::TClientTable(QString name) : m_name(std::move(name)) {}

TClientTable::~TClientTable() {
    if (m_provider)
        m_provider->TableUnbound(*this);
}

// --- observers and freezing ---

int TClientTable::AddObserver(TTableObserver observer) {
    const int id = m_nextObserverId++;
    m_observers.append({id, std::move(observer)});
    return id;
}

void TClientTable::RemoveObserver(int id) {
    m_observers.removeIf([id](const auto &entry) { return entry.first == id; });
}

void TClientTable::notify(TTableNotice notice, int field) {
    if (m_freeze > 0) {
        m_pendingNotice = true;
        return;
    }
    const auto observers = m_observers; // an observer may remove itself
    for (const auto &entry : observers)
        entry.second(notice, field);
}

void TClientTable::DisableControls() {
    if (m_freeze++ == 0) {
        m_pendingNotice = false;
        m_activeAtFreeze = Active();
    }
}

void TClientTable::EnableControls() {
    if (m_freeze == 0 || --m_freeze > 0 || !m_pendingNotice)
        return;
    m_pendingNotice = false;
    if (Active() != m_activeAtFreeze)
        notify(Active() ? TTableNotice::Opened : TTableNotice::Closed);
    notify(TTableNotice::DataChanged);
}

// --- provider and lifetime ---

void TClientTable::SetRemoteServer(TableProvider *provider) {
    if (provider == m_provider)
        return;
    if (m_provider)
        m_provider->TableUnbound(*this);
    m_provider = provider;
    if (m_provider)
        m_provider->TableBound(*this);
}

void TClientTable::Open() {
    if (Active())
        return;
    if (!m_provider)
        throw AppError(QStringLiteral("%1: Missing data provider or data packet").arg(m_name));
    adopt(ReadDataPacket(m_provider->FetchPacket(*this)));
    if (AfterOpen)
        AfterOpen(*this);
}

void TClientTable::Close() {
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(*this);
    clearAll();
    notify(TTableNotice::Closed);
    if (AfterClose)
        AfterClose(*this);
}

void TClientTable::clearAll() {
    keepFieldSettings();
    m_state = TTableState::Inactive;
    m_content = TTableContent();
    m_loadedFields.clear();
    m_tableOrder.clear();
    m_view.clear();
    m_log.clear();
    m_changeCount = 0;
    m_buffer = kNoRecord;
    m_pos = -1;
    m_eof = m_bof = true;
    m_filter.reset();
    m_order.reset();
    ++m_generation;
}

// Remembers, by field name, what the program set on the current fields (a format, a flag):
// a field of that name and type loaded later gets it again. A field that the program left
// as loaded clears what was remembered for its name.
void TClientTable::keepFieldSettings() {
    for (int i = 0; i < m_loadedFields.size() && i < m_content.fields.size(); ++i) {
        const TFieldDef &loaded = m_loadedFields[i], &current = m_content.fields[i];
        m_keptFields.removeIf([&](const KeptField &kept) {
            return kept.current.name.compare(current.name, Qt::CaseInsensitive) == 0;
        });
        if (ProgramChangedField(loaded, current))
            m_keptFields.append({loaded, current});
    }
}

void TClientTable::restoreFieldSettings() {
    m_loadedFields = m_content.fields;
    for (TFieldDef &field : m_content.fields) {
        for (const KeptField &kept : m_keptFields) {
            if (kept.current.type == field.type &&
                kept.current.name.compare(field.name, Qt::CaseInsensitive) == 0)
                CarryProgramSettings(kept.loaded, kept.current, field);
        }
    }
}

void TClientTable::Refresh() {
    checkActive();
    checkBrowseMode();
    if (ChangeCount() > 0)
        throw AppError(QStringLiteral("%1: Must apply updates before refreshing data").arg(m_name));
    if (!m_provider)
        throw AppError(QStringLiteral("%1: Missing data provider or data packet").arg(m_name));
    if (BeforeRefresh)
        BeforeRefresh(*this);
    const TValue key = m_pos >= 0 && FieldCount() > 0 ? currentValue(0) : TValue();
    const int recNo = RecNo();
    TTableContent content = ReadDataPacket(m_provider->FetchPacket(*this));
    DisableControls();
    try {
        adopt(std::move(content));
        if (key.isNull() || !findKeyRow(key))
            SetRecNo(recNo);
    } catch (...) {
        EnableControls();
        throw;
    }
    EnableControls();
    notify(TTableNotice::Refreshed);
    if (AfterRefresh)
        AfterRefresh(*this);
}

bool TClientTable::findKeyRow(const TValue &key) {
    const TFieldDef &def = m_content.fields[0];
    for (size_t pos = 0; pos < m_view.size(); ++pos) {
        if (m_content.store.value(recordOf(m_view[pos]), 0, def.valueKind()) == key) {
            setPos(int(pos), true);
            return true;
        }
    }
    return false;
}

void TClientTable::CreateDataSet(const QList<TFieldDef> &fields) {
    if (fields.isEmpty())
        throw AppError(QStringLiteral("%1: a table needs at least one field").arg(m_name));
    Close();
    TTableContent content;
    content.fields = fields;
    content.store.reset(fields);
    adopt(std::move(content));
}

// Takes over loaded content: compiles filter and order for its fields first, so that a
// failure leaves the table as it was.
void TClientTable::adopt(TTableContent &&content) {
    std::unique_ptr<TFilterExpr> filter;
    if (!m_filterText.trimmed().isEmpty())
        filter = std::make_unique<TFilterExpr>(m_filterText, content.fields);
    auto order = std::make_unique<TTableOrder>(compileOrder(content.fields));
    std::vector<quint32> tableOrder;
    std::vector<LogEntry> log;
    takeRowStates(content, tableOrder, log);

    const bool wasActive = Active();
    clearAll();
    m_content = std::move(content);
    restoreFieldSettings();
    m_filter = std::move(filter);
    m_order = std::move(order);
    m_tableOrder = std::move(tableOrder);
    m_log = std::move(log);
    for (quint32 row : m_tableOrder)
        recount(row, +1);
    m_state = TTableState::Browse;
    rebuildView(kNoRecord);
    notify(wasActive ? TTableNotice::DataChanged : TTableNotice::Opened);
    First();
}

TTableOrder TClientTable::compileOrder(const QList<TFieldDef> &fields) const {
    if (!m_indexName.isEmpty()) {
        for (const TIndexDef &def : m_indexDefs)
            if (def.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
                return TTableOrder::FromIndex(def.fields, def.options & ixDescending,
                                              def.options & ixCaseInsensitive, fields);
    }
    return TTableOrder::FromFieldNames(m_indexFieldNames, fields);
}

// --- packets ---

void TClientTable::LoadFromBytes(QByteArrayView packet) {
    Close();
    adopt(ReadDataPacket(packet));
    if (AfterOpen)
        AfterOpen(*this);
}

void TClientTable::LoadFromText(const QString &packetText) {
    Close();
    adopt(ReadDataPacketText(packetText));
    if (AfterOpen)
        AfterOpen(*this);
}

void TClientTable::LoadFromStream(QIODevice &device) {
    LoadFromBytes(device.readAll());
}

void TClientTable::SaveToStream(QIODevice &device, TPacketEncoding encoding) const {
    const QByteArray packet = DataPacket(encoding);
    if (device.write(packet) != packet.size())
        throw AppError(QStringLiteral("%1: the packet could not be written (%2)")
                           .arg(m_name, device.errorString()));
}

// --- fields ---

int TClientTable::FieldIndex(const QString &name) const {
    for (int i = 0; i < m_content.fields.size(); ++i)
        if (m_content.fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TField TClientTable::FieldByName(const QString &name) {
    const int index = FieldIndex(name);
    if (index < 0)
        throw AppError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
    return TField(*this, index);
}

std::optional<TField> TClientTable::FindField(const QString &name) {
    const int index = FieldIndex(name);
    if (index < 0)
        return std::nullopt;
    return TField(*this, index);
}

// --- filter and orderings ---

void TClientTable::SetFilter(const QString &expression) {
    if (expression == m_filterText)
        return;
    std::unique_ptr<TFilterExpr> filter;
    if (Active() && !expression.trimmed().isEmpty())
        filter = std::make_unique<TFilterExpr>(expression, m_content.fields);
    if (Active())
        checkBrowseMode(); // a refused post keeps the previous filter text
    m_filterText = expression;
    if (!Active())
        return;
    m_filter = std::move(filter);
    if (m_filtered)
        refilter();
}

void TClientTable::SetFiltered(bool on) {
    if (on == m_filtered)
        return;
    if (Active())
        checkBrowseMode();
    m_filtered = on;
    if (Active())
        refilter();
}

void TClientTable::refilter() {
    rebuildView(m_pos >= 0 ? m_view[m_pos] : kNoRecord);
    notify(TTableNotice::DataChanged);
    if (m_pos >= 0 || m_view.empty())
        scrolled();
}

void TClientTable::SetIndexFieldNames(const QString &fields) {
    if (Active()) {
        checkBrowseMode();
        m_order =
            std::make_unique<TTableOrder>(TTableOrder::FromFieldNames(fields, m_content.fields));
    }
    m_indexFieldNames = fields;
    m_indexName.clear();
    if (Active())
        reorder();
}

void TClientTable::AddIndex(const QString &name, const QString &fields, int options) {
    if (name.isEmpty() || HasIndex(name))
        throw AppError(QStringLiteral("%1: the index '%2' cannot be added").arg(m_name, name));
    if (Active())
        TTableOrder::FromFieldNames(fields, m_content.fields); // checks the field names
    m_indexDefs.append({name, fields, options});
}

void TClientTable::DeleteIndex(const QString &name) {
    if (m_indexName.compare(name, Qt::CaseInsensitive) == 0)
        SetIndexName(QString());
    m_indexDefs.removeIf(
        [&](const TIndexDef &def) { return def.name.compare(name, Qt::CaseInsensitive) == 0; });
}

bool TClientTable::HasIndex(const QString &name) const {
    return std::any_of(m_indexDefs.begin(), m_indexDefs.end(), [&](const TIndexDef &def) {
        return def.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

void TClientTable::SetIndexName(const QString &name) {
    if (!name.isEmpty() && !HasIndex(name))
        throw AppError(QStringLiteral("%1: Index '%2' not found").arg(m_name, name));
    const QString previous = m_indexName;
    m_indexName = name;
    if (Active()) {
        try {
            checkBrowseMode();
            m_order = std::make_unique<TTableOrder>(compileOrder(m_content.fields));
        } catch (...) {
            m_indexName = previous;
            throw;
        }
    }
    m_indexFieldNames.clear();
    if (Active())
        reorder();
}

void TClientTable::reorder() {
    rebuildView(m_pos >= 0 ? m_view[m_pos] : kNoRecord);
    notify(TTableNotice::DataChanged);
}

// --- the visible rows ---

quint32 TClientTable::recordOf(quint32 row) const {
    return m_content.rows[row].record;
}

bool TClientTable::rowVisible(quint32 row) const {
    const TRowEntry &entry = m_content.rows[row];
    if (entry.flags & (kRowLogDeleted | kRowGone))
        return false;
    return !m_filtered || !m_filter || m_filter->Matches(m_content.store, entry.record);
}

void TClientTable::rebuildView(quint32 keepRow) {
    m_view.clear();
    m_view.reserve(m_tableOrder.size());
    for (quint32 row : m_tableOrder)
        if (rowVisible(row))
            m_view.push_back(row);
    if (m_order)
        m_order->sort(m_content.store, m_view, [this](quint32 row) { return recordOf(row); });
    m_pos = m_view.empty() ? -1 : 0;
    if (keepRow != kNoRecord) {
        const auto it = std::find(m_view.begin(), m_view.end(), keepRow);
        if (it != m_view.end())
            m_pos = int(it - m_view.begin());
    }
    m_bof = m_pos <= 0;
    m_eof = m_view.empty();
}

// Puts a row that changed into its place in the view (or leaves it out when the filter hides
// it) and makes its position current; hint is where it was.
void TClientTable::placeRow(quint32 row, int hint) {
    if (!rowVisible(row)) {
        m_pos = m_view.empty() ? -1 : qBound(0, hint, int(m_view.size()) - 1);
        return;
    }
    size_t pos;
    if (m_order && !m_order->isEmpty()) {
        const quint32 record = recordOf(row);
        const auto it = std::upper_bound(
            m_view.begin(), m_view.end(), record, [this](quint32 rec, quint32 other) {
                return m_order->compare(m_content.store, rec, recordOf(other)) < 0;
            });
        pos = size_t(it - m_view.begin());
    } else {
        pos = size_t(qBound(0, hint, int(m_view.size())));
    }
    m_view.insert(m_view.begin() + qsizetype(pos), row);
    m_pos = int(pos);
}

void TClientTable::removeFromView(int pos) {
    m_view.erase(m_view.begin() + pos);
    m_pos = m_view.empty() ? -1 : qMin(pos, int(m_view.size()) - 1);
}

// --- cursor ---

void TClientTable::setPos(int pos, bool moved) {
    const bool changed = pos != m_pos;
    m_pos = pos;
    if (changed || moved)
        scrolled();
}

void TClientTable::scrolled() {
    notify(TTableNotice::Scrolled);
    if (AfterScroll)
        AfterScroll(*this);
}

void TClientTable::First() {
    checkActive();
    checkBrowseMode();
    m_bof = true;
    m_eof = m_view.empty();
    setPos(m_view.empty() ? -1 : 0, true);
}

void TClientTable::Last() {
    checkActive();
    checkBrowseMode();
    m_eof = true;
    m_bof = m_view.empty();
    setPos(int(m_view.size()) - 1, true);
}

void TClientTable::Next() {
    checkActive();
    checkBrowseMode();
    if (m_pos + 1 < int(m_view.size())) {
        m_bof = m_eof = false;
        ++m_pos;
        scrolled();
    } else {
        m_eof = true;
    }
}

void TClientTable::Prior() {
    checkActive();
    checkBrowseMode();
    if (m_pos > 0) {
        m_bof = m_eof = false;
        --m_pos;
        scrolled();
    } else {
        m_bof = true;
    }
}

int TClientTable::MoveBy(int distance) {
    checkActive();
    checkBrowseMode();
    if (m_view.empty())
        return 0;
    const int target = qBound(0, m_pos + distance, int(m_view.size()) - 1);
    const int moved = target - m_pos;
    m_bof = distance < 0 && moved != distance;
    m_eof = distance > 0 && moved != distance;
    if (moved)
        setPos(target, false);
    return moved;
}

bool TClientTable::IsEmpty() const {
    return m_view.empty();
}

int TClientTable::RecordCount() const {
    if (!Active())
        return 0;
    return int(m_view.size()) - (m_state == TTableState::Insert ? 1 : 0);
}

int TClientTable::RecNo() const {
    if (!Active() || m_pos < 0 || m_state == TTableState::Insert)
        return -1;
    return m_pos + 1;
}

void TClientTable::SetRecNo(int recNo) {
    checkActive();
    checkBrowseMode();
    if (m_view.empty())
        return;
    const int pos = qBound(1, recNo, int(m_view.size())) - 1;
    m_bof = pos == 0;
    m_eof = false;
    setPos(pos, false);
}

// --- bookmarks ---

TBookmark TClientTable::GetBookmark() const {
    if (!Active() || m_pos < 0 || m_view[m_pos] == kProvisionalRow)
        return TBookmark();
    return TBookmark{m_view[m_pos], m_generation};
}

bool TClientTable::BookmarkValid(const TBookmark &bookmark) const {
    return bookmark.isValid() && bookmark.generation == m_generation &&
           std::find(m_view.begin(), m_view.end(), bookmark.row) != m_view.end();
}

bool TClientTable::GotoBookmark(const TBookmark &bookmark) {
    checkActive();
    checkBrowseMode();
    if (!bookmark.isValid() || bookmark.generation != m_generation)
        return false;
    const auto it = std::find(m_view.begin(), m_view.end(), bookmark.row);
    if (it == m_view.end())
        return false;
    m_bof = m_eof = false;
    setPos(int(it - m_view.begin()), true);
    return true;
}

// --- checks ---

void TClientTable::checkActive() const {
    if (!Active())
        throw AppError(
            QStringLiteral("%1: Cannot perform this operation on a closed table").arg(m_name));
}

void TClientTable::checkCanModify() const {
    checkActive();
    if (m_readOnly)
        throw AppError(QStringLiteral("%1: Cannot modify a read-only table").arg(m_name));
}

void TClientTable::checkBrowseMode() {
    if (m_state == TTableState::Edit || m_state == TTableState::Insert)
        Post();
}
