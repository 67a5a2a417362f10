#pragma once

#include <QByteArray>
#include <QByteArrayView>

// What raw inflation of one entry's data came to.
enum class InflateResult { Exact, TooLarge, Short };

// Inflates raw deflate data (no zlib header) into out, which receives exactly expectedSize
// bytes when the result is Exact. Inflation stops at expectedSize: data that would give more
// is TooLarge, data that ends early or is no deflate stream is Short.
InflateResult RawInflate(QByteArrayView data, qint64 expectedSize, QByteArray &out);

// Runs raw inflation over data only to learn where its deflate stream ends (for entries whose
// sizes follow the data); inflation stops after maxOutput bytes. The number of compressed
// bytes and of bytes they gave, or false when the stream does not end within the data.
bool MeasureDeflateStream(QByteArrayView data, qint64 maxOutput, qint64 &consumed,
                          qint64 &produced);

// The CRC-32 of the bytes (zlib's crc32).
quint32 Crc32Of(QByteArrayView data);
