#pragma once

#include "wire/fielddef.h"
#include "wire/pageallocator.h"
#include "wire/sortkeycache.h"
#include "wire/value.h"

#include <QList>
#include <QStringView>
#include <vector>

// One stored cell: an integer (a ui8 as its 64 bits), float, boolean or date-time in place, or
// a reference to text (UTF-16 code units) or bytes in the store's arenas.
union TCell {
    qint64 i;
    double f;
    struct {
        quint32 offset;
        quint32 length;
    } ref;
};
static_assert(sizeof(TCell) == 8);

constexpr quint32 kNoRecord = 0xffffffffu;

// Keeps the records of a client table compactly: a fixed number of 8-byte cells per record,
// a null bit per cell, and two append-only arenas for text and bytes.
class TRecordStore {
public:
    void reset(const QList<TFieldDef> &fields);
    void reserve(qsizetype records, qsizetype textUnits);

    int fieldCount() const { return m_fieldCount; }
    quint32 recordCount() const { return quint32(m_cells.size() / qMax(m_fieldCount, 1)); }

    // A new record with every cell null; returns its number.
    quint32 addRecord();
    // A new record holding a copy of another.
    quint32 copyRecord(quint32 source);
    void copyInto(quint32 target, quint32 source);

    bool isNull(quint32 record, int field) const {
        return (m_nulls[size_t(record) * m_nullWords + field / 64] >> (field % 64)) & 1;
    }
    void setNull(quint32 record, int field);
    const TCell &cell(quint32 record, int field) const {
        return m_cells[size_t(record) * m_fieldCount + field];
    }

    void setInteger(quint32 record, int field, qint64 value);
    void setFloat(quint32 record, int field, double value);
    // Appends UTF-16 units to the text arena and points the cell at them.
    void setText(quint32 record, int field, QStringView value);
    void setBytes(quint32 record, int field, QByteArrayView value);
    // Reserves room for up to maxUnits UTF-16 units at the end of the text arena; the caller
    // writes them and then calls commitText with the number actually written.
    char16_t *beginText(qsizetype maxUnits);
    void commitText(quint32 record, int field, char16_t *end);

    QStringView text(quint32 record, int field) const;
    QByteArrayView bytes(quint32 record, int field) const;

    // The cell as a value of the given kind (null when the null bit is set).
    TValue value(quint32 record, int field, TValue::Kind kind) const;
    // Stores a value already converted to the field's kind (or null).
    void setValue(quint32 record, int field, const TValue &value);
    // Whether two cells of the same field hold the same value (nulls equal each other).
    bool sameValue(quint32 recordA, quint32 recordB, int field, TValue::Kind kind) const;

    // The sort key of a text cell in the collation of the interface language: computed on
    // first use and kept until the cell changes. The view stays valid while the store keeps
    // its records.
    QByteArrayView sortKey(quint32 record, int field) const;

private:
    TCell &cellRef(quint32 record, int field) {
        return m_cells[size_t(record) * m_fieldCount + field];
    }
    void clearNull(quint32 record, int field);

    int m_fieldCount = 0;
    int m_nullWords = 1;
    std::vector<TCell, TPageAllocator<TCell>> m_cells;
    std::vector<quint64, TPageAllocator<quint64>> m_nulls;
    std::vector<char16_t, TPageAllocator<char16_t>> m_text;
    std::vector<char, TPageAllocator<char>> m_bytes;
    size_t m_pendingStart = 0;
    mutable TSortKeyCache m_sortKeys;
};
