#include "data/clienttable.h"

#include "data/filterexpr.h"
#include "wire/packetreader.h"
#include "data/tableprovider.h"
#include "base/logging.h"
#include "errors/apperror.h"

#include <QIODevice>

namespace {

// Reads a packet for a table; a refused packet leaves one line in the log.
template <typename Read> TTableContent readPacket(const QString &table, Read read) {
    try {
        return read();
    } catch (const AppError &e) {
        qCWarning(lcData).noquote() << "Packet refused for table" << table << "-" << e.message();
        throw;
    }
}

} // namespace

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
    const QByteArray packet = m_provider->FetchPacket(*this);
    adopt(readPacket(m_name, [&] { return ReadDataPacket(packet); }));
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
    m_buffer = kNoRecord;
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
    const TValue key = m_view.pos() >= 0 && FieldCount() > 0 ? currentValue(0) : TValue();
    const int recNo = RecNo();
    const QByteArray packet = m_provider->FetchPacket(*this);
    TTableContent content = readPacket(m_name, [&] { return ReadDataPacket(packet); });
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
    const int pos = m_view.findKey(key);
    if (pos < 0)
        return false;
    setPos(pos, true);
    return true;
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
    std::unique_ptr<TFilterExpr> filter = m_view.compileFilter(m_view.filterText(), content.fields);
    auto order = std::make_unique<TTableOrder>(m_view.compileOrder(content.fields));
    std::vector<quint32> tableOrder;
    std::vector<TChangeLog::Entry> log;
    TChangeLog::TakeRowStates(content, tableOrder, log);

    const bool wasActive = Active();
    clearAll();
    m_content = std::move(content);
    restoreFieldSettings();
    m_view.setFilter(std::move(filter));
    m_view.setOrder(std::move(order));
    m_tableOrder = std::move(tableOrder);
    m_log.adopt(std::move(log));
    m_state = TTableState::Browse;
    m_view.rebuild(kNoRecord);
    notify(wasActive ? TTableNotice::DataChanged : TTableNotice::Opened);
    First();
}

// --- packets ---

void TClientTable::LoadFromBytes(QByteArrayView packet) {
    Close();
    adopt(readPacket(m_name, [&] { return ReadDataPacket(packet); }));
    if (AfterOpen)
        AfterOpen(*this);
}

void TClientTable::LoadFromText(const QString &packetText) {
    Close();
    adopt(readPacket(m_name, [&] { return ReadDataPacketText(packetText); }));
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
    if (expression == m_view.filterText())
        return;
    std::unique_ptr<TFilterExpr> filter;
    if (Active())
        filter = m_view.compileFilter(expression, m_content.fields);
    if (Active())
        checkBrowseMode(); // a refused post keeps the previous filter text
    m_view.setFilterText(expression);
    if (!Active())
        return;
    m_view.setFilter(std::move(filter));
    if (m_view.filtered())
        refilter();
}

void TClientTable::SetFiltered(bool on) {
    if (on == m_view.filtered())
        return;
    if (Active())
        checkBrowseMode();
    m_view.setFiltered(on);
    if (Active())
        refilter();
}

void TClientTable::refilter() {
    m_view.rebuild(m_view.currentRow());
    notify(TTableNotice::DataChanged);
    if (m_view.pos() >= 0 || m_view.empty())
        scrolled();
}

void TClientTable::SetIndexFieldNames(const QString &fields) {
    std::unique_ptr<TTableOrder> order;
    if (Active()) {
        checkBrowseMode();
        order =
            std::make_unique<TTableOrder>(TTableOrder::FromFieldNames(fields, m_content.fields));
    }
    m_view.setIndexFieldNames(fields);
    if (!Active())
        return;
    m_view.setOrder(std::move(order));
    reorder();
}

void TClientTable::AddIndex(const QString &name, const QString &fields, int options) {
    if (name.isEmpty() || HasIndex(name))
        throw AppError(QStringLiteral("%1: the index '%2' cannot be added").arg(m_name, name));
    if (Active())
        TTableOrder::FromFieldNames(fields, m_content.fields); // checks the field names
    m_view.addIndex({name, fields, options});
}

