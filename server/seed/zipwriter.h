#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// Writes a ZIP archive in memory: every entry deflated (raw deflate), with its CRC, sizes
// and DOS time in the local header and the central directory.
class ZipWriter {
public:
    explicit ZipWriter(const QDateTime &modified) : m_modified(modified) {}
    void add(const QString &name, const QByteArray &data);
    QByteArray finish();

private:
    struct Entry {
        QByteArray name;
        quint32 crc, compressedSize, size, offset;
    };
    QDateTime m_modified;
    QByteArray m_out;
    QList<Entry> m_entries;
};
