#include "zipfixture.h"

#include <zlib.h>

namespace {

void put16(QByteArray &out, quint32 value) {
    out.append(char(value & 0xff)).append(char((value >> 8) & 0xff));
}

void put32(QByteArray &out, quint32 value) {
    put16(out, value & 0xffff);
    put16(out, value >> 16);
}

constexpr quint16 kDosTime = (9 << 11) | (30 << 5) | (20 / 2);     // 09:30:20
constexpr quint16 kDosDate = ((2022 - 1980) << 9) | (3 << 5) | 14; // 2022-03-14

struct Written {
    quint32 offset, crc, compressedSize, size;
};

} // namespace

QByteArray RawDeflate(const QByteArray &data) {
    z_stream zs{};
    deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&zs, uLong(data.size()))), Qt::Uninitialized);
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = uInt(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(qsizetype(zs.total_out));
    deflateEnd(&zs);
    return out;
}

QByteArray BuildZip(const QList<FixtureEntry> &entries, const FixtureLayout &layout) {
    QByteArray out;
    QList<Written> written;
    for (const FixtureEntry &e : entries) {
        const QByteArray data = e.data          ? *e.data
                                : e.method == 8 ? RawDeflate(e.content)
                                                : e.content;
        Written w{quint32(out.size()),
                  e.declaredCrc.value_or(
                      quint32(crc32(0, reinterpret_cast<const Bytef *>(e.content.constData()),
                                    uInt(e.content.size())))),
                  quint32(data.size()), e.declaredSize.value_or(quint32(e.content.size()))};
        const quint16 flags = e.flags | (e.descriptor ? 0x0008 : 0);
        put32(out, e.badLocalSignature ? 0x04034b51 : 0x04034b50);
        put16(out, 20);
        put16(out, flags);
        put16(out, e.method);
        put16(out, kDosTime);
        put16(out, kDosDate);
        put32(out, e.descriptor ? 0 : w.crc);
        put32(out, e.descriptor ? 0 : w.compressedSize);
        put32(out, e.descriptor ? 0 : w.size);
        put16(out, quint32(e.name.size()));
        put16(out, 0);
        out += e.name;
        out += data;
        if (e.descriptor) {
            put32(out, 0x08074b50);
            put32(out, w.crc);
            put32(out, w.compressedSize);
            put32(out, w.size);
        }
        written.append(w);
    }
    if (!layout.directory)
        return out;
    const quint32 directoryStart = quint32(out.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const FixtureEntry &e = entries[i];
        const Written &w = written[i];
        put32(out, 0x02014b50);
        put16(out, e.madeBy);
        put16(out, 20);
        put16(out, e.flags | (e.descriptor ? 0x0008 : 0));
        put16(out, e.method);
        put16(out, kDosTime);
        put16(out, kDosDate);
        put32(out, w.crc);
        put32(out, w.compressedSize);
        put32(out, w.size);
        put16(out, quint32(e.name.size()));
        put16(out, 0);
        put16(out, 0);
        put16(out, 0);
        put16(out, 0);
        put32(out, e.externalAttributes);
        put32(out, w.offset);
        out += e.name;
    }
    const quint32 directorySize = quint32(out.size()) - directoryStart;
    const quint32 count = quint32(layout.countInEnd.value_or(int(entries.size())));
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, count);
    put16(out, count);
    put32(out, directorySize);
    put32(out, directoryStart);
    put16(out, quint32(layout.comment.size()));
    out += layout.comment;
    return out;
}
