#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// One entry of a hand-made test archive, with knobs to break it.
struct FixtureEntry {
    QByteArray name;
    QByteArray content;
    quint16 method = 8; // 0 stored, 8 deflated; any other: the content goes in as it is
    quint16 flags = 0;
    quint16 madeBy = 20;
    quint32 externalAttributes = 0;
    std::optional<quint32> declaredSize; // instead of the content's size
    std::optional<quint32> declaredCrc;  // instead of the content's CRC-32
    std::optional<QByteArray> data;      // instead of the stored or deflated content
    bool descriptor = false;             // sizes and CRC in a data descriptor after the data
    bool badLocalSignature = false;
};

// The archive's directory and end record.
struct FixtureLayout {
    bool directory = true;         // without it the archive ends after the last entry's data
    std::optional<int> countInEnd; // instead of the number of entries
    QByteArray comment;
};

// Builds a ZIP archive byte by byte from the entries.
QByteArray BuildZip(const QList<FixtureEntry> &entries, const FixtureLayout &layout = {});
// Raw deflate (no zlib header) at the best compression.
QByteArray RawDeflate(const QByteArray &data);
