#pragma once

#include "wire/tablecontent.h"

#include <QByteArray>
#include <QString>

// Longest attribute value a packet may carry; longer values are refused as malformed.
constexpr qsizetype kMaxPacketValueBytes = 16 * 1024 * 1024;

// Reads a data packet into table content. Bytes are decoded as UTF-8 exactly when the
// declaration says encoding="UTF-8", otherwise as Windows-1250. Malformed packets raise
// AppError with a message naming what is wrong; nothing is returned then.
TTableContent ReadDataPacket(QByteArrayView bytes);
// Reads packet text that is already decoded (the declaration's encoding is not used).
TTableContent ReadDataPacketText(const QString &text);
