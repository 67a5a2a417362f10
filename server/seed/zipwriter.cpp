#include "server/seed/zipwriter.h"

#include "errors/apperror.h"

#include <zlib.h>

namespace {

void Put16(QByteArray &out, quint32 v) {
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}

void Put32(QByteArray &out, quint32 v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

QByteArray RawDeflate(const QByteArray &data) {
    z_stream zs{};
    if (deflateInit2(&zs, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw AppError(QStringLiteral("deflate unavailable"));
    QByteArray out(static_cast<qsizetype>(deflateBound(&zs, static_cast<uLong>(data.size()))),
                   Qt::Uninitialized);
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(static_cast<qsizetype>(zs.total_out));
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        throw AppError(QStringLiteral("deflate failed"));
    return out;
}

quint32 DosTime(const QDateTime &t) {
    const QTime time = t.time();
    return (time.hour() << 11) | (time.minute() << 5) | (time.second() / 2);
}

quint32 DosDate(const QDateTime &t) {
    const QDate date = t.date();
    return ((qMax(date.year(), 1980) - 1980) << 9) | (date.month() << 5) | date.day();
}

} // namespace

void ZipWriter::add(const QString &name, const QByteArray &data) {
    const QByteArray compressed = RawDeflate(data);
    Entry e{name.toUtf8(),
            static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef *>(data.constData()),
                                       static_cast<uInt>(data.size()))),
            static_cast<quint32>(compressed.size()), static_cast<quint32>(data.size()),
            static_cast<quint32>(m_out.size())};
    Put32(m_out, 0x04034b50);
    Put16(m_out, 20);     // version needed
    Put16(m_out, 0x0800); // UTF-8 names
    Put16(m_out, 8);      // deflated
    Put16(m_out, DosTime(m_modified));
    Put16(m_out, DosDate(m_modified));
    Put32(m_out, e.crc);
    Put32(m_out, e.compressedSize);
    Put32(m_out, e.size);
    Put16(m_out, static_cast<quint32>(e.name.size()));
    Put16(m_out, 0);
    m_out += e.name;
    m_out += compressed;
    m_entries << e;
}

QByteArray ZipWriter::finish() {
    const quint32 directoryStart = static_cast<quint32>(m_out.size());
    for (const Entry &e : m_entries) {
        Put32(m_out, 0x02014b50);
        Put16(m_out, 20);
        Put16(m_out, 20);
        Put16(m_out, 0x0800);
        Put16(m_out, 8);
        Put16(m_out, DosTime(m_modified));
        Put16(m_out, DosDate(m_modified));
        Put32(m_out, e.crc);
        Put32(m_out, e.compressedSize);
        Put32(m_out, e.size);
        Put16(m_out, static_cast<quint32>(e.name.size()));
        Put16(m_out, 0); // extra
        Put16(m_out, 0); // comment
        Put16(m_out, 0); // disk
        Put16(m_out, 0); // internal attributes
        Put32(m_out, 0); // external attributes
        Put32(m_out, e.offset);
        m_out += e.name;
    }
    const quint32 directorySize = static_cast<quint32>(m_out.size()) - directoryStart;
    Put32(m_out, 0x06054b50);
    Put16(m_out, 0);
    Put16(m_out, 0);
    Put16(m_out, static_cast<quint32>(m_entries.size()));
    Put16(m_out, static_cast<quint32>(m_entries.size()));
    Put32(m_out, directorySize);
    Put32(m_out, directoryStart);
    Put16(m_out, 0);
    return m_out;
}
