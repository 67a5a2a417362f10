#include "lesson/books/ziparchive.h"

#include "lesson/books/zipinflate.h"

#include <algorithm>

namespace {

constexpr quint32 kLocalSignature = 0x04034b50;
constexpr quint32 kCentralSignature = 0x02014b50;
constexpr quint32 kEndSignature = 0x06054b50;
constexpr quint32 kDescriptorSignature = 0x08074b50;
constexpr qint64 kLocalSize = 30;
constexpr qint64 kCentralSize = 46;
constexpr qint64 kEndSize = 22;
constexpr qint64 kMaxComment = 0xffff;
// Deflate cannot give more than 1032 bytes per compressed byte (a 258-byte match in two
// bits); the slack covers block headers of tiny entries.
constexpr qint64 kMaxDeflateRatio = 1032;
constexpr qint64 kRatioSlack = 64;

quint16 get16(QByteArrayView bytes, qint64 at) {
    const auto *p = reinterpret_cast<const uchar *>(bytes.data()) + at;
    return quint16(p[0] | (p[1] << 8));
}

quint32 get32(QByteArrayView bytes, qint64 at) {
    return get16(bytes, at) | (quint32(get16(bytes, at + 2)) << 16);
}

} // namespace

TKAZip::TKAZip(QByteArrayView archive, const ZipLimits &limits)
    : m_bytes(archive), m_limits(limits) {
    const qint64 endRecord = findEndRecord();
    if (endRecord < 0) {
        scanLocalHeaders();
        return;
    }
    m_valid = readCentralDirectory(endRecord);
    if (m_entries.isEmpty() && !m_valid) {
        // The end record points nowhere useful: the local headers may still be intact.
        scanLocalHeaders();
        return;
    }
    for (ZipEntry &entry : m_entries)
        locateData(entry);
}

qint64 TKAZip::findEndRecord() const {
    const qint64 size = m_bytes.size();
    if (size < kEndSize)
        return -1;
    const qint64 lowest = std::max<qint64>(0, size - kEndSize - kMaxComment);
    qint64 first = -1;
    for (qint64 at = size - kEndSize; at >= lowest; --at) {
        if (m_bytes[at] != 'P' || get32(m_bytes, at) != kEndSignature)
            continue;
        // A record whose comment reaches exactly to the end is the real one; a signature
        // inside a comment rarely is.
        if (at + kEndSize + get16(m_bytes, at + 20) == size)
            return at;
        if (first < 0)
            first = at;
    }
    return first;
}

bool TKAZip::readCentralDirectory(qint64 endRecord) {
    const int count = get16(m_bytes, endRecord + 10);
    qint64 position = get32(m_bytes, endRecord + 16);
    ZipEntry entry;
    while (readEntryAt(position, entry))
        m_entries.append(entry);
    return m_entries.size() == count;
}

bool TKAZip::readEntryAt(qint64 &position, ZipEntry &entry) const {
    const QByteArrayView b = m_bytes;
    if (position + kCentralSize > b.size() || get32(b, position) != kCentralSignature)
        return false;
    const qint64 nameLength = get16(b, position + 28);
    const qint64 next =
        position + kCentralSize + nameLength + get16(b, position + 30) + get16(b, position + 32);
    if (next > b.size())
        return false;
    entry = ZipEntry();
    entry.madeBy = get16(b, position + 4);
    entry.flags = get16(b, position + 8);
    entry.method = get16(b, position + 10);
    entry.dosTime = get16(b, position + 12);
    entry.dosDate = get16(b, position + 14);
    entry.crc = get32(b, position + 16);
    entry.compressedSize = get32(b, position + 20);
    entry.size = get32(b, position + 24);
    entry.externalAttributes = get32(b, position + 38);
    entry.localOffset = get32(b, position + 42);
    entry.storedName = b.sliced(position + kCentralSize, nameLength).toByteArray();
    position = next;
    return true;
}

void TKAZip::locateData(ZipEntry &entry) {
    const qint64 at = entry.localOffset;
    if (at + kLocalSize <= m_bytes.size() && get32(m_bytes, at) == kLocalSignature) {
        const qint64 data = at + kLocalSize + get16(m_bytes, at + 26) + get16(m_bytes, at + 28);
        if (data <= m_bytes.size()) {
            entry.dataOffset = data;
            return;
        }
    }
    entry.dataOffset = -1;
    m_badEntries = true;
}