void TClientTable::DeleteIndex(const QString &name) {
    if (m_view.indexName().compare(name, Qt::CaseInsensitive) == 0)
        SetIndexName(QString());
    m_view.deleteIndex(name);
}

void TClientTable::SetIndexName(const QString &name) {
    if (!name.isEmpty() && !HasIndex(name))
        throw AppError(QStringLiteral("%1: Index '%2' not found").arg(m_name, name));
    const QString previous = m_view.indexName();
    const QString previousFields = m_view.indexFieldNames();
    m_view.setIndexName(name);
    if (!Active())
        return;
    std::unique_ptr<TTableOrder> order;
    try {
        checkBrowseMode();
        order = std::make_unique<TTableOrder>(m_view.compileOrder(m_content.fields));
    } catch (...) {
        if (previous.isEmpty())
            m_view.setIndexFieldNames(previousFields);
        else
            m_view.setIndexName(previous);
        throw;
    }
    m_view.setOrder(std::move(order));
    reorder();
}

void TClientTable::reorder() {
    m_view.rebuild(m_view.currentRow());
    notify(TTableNotice::DataChanged);
}

// --- cursor ---

void TClientTable::setPos(int pos, bool moved) {
    const bool changed = pos != m_view.pos();
    m_view.setPos(pos);
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
    m_view.setEnds(true, m_view.empty());
    setPos(m_view.empty() ? -1 : 0, true);
}

void TClientTable::Last() {
    checkActive();
    checkBrowseMode();
    m_view.setEnds(m_view.empty(), true);
    setPos(int(m_view.size()) - 1, true);
}

void TClientTable::Next() {
    checkActive();
    checkBrowseMode();
    const int pos = m_view.pos();
    if (pos + 1 < int(m_view.size())) {
        m_view.setEnds(false, false);
        m_view.setPos(pos + 1);
        scrolled();
    } else {
        m_view.setEnds(m_view.bof(), true);
    }
}

void TClientTable::Prior() {
    checkActive();
    checkBrowseMode();
    const int pos = m_view.pos();
    if (pos > 0) {
        m_view.setEnds(false, false);
        m_view.setPos(pos - 1);
        scrolled();
    } else {
        m_view.setEnds(true, m_view.eof());
    }
}

int TClientTable::MoveBy(int distance) {
    checkActive();
    checkBrowseMode();
    if (m_view.empty())
        return 0;
    const int target = qBound(0, m_view.pos() + distance, int(m_view.size()) - 1);
    const int moved = target - m_view.pos();
    m_view.setEnds(distance < 0 && moved != distance, distance > 0 && moved != distance);
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
    if (!Active() || m_view.pos() < 0 || m_state == TTableState::Insert)
        return -1;
    return m_view.pos() + 1;
}

void TClientTable::SetRecNo(int recNo) {
    checkActive();
    checkBrowseMode();
    if (m_view.empty())
        return;
    const int pos = qBound(1, recNo, int(m_view.size())) - 1;
    m_view.setEnds(pos == 0, false);
    setPos(pos, false);
}

// --- bookmarks ---

TBookmark TClientTable::GetBookmark() const {
    const quint32 row = m_view.currentRow();
    if (!Active() || row == TTableView::kProvisionalRow)
        return TBookmark();
    return TBookmark{row, m_generation};
}

bool TClientTable::BookmarkValid(const TBookmark &bookmark) const {
    return bookmark.isValid() && bookmark.generation == m_generation &&
           m_view.find(bookmark.row) >= 0;
}

bool TClientTable::GotoBookmark(const TBookmark &bookmark) {
    checkActive();
    checkBrowseMode();
    if (!bookmark.isValid() || bookmark.generation != m_generation)
        return false;
    const int pos = m_view.find(bookmark.row);
    if (pos < 0)
        return false;
    m_view.setEnds(false, false);
    setPos(pos, true);
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
