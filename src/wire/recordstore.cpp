#include "wire/recordstore.h"

#include "wire/collation.h"

#include "errors/apperror.h"

#include <cstring>
#include <limits>

namespace {

void checkArena(size_t size) {
    if (size > std::numeric_limits<quint32>::max())
        throw AppError(QStringLiteral("The table holds more text than it can store."));
}

} // namespace

void TRecordStore::reset(const QList<TFieldDef> &fields) {
    m_fieldCount = int(fields.size());
    m_nullWords = qMax(1, (m_fieldCount + 63) / 64);
    m_cells.clear();
    m_nulls.clear();
    m_text.clear();
    m_bytes.clear();
    m_sortKeys.clear();
}

void TRecordStore::reserve(qsizetype records, qsizetype textUnits) {
    m_cells.reserve(size_t(records) * m_fieldCount);
    m_nulls.reserve(size_t(records) * m_nullWords);
    m_text.reserve(size_t(textUnits));
}

quint32 TRecordStore::addRecord() {
    const quint32 record = quint32(m_nulls.size() / m_nullWords);
    if (record == kNoRecord)
        throw AppError(QStringLiteral("The table holds too many records."));
    m_cells.resize(m_cells.size() + m_fieldCount, TCell{0});
    m_nulls.resize(m_nulls.size() + m_nullWords, ~quint64(0));
    return record;
}

quint32 TRecordStore::copyRecord(quint32 source) {
    const quint32 record = addRecord();
    copyInto(record, source);
    return record;
}

void TRecordStore::copyInto(quint32 target, quint32 source) {
    m_sortKeys.forgetRecord(target);
    std::memcpy(&m_cells[size_t(target) * m_fieldCount], &m_cells[size_t(source) * m_fieldCount],
                sizeof(TCell) * m_fieldCount);
    std::memcpy(&m_nulls[size_t(target) * m_nullWords], &m_nulls[size_t(source) * m_nullWords],
                sizeof(quint64) * m_nullWords);
}

void TRecordStore::setNull(quint32 record, int field) {
    m_sortKeys.forget(record, field);
    m_nulls[size_t(record) * m_nullWords + field / 64] |= quint64(1) << (field % 64);
    cellRef(record, field).i = 0;
}

void TRecordStore::clearNull(quint32 record, int field) {
    m_nulls[size_t(record) * m_nullWords + field / 64] &= ~(quint64(1) << (field % 64));
}

void TRecordStore::setInteger(quint32 record, int field, qint64 value) {
    cellRef(record, field).i = value;
    clearNull(record, field);
}

void TRecordStore::setFloat(quint32 record, int field, double value) {
    cellRef(record, field).f = value;
    clearNull(record, field);
}

void TRecordStore::setText(quint32 record, int field, QStringView value) {
    char16_t *out = beginText(value.size());
    if (!value.isEmpty()) // an empty view may point nowhere
        std::memcpy(out, value.utf16(), sizeof(char16_t) * value.size());
    commitText(record, field, out + value.size());
}

char16_t *TRecordStore::beginText(qsizetype maxUnits) {
    m_pendingStart = m_text.size();
    checkArena(m_pendingStart + size_t(maxUnits));
    if (m_text.capacity() < m_pendingStart + maxUnits)
        m_text.reserve(qMax(m_text.capacity() * 2, m_pendingStart + size_t(maxUnits)));
    m_text.resize(m_pendingStart + maxUnits);
    return m_text.data() + m_pendingStart;
}

void TRecordStore::commitText(quint32 record, int field, char16_t *end) {
    // beginText grew the arena by the maximum; cut it back to what was written.
    const size_t used = size_t(end - m_text.data());
    TCell &cell = cellRef(record, field);
    cell.ref.offset = quint32(m_pendingStart);
    cell.ref.length = quint32(used - m_pendingStart);
    m_text.resize(used);
    clearNull(record, field);
    m_sortKeys.forget(record, field);
}

void TRecordStore::setBytes(quint32 record, int field, QByteArrayView value) {
    const size_t start = m_bytes.size();
    checkArena(start + size_t(value.size()));
    m_bytes.insert(m_bytes.end(), value.begin(), value.end());
    TCell &cell = cellRef(record, field);
    cell.ref.offset = quint32(start);
    cell.ref.length = quint32(value.size());
    clearNull(record, field);
}

QStringView TRecordStore::text(quint32 record, int field) const {
    const TCell &c = cell(record, field);
    if (isNull(record, field) || c.ref.length == 0)
        return QStringView(u"", 0);
    return QStringView(m_text.data() + c.ref.offset, qsizetype(c.ref.length));
}

QByteArrayView TRecordStore::bytes(quint32 record, int field) const {
    const TCell &c = cell(record, field);
    if (isNull(record, field) || c.ref.length == 0)
        return QByteArrayView("", 0);
    return QByteArrayView(m_bytes.data() + c.ref.offset, qsizetype(c.ref.length));
}

TValue TRecordStore::value(quint32 record, int field, TValue::Kind kind) const {
    if (isNull(record, field))
        return TValue();
    const TCell &c = cell(record, field);
    switch (kind) {
    case TValue::Integer:
        return TValue::FromInteger(c.i);
    case TValue::Unsigned:
        return TValue::FromUnsigned(quint64(c.i));
    case TValue::Float:
        return TValue::FromFloat(c.f);
    case TValue::Bool:
        return TValue::FromBool(c.i != 0);
    case TValue::DateTime:
        return TValue::FromDateTime(TDateTimeMs{c.i});
    case TValue::Text:
        return TValue::FromText(text(record, field).toString());
    case TValue::Bytes:
        return TValue::FromBytes(bytes(record, field).toByteArray());
    case TValue::Null:
        break;
    }
    return TValue();
}

void TRecordStore::setValue(quint32 record, int field, const TValue &value) {
    switch (value.kind()) {
    case TValue::Null:
        setNull(record, field);
        break;
    case TValue::Integer:
        setInteger(record, field, value.toInteger());
        break;
    case TValue::Unsigned: // its 64 bits
        setInteger(record, field, qint64(value.toUnsigned()));
        break;
    case TValue::Bool:
        setInteger(record, field, value.toBool() ? 1 : 0);
        break;
    case TValue::DateTime:
        setInteger(record, field, value.toDateTime().ms);
        break;
    case TValue::Float:
        setFloat(record, field, value.toFloat());
        break;
    case TValue::Text:
        setText(record, field, value.toText());
        break;
    case TValue::Bytes:
        setBytes(record, field, value.toBytes());
        break;
    }
}

QByteArrayView TRecordStore::sortKey(quint32 record, int field) const {
    return m_sortKeys.key(record, field, text(record, field), TCollation::Current());
}

bool TRecordStore::sameValue(quint32 recordA, quint32 recordB, int field, TValue::Kind kind) const {
    const bool nullA = isNull(recordA, field);
    if (nullA != isNull(recordB, field))
        return false;
    if (nullA)
        return true;
    switch (kind) {
    case TValue::Text:
        return text(recordA, field) == text(recordB, field);
    case TValue::Bytes:
        return bytes(recordA, field) == bytes(recordB, field);
    case TValue::Float:
        return cell(recordA, field).f == cell(recordB, field).f;
    default:
        return cell(recordA, field).i == cell(recordB, field).i;
    }
}
