#include "data/tableorder.h"

#include "lang/apperror.h"

#include <algorithm>

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

int compareText(QStringView a, QStringView b, bool caseInsensitive) {
    const int c = a.compare(b, caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The first four UTF-16 units of a text packed so that integer order is text order; a
// surrogate ends the packing (it is kept unfolded, the rest is left to the full compare).
quint64 textPrefix(QStringView text, bool caseInsensitive) {
    quint64 prefix = 0;
    bool stop = false;
    for (int i = 0; i < 4; ++i) {
        char16_t c = !stop && i < text.size() ? text[i].unicode() : 0;
        if (QChar::isSurrogate(c))
            stop = true;
        else if (caseInsensitive && c)
            c = QChar::toCaseFolded(c);
        prefix = (prefix << 16) | c;
    }
    return prefix;
}

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
            c = compareText(store.text(a, key.field), store.text(b, key.field),
                            key.caseInsensitive);
            break;
        case TValue::Float:
            c = threeWay(store.cell(a, key.field).f, store.cell(b, key.field).f);
            break;
        case TValue::Bytes:
            c = threeWay(store.bytes(a, key.field), store.bytes(b, key.field));
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

int TTableOrder::compareToValues(const TRecordStore &store, quint32 record,
                                 const QList<TValue> &values, bool partial) const {
    const size_t count = qMin(size_t(values.size()), m_keys.size());
    for (size_t i = 0; i < count; ++i) {
        const Key &key = m_keys[i];
        const TValue &value = values[qsizetype(i)];
        const bool nullA = store.isNull(record, key.field), nullB = value.isNull();
        int c;
        if (nullA || nullB) {
            c = int(nullB) - int(nullA);
        } else {
            switch (key.kind) {
            case TValue::Text: {
                QStringView text = store.text(record, key.field);
                const QString wanted = value.toText();
                if (partial && text.size() > wanted.size())
                    text = text.left(wanted.size());
                c = compareText(text, wanted, key.caseInsensitive);
                break;
            }
            case TValue::Float:
                c = threeWay(store.cell(record, key.field).f, value.toFloat());
                break;
            case TValue::Bytes:
                c = threeWay(store.bytes(record, key.field), QByteArrayView(value.toBytes()));
                break;
            case TValue::DateTime:
                c = threeWay(store.cell(record, key.field).i, value.toDateTime().ms);
                break;
            default:
                c = threeWay(store.cell(record, key.field).i, value.toInteger());
                break;
            }
        }
        if (c)
            return key.descending ? -c : c;
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
    // Text first key: compare packed prefixes before touching the texts.
    struct Item {
        quint64 prefix;
        quint32 record;
        quint32 row;
    };
    std::vector<Item> keyed;
    keyed.reserve(items.size());
    for (const auto &[record, row] : items) {
        const quint64 prefix =
            store.isNull(record, first.field)
                ? 0
                : textPrefix(store.text(record, first.field), first.caseInsensitive);
        keyed.push_back({prefix, record, row});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [&](const Item &x, const Item &y) {
        if (x.prefix != y.prefix) {
            // Nulls (prefix 0 with the null bit) sort first; an empty text also packs to 0.
            return first.descending ? x.prefix > y.prefix : x.prefix < y.prefix;
        }
        return compare(store, x.record, y.record) < 0;
    });
    for (size_t i = 0; i < items.size(); ++i)
        items[i] = {keyed[i].record, keyed[i].row};
}
