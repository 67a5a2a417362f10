#pragma once

#include "lesson/books/zipentry.h"

#include <QByteArrayView>
#include <QList>

// Bounds that keep a hostile archive from filling the disk or the memory.
struct ZipLimits {
    qint64 maxEntrySize = qint64(1) << 30; // an entry declaring more is skipped
    qint64 maxTotal = qint64(4) << 30;     // bytes one extraction writes at most
    // Within that, one extraction writes at most this many times the archive's size (deflate
    // gains about a thousandfold at best, book files far less), but never less than the floor.
    qint64 maxRatio = 200;
    qint64 ratioFloor = qint64(64) << 20;
    qsizetype maxEntries = 10000; // entries beyond are not extracted
};

// What reading one entry's content came to.
enum class ZipEntryStatus {
    Ok,
    Unsupported, // encrypted, or a method other than stored (0) and deflated (8)
    NoData,      // the local header is missing or the data runs past the archive's end
    Absurd,      // the declared size is beyond the bounds or beyond what the data can give
    TooLarge,    // the data inflates to more than the declared size
    Damaged,     // the data gives fewer bytes than declared, or is no deflate stream
    BadCrc,      // the content does not match the entry's CRC-32
};

// Reads a ZIP archive held in memory: finds the end-of-central-directory record (searched
// backwards past a comment of up to 64 KiB), reads the central directory and checks each
// entry's local header; without an end record it scans the local headers from the start.
// The archive's bytes must outlive the reader.
class TKAZip {
public:
    explicit TKAZip(QByteArrayView archive, const ZipLimits &limits = {});

    const QList<ZipEntry> &entries() const { return m_entries; }
    // An end record was found and the central directory held the number of entries it names.
    bool valid() const { return m_valid; }
    // Some entry's local header is missing, or the entries were found by scanning.
    bool badEntries() const { return m_badEntries; }

    // The entry's content, inflated to exactly its declared size and checked against its
    // CRC-32; out is left empty unless the status is Ok.
    ZipEntryStatus read(const ZipEntry &entry, QByteArray &out) const;

private:
    qint64 findEndRecord() const;
    bool readCentralDirectory(qint64 endRecord);
    bool readEntryAt(qint64 &position, ZipEntry &entry) const;
    void locateData(ZipEntry &entry);
    void scanLocalHeaders();
    bool findDataEnd(ZipEntry &entry, qint64 &next) const;

    QByteArrayView m_bytes;
    ZipLimits m_limits;
    QList<ZipEntry> m_entries;
    bool m_valid = false;
    bool m_badEntries = false;
};
