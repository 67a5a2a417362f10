#pragma once

#include "wire/tablecontent.h"

#include <QByteArray>
#include <QString>

// Longest attribute value a packet may carry; longer values are refused as malformed.
constexpr qsizetype kMaxPacketValueBytes = 16 * 1024 * 1024;
// Most fields a packet may define. The school's tables have a few dozen; a packet of more is
// refused before its rows are read.
constexpr int kMaxPacketFields = 4096;
// Most cells (rows times fields) a packet may declare. A table keeps 8 bytes and a null bit
// per cell whatever a row holds, so the count of rows and fields, not the packet's size,
// decides the memory a load takes: 32 Mi cells take about 260 MB. A packet that declares more
// is refused before anything is allocated for its rows.
constexpr qsizetype kMaxPacketCells = qsizetype(32) * 1024 * 1024;

// Reads a data packet into table content. Bytes are decoded as UTF-8 exactly when the
// declaration says encoding="UTF-8", otherwise as Windows-1250. Malformed packets raise
// AppError with a message naming what is wrong; nothing is returned then.
TTableContent ReadDataPacket(QByteArrayView bytes);
// Reads packet text that is already decoded (the declaration's encoding is not used).
TTableContent ReadDataPacketText(const QString &text);
