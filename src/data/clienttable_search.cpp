// Locate and key searches of TClientTable.
#include "data/clienttable.h"

#include "data/tableorder.h"
#include "data/usertext.h"
#include "errors/apperror.h"

#include <algorithm>

namespace {

bool textMatches(QStringView text, const QString &wanted, int options) {
    const Qt::CaseSensitivity cs =
        options & loCaseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    if (options & loPartialKey)
        return text.startsWith(wanted, cs);
    return text.compare(wanted, cs) == 0;
}

} // namespace

bool TClientTable::Locate(const QString &fieldNames, const QList<TValue> &values, int options) {
    checkActive();
    checkBrowseMode();
    std::vector<int> fields;
    for (const QString &name : fieldNames.split(u';', Qt::SkipEmptyParts))
        fields.push_back(FieldByName(name.trimmed()).Index());
    if (fields.empty() || qsizetype(fields.size()) != values.size())
        throw AppError(QStringLiteral("%1: Locate needs one value per field").arg(m_name));
    QList<TValue> wanted;
    for (size_t i = 0; i < fields.size(); ++i)
        wanted.append(ConvertForField(m_content.fields[fields[i]], values[qsizetype(i)]));

    const TRecordStore &store = m_content.store;
    auto matches = [&](quint32 record) {
        for (size_t i = 0; i < fields.size(); ++i) {
            const int field = fields[i];
            const TValue &value = wanted[qsizetype(i)];
            if (value.isNull() || store.isNull(record, field)) {
                if (value.isNull() != store.isNull(record, field))
                    return false;
                continue;
            }
            if (m_content.fields[field].valueKind() == TValue::Text) {
                if (!textMatches(store.text(record, field), value.toText(), options))
                    return false;
            } else if (store.value(record, field, m_content.fields[field].valueKind()) != value) {
                return false;
            }
        }
        return true;
    };

    // With the current order led by the first located field, the candidates start at the lower
    // bound and end where the first key stops matching. Texts equal to the wanted one lie
    // together in the collation's order; texts that only start with it, or equal it in
    // another case, need not, and are looked for in every row.
    size_t begin = 0, end = m_view.size();
    if (m_order && !m_order->isEmpty() && m_order->keys().front().field == fields.front()) {
        const TTableOrder::Key &key = m_order->keys().front();
        const bool text = key.kind == TValue::Text;
        if (!text || (!key.caseInsensitive && !(options & (loCaseInsensitive | loPartialKey)))) {
            const TTableOrder::Probe probe = m_order->probe({wanted.front()});
            auto cmp = [&](quint32 row) {
                return m_order->compareToProbe(store, recordOf(row), probe);
            };
            const auto lo = std::partition_point(m_view.begin(), m_view.end(),
                                                 [&](quint32 row) { return cmp(row) < 0; });
            const auto hi =
                std::partition_point(lo, m_view.end(), [&](quint32 row) { return cmp(row) == 0; });
            begin = size_t(lo - m_view.begin());
            end = size_t(hi - m_view.begin());
        }
    }
    for (size_t pos = begin; pos < end; ++pos) {
        if (matches(recordOf(m_view[pos]))) {
            m_bof = m_eof = false;
            setPos(int(pos), true);
            return true;
        }
    }
    return false;
}

// The first position whose leading keys equal or follow the probe's values; the view's size
// when every row comes before them.
static size_t lowerBound(const std::vector<quint32> &view, const TTableOrder &order,
                         const TRecordStore &store, const TTableOrder::Probe &probe,
                         const std::function<quint32(quint32)> &recordOf) {
    const auto it = std::partition_point(view.begin(), view.end(), [&](quint32 row) {
        return order.compareToProbe(store, recordOf(row), probe) < 0;
    });
    return size_t(it - view.begin());
}

QList<TValue> TClientTable::indexKeys(const QList<TValue> &values) {
    checkActive();
    checkBrowseMode();
    if (!m_order || m_order->isEmpty())
        throw AppError(QStringLiteral("%1: No index is active").arg(m_name));
    QList<TValue> keys;
    for (qsizetype i = 0; i < values.size() && size_t(i) < m_order->keys().size(); ++i)
        keys.append(ConvertForField(m_content.fields[m_order->keys()[size_t(i)].field], values[i]));
    return keys;
}

void TClientTable::FindNearest(const QList<TValue> &values) {
    const TTableOrder::Probe probe = m_order->probe(indexKeys(values));
    if (m_view.empty())
        return;
    const size_t pos = lowerBound(m_view, *m_order, m_content.store, probe,
                                  [this](quint32 row) { return recordOf(row); });
    m_bof = pos == 0;
    m_eof = pos >= m_view.size();
    setPos(int(qMin(pos, m_view.size() - 1)), true);
}

bool TClientTable::FindKey(const QList<TValue> &values) {
    const TTableOrder::Probe probe = m_order->probe(indexKeys(values));
    const size_t pos = lowerBound(m_view, *m_order, m_content.store, probe,
                                  [this](quint32 row) { return recordOf(row); });
    if (pos >= m_view.size() ||
        m_order->compareToProbe(m_content.store, recordOf(m_view[pos]), probe) != 0)
        return false;
    m_bof = m_eof = false;
    setPos(int(pos), true);
    return true;
}

void TClientTable::ForEachRow(const QList<int> &fields,
                              const std::function<void(const TValue *values)> &visit) const {
    if (!Active())
        return;
    std::vector<TValue::Kind> kinds;
    for (int field : fields) {
        if (field < 0 || field >= FieldCount())
            throw AppError(QStringLiteral("%1: no field %2").arg(m_name).arg(field));
        kinds.push_back(m_content.fields[field].valueKind());
    }
    std::vector<TValue> values(size_t(fields.size()));
    for (quint32 row : m_tableOrder) {
        const TRowEntry &entry = m_content.rows[row];
        if (entry.flags & (kRowLogDeleted | kRowGone))
            continue;
        for (size_t i = 0; i < kinds.size(); ++i)
            values[i] = m_content.store.value(entry.record, fields[qsizetype(i)], kinds[i]);
        visit(values.data());
    }
}
