#include "data/tableorder.h"

#include "wire/collation.h"
#include "errors/apperror.h"

#include <algorithm>
#include <cstring>

namespace {

int fieldIndex(const QList<TFieldDef> &fields, QStringView name) {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    throw AppError(QStringLiteral("Field '%1' not found").arg(name));
}

template <typename T> int threeWay(const T &a, const T &b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// Sort keys compare as unsigned bytes; a key that is the start of another comes first.
int compareKeys(QByteArrayView a, QByteArrayView b) {
    const int c = std::memcmp(a.data(), b.data(), size_t(qMin(a.size(), b.size())));
    if (c)
        return c < 0 ? -1 : 1;
    return threeWay(a.size(), b.size());
}

// Eight bytes of a sort key from position from, packed so that integer order is byte order
// (missing bytes count as 0, which only the key's final byte is).
quint64 keyWord(QByteArrayView key, qsizetype from) {
    quint64 word = 0;
    for (qsizetype i = from; i < from + 8; ++i)
        word = (word << 8) | (i < key.size() ? quint8(key[i]) : 0);
    return word;
}

constexpr qsizetype kPacked = 16; // key bytes packed into the two words of a sort item

} // namespace

TTableOrder TTableOrder::FromFieldNames(const QString &names, const QList<TFieldDef> &fields) {
    TTableOrder order;
    for (QString part : names.split(u';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        Key key;
        for (const QLatin1String suffix : {QLatin1String(" DESCENDING"), QLatin1String(" DESC")}) {
            if (part.endsWith(suffix, Qt::CaseInsensitive)) {
                part.chop(suffix.size());
                part = part.trimmed();
                key.descending = true;
                break;
            }
        }
        if (part.isEmpty())
            continue;
        key.field = fieldIndex(fields, part);
        key.kind = fields[key.field].valueKind();
        order.m_keys.push_back(key);
    }
    return order;
}

TTableOrder TTableOrder::FromIndex(const QString &names, bool descending, bool caseInsensitive,
                                   const QList<TFieldDef> &fields) {
    TTableOrder order = FromFieldNames(names, fields);
    for (Key &key : order.m_keys) {
        key.descending = key.descending || descending;
        key.caseInsensitive = caseInsensitive;
    }
    return order;
}

int TTableOrder::compareKey(const Key &key, const TRecordStore &store, quint32 a, quint32 b) const {
    const bool nullA = store.isNull(a, key.field), nullB = store.isNull(b, key.field);
    int c;
    if (nullA || nullB) {
        c = int(nullB) - int(nullA);
    } else {
        switch (key.kind) {
        case TValue::Text:
            c = compareKeys(store.sortKey(a, key.field), store.sortKey(b, key.field));
            break;
        case TValue::Float:
            c = threeWay(store.cell(a, key.field).f, store.cell(b, key.field).f);
            break;
        case TValue::Bytes:
            c = threeWay(store.bytes(a, key.field), store.bytes(b, key.field));
            break;
        case TValue::Unsigned:
            c = threeWay(quint64(store.cell(a, key.field).i), quint64(store.cell(b, key.field).i));
            break;
        default:
            c = threeWay(store.cell(a, key.field).i, store.cell(b, key.field).i);
            break;
        }
    }
    return key.descending ? -c : c;
}

int TTableOrder::compare(const TRecordStore &store, quint32 a, quint32 b) const {
    for (const Key &key : m_keys)
        if (const int c = compareKey(key, store, a, b))
            return c;
    return 0;
}

TTableOrder::Probe TTableOrder::probe(const QList<TValue> &values) const {
    Probe probe;
    probe.values = values.mid(0, qsizetype(m_keys.size()));
    for (qsizetype i = 0; i < probe.values.size(); ++i) {
        const bool text = m_keys[size_t(i)].kind == TValue::Text && !probe.values[i].isNull();
        probe.textKeys.push_back(text ? TCollation::Current().Key(probe.values[i].toText())
                                      : QByteArray());
    }
    return probe;
}

int TTableOrder::compareToProbe(const TRecordStore &store, quint32 record,
                                const Probe &probe) const {
    for (qsizetype i = 0; i < probe.values.size(); ++i) {
        const Key &key = m_keys[size_t(i)];
        const TValue &value = probe.values[i];
        const bool nullA = store.isNull(record, key.field), nullB = value.isNull();
        int c;
        if (nullA || nullB) {
            c = int(nullB) - int(nullA);
        } else {
            switch (key.kind) {
            case TValue::Text:
                c = key.caseInsensitive
                        ? TCollation::Current().Compare(store.text(record, key.field),
                                                        value.toText(), true)
                        : compareKeys(store.sortKey(record, key.field), probe.textKeys[size_t(i)]);
                break;
            case TValue::Float:
                c = threeWay(store.cell(record, key.field).f, value.toFloat());
                break;
            case TValue::Bytes:
                c = threeWay(store.bytes(record, key.field), QByteArrayView(value.toBytes()));
                break;
            case TValue::DateTime:
                c = threeWay(store.cell(record, key.field).i, value.toDateTime().ms);
                break;
            case TValue::Unsigned:
                c = threeWay(quint64(store.cell(record, key.field).i), value.toUnsigned());
                break;
            default:
                c = threeWay(store.cell(record, key.field).i, value.toInteger());
                break;
            }
        }
        if (c)
            return key.descending ? -(c < 0 ? -1 : 1) : (c < 0 ? -1 : 1);
    }
    return 0;
}

void TTableOrder::sortRecords(const TRecordStore &store,
                              std::vector<std::pair<quint32, quint32>> &items) const {
    const Key &first = m_keys.front();
    if (first.kind != TValue::Text) {
        std::stable_sort(items.begin(), items.end(), [&](const auto &x, const auto &y) {
            return compare(store, x.first, y.first) < 0;
        });
        return;
    }
    // A text first key: each item carries the first sixteen bytes of its sort key packed as
    // integers and a view of the whole key, so most comparisons touch neither the store nor
    // the keys. The keys are computed once per cell and kept by the store.
    struct Item {
        quint64 high, low;
        const char *key;
        quint32 length;
        quint32 index : 31;
        quint32 null : 1;
    };
    std::vector<Item> keyed;
    keyed.reserve(items.size());
    for (quint32 i = 0; i < items.size(); ++i) {
        const quint32 record = items[i].first;
        const bool null = store.isNull(record, first.field);
        const QByteArrayView key = null ? QByteArrayView() : store.sortKey(record, first.field);
        keyed.push_back(
            {keyWord(key, 0), keyWord(key, 8), key.data(), quint32(key.size()), i, null});
    }
    const bool desc = first.descending;
    auto less = [&](const Item &x, const Item &y) {
        int c = int(y.null) - int(x.null); // nulls first
        if (!c && x.high != y.high)
            c = x.high < y.high ? -1 : 1;
        if (!c && x.low != y.low)
            c = x.low < y.low ? -1 : 1;
        if (!c && x.length > kPacked && y.length > kPacked)
            c = compareKeys(QByteArrayView(x.key + kPacked, x.length - kPacked),
                            QByteArrayView(y.key + kPacked, y.length - kPacked));
        if (desc)
            c = -c;
        if (!c && m_keys.size() > 1)
            c = compare(store, items[x.index].first, items[y.index].first);
        return c ? c < 0 : x.index < y.index; // ties keep the table order
    };
    std::sort(keyed.begin(), keyed.end(), less);
    std::vector<std::pair<quint32, quint32>> sorted;
    sorted.reserve(items.size());
    for (const Item &item : keyed)
        sorted.push_back(items[item.index]);
    items = std::move(sorted);
}
