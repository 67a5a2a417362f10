#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// Upper bound of what one zlib stream may inflate to. Server payloads, change sets and chat
// histories stay far below it; a stream that would grow beyond it counts as damaged, so that
// a small hostile stream cannot exhaust memory.
inline constexpr qsizetype kMaxInflatedSize = qsizetype(256) * 1024 * 1024;

// The zlib stream (header, deflate data, Adler-32 trailer) of the text. The level is mapped
// to four settings: below 2 no compression (zlib level 0), 2 or 3 the fastest (1), 8 or 9 the
// best (9), any other value zlib's default (6). Empty input gives empty output.
QByteArray CompressText(QByteArrayView text, int level);

// Inflates a whole zlib stream. Empty input, a damaged or truncated stream, or a stream that
// would inflate beyond kMaxInflatedSize give an empty result; nothing is raised.
QByteArray DecompressText(QByteArrayView stream);

// The same with a chosen bound, telling a failure (no value) from an empty result. Bytes
// after the end of the stream are ignored.
std::optional<QByteArray> InflateStream(QByteArrayView stream, qsizetype maxSize);
