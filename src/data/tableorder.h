#pragma once

#include "wire/fielddef.h"
#include "wire/recordstore.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <vector>

// An ordering of client table rows: key fields, each ascending or descending. Texts follow
// the collation of the user's language (sort keys cached per cell by the record store);
// nulls come before every value. A case-insensitive key orders as any other (case only
// decides between texts equal in letters and accents) but searches ignore case on it.
class TTableOrder {
public:
    struct Key {
        int field = -1;
        TValue::Kind kind = TValue::Null;
        bool descending = false;
        bool caseInsensitive = false;
    };

    // Values searched for in the leading keys, already converted to the key fields' kinds,
    // with the sort keys of their texts computed once for the whole search.
    struct Probe {
        QList<TValue> values;
        std::vector<QByteArray> textKeys;
    };

    // From an index field list: "A;B DESC" (" DESC" or " DESCENDING" per field). Raises
    // AppError for an unknown field. An empty list gives no keys.
    static TTableOrder FromFieldNames(const QString &names, const QList<TFieldDef> &fields);
    // From a named index's fields and options (descending and case-insensitive for all keys).
    static TTableOrder FromIndex(const QString &names, bool descending, bool caseInsensitive,
                                 const QList<TFieldDef> &fields);

    const std::vector<Key> &keys() const { return m_keys; }
    bool isEmpty() const { return m_keys.empty(); }

    // Compares two records over all keys (negative, 0, positive in this order).
    int compare(const TRecordStore &store, quint32 a, quint32 b) const;
    Probe probe(const QList<TValue> &values) const;
    // Compares a record's first probe.values.size() keys with the probe's values.
    int compareToProbe(const TRecordStore &store, quint32 record, const Probe &probe) const;

    // Sorts row ids stably; recordOf maps a row id to its record.
    template <typename RecordOf>
    void sort(const TRecordStore &store, std::vector<quint32> &rows, RecordOf recordOf) const;

private:
    int compareKey(const Key &key, const TRecordStore &store, quint32 a, quint32 b) const;
    void sortRecords(const TRecordStore &store,
                     std::vector<std::pair<quint32, quint32>> &items) const;

    std::vector<Key> m_keys;
};

template <typename RecordOf>
void TTableOrder::sort(const TRecordStore &store, std::vector<quint32> &rows,
                       RecordOf recordOf) const {
    if (m_keys.empty() || rows.size() < 2)
        return;
    std::vector<std::pair<quint32, quint32>> items; // (record, row)
    items.reserve(rows.size());
    for (quint32 row : rows)
        items.emplace_back(recordOf(row), row);
    sortRecords(store, items);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = items[i].second;
}
