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

constexpr qsizetype kPacked = 12; // UTF-16 units packed into the three words of a sort item

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
            case TValue::Unsigned:
                c = threeWay(quint64(store.cell(record, key.field).i), value.toUnsigned());
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
    // A text first key: each item carries its first twelve UTF-16 units packed as integers and
    // a view of its text, so most comparisons touch neither the store nor the text arena.
    struct Item {
        quint64 high, middle, low;
        const char16_t *text;
        quint32 length;
        quint32 index : 30;
        quint32 null : 1;
        quint32 plain : 1; // no surrogate among the packed units
    };
    std::vector<Item> keyed;
    keyed.reserve(items.size());
    for (quint32 i = 0; i < items.size(); ++i) {
        const quint32 record = items[i].first;
        const bool null = store.isNull(record, first.field);
        const QStringView text = null ? QStringView() : store.text(record, first.field);
        auto part = [&](int from) {
            return textPrefix(text.size() > from ? text.mid(from) : QStringView(),
                              first.caseInsensitive);
        };
        const bool plain =
            std::none_of(text.begin(), text.begin() + qMin<qsizetype>(kPacked, text.size()),
                         [](QChar c) { return c.isSurrogate(); });
        keyed.push_back(
            {part(0), part(4), part(8), text.utf16(), quint32(text.size()), i, null, plain});
    }
    const bool ci = first.caseInsensitive, desc = first.descending;
    static_assert(kPacked == 12);
    auto less = [&](const Item &x, const Item &y) {
        int c = int(y.null) - int(x.null); // nulls first
        if (!c && x.high != y.high)
            c = x.high < y.high ? -1 : 1;
        if (!c && x.middle != y.middle)
            c = x.middle < y.middle ? -1 : 1;
        if (!c && x.low != y.low)
            c = x.low < y.low ? -1 : 1;
        if (!c && !x.null && !y.null) {
            if (x.plain && y.plain && x.length > kPacked && y.length > kPacked)
                c = compareText(QStringView(x.text + kPacked, x.length - kPacked),
                                QStringView(y.text + kPacked, y.length - kPacked), ci);
            else
                c = compareText(QStringView(x.text, x.length), QStringView(y.text, y.length), ci);
        }
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
