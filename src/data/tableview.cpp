#include "data/tableview.h"

#include "data/filterexpr.h"

#include <algorithm>

TTableView::TTableView(const TTableContent &content, const std::vector<quint32> &tableOrder,
                       const TChangeLog &log)
    : m_content(content), m_tableOrder(tableOrder), m_log(log) {}

TTableView::~TTableView() = default;

// --- settings ---

void TTableView::setIndexFieldNames(const QString &names) {
    m_indexFieldNames = names;
    m_indexName.clear();
}

void TTableView::setIndexName(const QString &name) {
    m_indexName = name;
    m_indexFieldNames.clear();
}

void TTableView::deleteIndex(const QString &name) {
    m_indexDefs.removeIf(
        [&](const TIndexDef &def) { return def.name.compare(name, Qt::CaseInsensitive) == 0; });
}

bool TTableView::hasIndex(const QString &name) const {
    return std::any_of(m_indexDefs.begin(), m_indexDefs.end(), [&](const TIndexDef &def) {
        return def.name.compare(name, Qt::CaseInsensitive) == 0;
    });
}

std::unique_ptr<TFilterExpr> TTableView::compileFilter(const QString &text,
                                                       const QList<TFieldDef> &fields) const {
    if (text.trimmed().isEmpty())
        return nullptr;
    return std::make_unique<TFilterExpr>(text, fields);
}

TTableOrder TTableView::compileOrder(const QList<TFieldDef> &fields) const {
    if (!m_indexName.isEmpty()) {
        for (const TIndexDef &def : m_indexDefs)
            if (def.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
                return TTableOrder::FromIndex(def.fields, def.options & ixDescending,
                                              def.options & ixCaseInsensitive, fields);
    }
    return TTableOrder::FromFieldNames(m_indexFieldNames, fields);
}

void TTableView::setFilter(std::unique_ptr<TFilterExpr> filter) {
    m_filter = std::move(filter);
}

void TTableView::setOrder(std::unique_ptr<TTableOrder> order) {
    m_order = std::move(order);
}

// --- rows ---

void TTableView::clear() {
    m_rows.clear();
    m_pos = -1;
    m_eof = m_bof = true;
    m_filter.reset();
    m_order.reset();
}

bool TTableView::rowVisible(quint32 row) const {
    if (!m_log.isLive(row))
        return false;
    return !m_filtered || !m_filter || m_filter->Matches(m_content.store, recordOf(row));
}

void TTableView::rebuild(quint32 keepRow) {
    m_rows.clear();
    m_rows.reserve(m_tableOrder.size());
    for (quint32 row : m_tableOrder)
        if (rowVisible(row))
            m_rows.push_back(row);
    if (m_order)
        m_order->sort(m_content.store, m_rows, [this](quint32 row) { return recordOf(row); });
    m_pos = m_rows.empty() ? -1 : 0;
    if (keepRow != kNoRecord) {
        const int at = find(keepRow);
        if (at >= 0)
            m_pos = at;
    }
    m_bof = m_pos <= 0;
    m_eof = m_rows.empty();
}

int TTableView::find(quint32 row) const {
    const auto it = std::find(m_rows.begin(), m_rows.end(), row);
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

int TTableView::findKey(const TValue &key) const {
    const TValue::Kind kind = m_content.fields[0].valueKind();
    for (size_t pos = 0; pos < m_rows.size(); ++pos)
        if (m_content.store.value(recordOf(m_rows[pos]), 0, kind) == key)
            return int(pos);
    return -1;
}

std::pair<size_t, size_t> TTableView::equalRange(const TTableOrder::Probe &probe) const {
    const TRecordStore &store = m_content.store;
    auto cmp = [&](quint32 row) { return m_order->compareToProbe(store, recordOf(row), probe); };
    const auto lo = std::partition_point(m_rows.begin(), m_rows.end(),
                                         [&](quint32 row) { return cmp(row) < 0; });
    const auto hi =
        std::partition_point(lo, m_rows.end(), [&](quint32 row) { return cmp(row) == 0; });
    return {size_t(lo - m_rows.begin()), size_t(hi - m_rows.begin())};
}

void TTableView::insertProvisional(int pos) {
    m_rows.insert(m_rows.begin() + pos, kProvisionalRow);
    m_pos = pos;
    m_eof = m_bof = false;
}

void TTableView::place(quint32 row, int hint) {
    if (!rowVisible(row)) {
        m_pos = m_rows.empty() ? -1 : qBound(0, hint, int(m_rows.size()) - 1);
        return;
    }
    size_t pos;
    if (ordered()) {
        const quint32 record = recordOf(row);
        const auto it = std::upper_bound(
            m_rows.begin(), m_rows.end(), record, [this](quint32 rec, quint32 other) {
                return m_order->compare(m_content.store, rec, recordOf(other)) < 0;
            });
        pos = size_t(it - m_rows.begin());
    } else {
        pos = size_t(qBound(0, hint, int(m_rows.size())));
    }
    m_rows.insert(m_rows.begin() + qsizetype(pos), row);
    m_pos = int(pos);
}

void TTableView::removeAt(int pos) {
    m_rows.erase(m_rows.begin() + pos);
    m_pos = m_rows.empty() ? -1 : qMin(pos, int(m_rows.size()) - 1);
}

bool TTableView::staysInPlace(int pos) const {
    const quint32 row = m_rows[size_t(pos)];
    if (!rowVisible(row))
        return false;
    if (!ordered())
        return true;
    const TRecordStore &store = m_content.store;
    const quint32 record = recordOf(row);
    if (pos > 0 && m_order->compare(store, recordOf(m_rows[size_t(pos) - 1]), record) > 0)
        return false;
    const size_t next = size_t(pos) + 1;
    return next >= m_rows.size() || m_order->compare(store, record, recordOf(m_rows[next])) <= 0;
}
