// Locate and key searches of TClientTable.
#include "data/clienttable.h"

#include "data/tableorder.h"
#include "data/usertext.h"
#include "errors/apperror.h"

#include <algorithm>
#include <tuple>

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
    const TTableOrder *order = m_view.order();
    if (m_view.ordered() && order->keys().front().field == fields.front()) {
        const TTableOrder::Key &key = order->keys().front();
        const bool text = key.kind == TValue::Text;
        if (!text || (!key.caseInsensitive && !(options & (loCaseInsensitive | loPartialKey))))
            std::tie(begin, end) = m_view.equalRange(order->probe({wanted.front()}));
    }
    for (size_t pos = begin; pos < end; ++pos) {
        if (matches(m_view.recordOf(m_view.rowAt(int(pos))))) {
            m_view.setEnds(false, false);
            setPos(int(pos), true);
            return true;
        }
    }
    return false;
}

QList<TValue> TClientTable::indexKeys(const QList<TValue> &values) {
    checkActive();
    checkBrowseMode();
    if (!m_view.ordered())
        throw AppError(QStringLiteral("%1: No index is active").arg(m_name));
    const std::vector<TTableOrder::Key> &orderKeys = m_view.order()->keys();
    QList<TValue> keys;
    for (qsizetype i = 0; i < values.size() && size_t(i) < orderKeys.size(); ++i)
        keys.append(ConvertForField(m_content.fields[orderKeys[size_t(i)].field], values[i]));
    return keys;
}

size_t TClientTable::lowerBound(const QList<TValue> &values, TTableOrder::Probe &probe) {
    const QList<TValue> keys = indexKeys(values); // raises when no index is active
    probe = m_view.order()->probe(keys);
    return m_view.equalRange(probe).first;
}

void TClientTable::FindNearest(const QList<TValue> &values) {
    TTableOrder::Probe probe;
    const size_t pos = lowerBound(values, probe);
    if (m_view.empty())
        return;
    m_view.setEnds(pos == 0, pos >= m_view.size());
    setPos(int(qMin(pos, m_view.size() - 1)), true);
}

bool TClientTable::FindKey(const QList<TValue> &values) {
    TTableOrder::Probe probe;
    const size_t pos = lowerBound(values, probe);
    if (pos >= m_view.size() ||
        m_view.order()->compareToProbe(m_content.store, m_view.recordOf(m_view.rowAt(int(pos))),
                                       probe) != 0)
        return false;
    m_view.setEnds(false, false);
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
        if (!m_log.isLive(row))
            continue;
        const quint32 record = m_content.rows[row].record;
        for (size_t i = 0; i < kinds.size(); ++i)
            values[i] = m_content.store.value(record, fields[qsizetype(i)], kinds[i]);
        visit(values.data());
    }
}