void TKAZip::scanLocalHeaders() {
    const QByteArrayView b = m_bytes;
    qint64 position = 0;
    while (position + kLocalSize <= b.size() && get32(b, position) == kLocalSignature) {
        ZipEntry entry;
        entry.localOffset = quint32(position);
        entry.flags = get16(b, position + 6);
        entry.method = get16(b, position + 8);
        entry.dosTime = get16(b, position + 10);
        entry.dosDate = get16(b, position + 12);
        entry.crc = get32(b, position + 14);
        entry.compressedSize = get32(b, position + 18);
        entry.size = get32(b, position + 22);
        const qint64 nameLength = get16(b, position + 26);
        entry.dataOffset = position + kLocalSize + nameLength + get16(b, position + 28);
        if (entry.dataOffset > b.size())
            break;
        entry.storedName = b.sliced(position + kLocalSize, nameLength).toByteArray();
        qint64 next = entry.dataOffset + entry.compressedSize;
        if (entry.hasDescriptor() && !findDataEnd(entry, next))
            break;
        m_entries.append(entry);
        position = next;
    }
    m_badEntries = true;
}

// An entry whose sizes and CRC follow its data in a descriptor: a deflated entry ends where
// its stream ends; any other ends at the first descriptor whose compressed size fits.
bool TKAZip::findDataEnd(ZipEntry &entry, qint64 &next) const {
    const QByteArrayView b = m_bytes;
    const QByteArrayView rest = b.sliced(entry.dataOffset);
    if (entry.method == 8) {
        qint64 consumed = 0, produced = 0;
        if (!MeasureDeflateStream(rest, m_limits.maxEntrySize, consumed, produced))
            return false;
        qint64 at = entry.dataOffset + consumed;
        if (at + 4 <= b.size() && get32(b, at) == kDescriptorSignature)
            at += 4;
        if (at + 12 > b.size())
            return false;
        entry.crc = get32(b, at);
        entry.compressedSize = quint32(consumed);
        entry.size = quint32(produced);
        next = at + 12;
        return true;
    }
    static const char signature[] = {'P', 'K', 7, 8};
    for (qint64 at = rest.indexOf(QByteArrayView(signature, 4)); at >= 0;
         at = rest.indexOf(QByteArrayView(signature, 4), at + 1)) {
        const qint64 descriptor = entry.dataOffset + at;
        if (descriptor + 16 > b.size())
            return false;
        if (get32(b, descriptor + 8) == quint64(at)) {
            entry.crc = get32(b, descriptor + 4);
            entry.compressedSize = quint32(at);
            entry.size = get32(b, descriptor + 12);
            next = descriptor + 16;
            return true;
        }
    }
    return false;
}

ZipEntryStatus TKAZip::read(const ZipEntry &entry, QByteArray &out) const {
    out.clear();
    if (entry.encrypted() || (entry.method != 0 && entry.method != 8))
        return ZipEntryStatus::Unsupported;
    if (entry.dataOffset < 0 || entry.dataOffset + qint64(entry.compressedSize) > m_bytes.size())
        return ZipEntryStatus::NoData;
    if (entry.size > m_limits.maxEntrySize)
        return ZipEntryStatus::Absurd;
    const QByteArrayView data = m_bytes.sliced(entry.dataOffset, entry.compressedSize);
    if (entry.method == 0) {
        if (entry.size != entry.compressedSize)
            return ZipEntryStatus::Absurd;
        out = data.toByteArray();
    } else {
        if (qint64(entry.size) > qint64(entry.compressedSize) * kMaxDeflateRatio + kRatioSlack)
            return ZipEntryStatus::Absurd;
        switch (RawInflate(data, entry.size, out)) {
        case InflateResult::Exact:
            break;
        case InflateResult::TooLarge:
            return ZipEntryStatus::TooLarge;
        case InflateResult::Short:
            return ZipEntryStatus::Damaged;
        }
    }
    if (Crc32Of(out) != entry.crc) {
        out.clear();
        return ZipEntryStatus::BadCrc;
    }
    return ZipEntryStatus::Ok;
}
