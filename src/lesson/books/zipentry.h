#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One entry of a ZIP archive as its directory (or, without one, its local header) describes it.
struct ZipEntry {
    QByteArray storedName; // the name's bytes as the archive holds them
    quint16 madeBy = 0;    // "version made by": the high byte names the system that made it
    quint16 flags = 0;     // general-purpose flags
    quint16 method = 0;    // 0 stored, 8 deflated
    quint16 dosTime = 0;
    quint16 dosDate = 0;
    quint32 crc = 0;
    quint32 compressedSize = 0;
    quint32 size = 0;
    quint32 externalAttributes = 0;
    quint32 localOffset = 0; // where the entry's local header begins
    qint64 dataOffset = -1;  // where its data begins; -1 when the local header is missing

    bool encrypted() const { return flags & 0x0001; }
    bool hasDescriptor() const { return flags & 0x0008; }
    // A folder by its attributes (bit 4) or by a name ending in "/".
    bool folder() const;
    // An entry made on a Unix system with the symbolic-link file type.
    bool symbolicLink() const;
    // Read-only by the DOS attributes (bit 0).
    bool readOnly() const { return externalAttributes & 0x01; }
    // The stored name as text: UTF-8 when flag bit 11 says so or the bytes are valid UTF-8,
    // otherwise the 8-bit code page.
    QString name() const;
    // The DOS date and time as local time; invalid when the fields make no date.
    QDateTime modified() const;
};
