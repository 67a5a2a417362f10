#include "wire/compression.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace {

int zlibLevel(int level) {
    if (level < 2)
        return Z_NO_COMPRESSION;
    if (level <= 3)
        return Z_BEST_SPEED;
    if (level == 8 || level == 9)
        return Z_BEST_COMPRESSION;
    return Z_DEFAULT_COMPRESSION;
}

// zlib counts in uInt; larger buffers are fed in pieces of at most this size.
constexpr qsizetype kPiece = qsizetype(1) << 30;

} // namespace

QByteArray CompressText(QByteArrayView text, int level) {
    if (text.isEmpty())
        return {};
    z_stream zs{};
    if (deflateInit(&zs, zlibLevel(level)) != Z_OK)
        return {};
    QByteArray out(qsizetype(deflateBound(&zs, uLong(text.size()))), Qt::Uninitialized);
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    qsizetype inLeft = text.size();
    qsizetype outLeft = out.size();
    int rc = Z_OK;
    while (rc == Z_OK) {
        const qsizetype inPiece = std::min(inLeft, kPiece);
        const qsizetype outPiece = std::min(outLeft, kPiece);
        zs.avail_in = uInt(inPiece);
        zs.avail_out = uInt(outPiece);
        rc = deflate(&zs, inLeft == inPiece ? Z_FINISH : Z_NO_FLUSH);
        inLeft -= inPiece - zs.avail_in;
        outLeft -= outPiece - zs.avail_out;
    }
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return {};
    out.truncate(out.size() - outLeft);
    return out;
}

std::optional<QByteArray> InflateStream(QByteArrayView stream, qsizetype maxSize) {
    if (stream.isEmpty())
        return std::nullopt;
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return std::nullopt;
    // Grow the output as needed instead of trusting the input's ratio.
    QByteArray out;
    qsizetype produced = 0;
    qsizetype inLeft = stream.size();
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(stream.data()));
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (produced == out.size()) {
            if (produced >= maxSize + 1)
                break; // more than the bound: give up
            const qsizetype grown = std::max<qsizetype>(
                produced * 2, std::max<qsizetype>(stream.size() * 4, 64 * 1024));
            out.resize(std::min(grown, maxSize + 1)); // one byte more detects the overflow
        }
        const qsizetype inPiece = std::min(inLeft, kPiece);
        const qsizetype outPiece = std::min(out.size() - produced, kPiece);
        zs.avail_in = uInt(inPiece);
        zs.next_out = reinterpret_cast<Bytef *>(out.data() + produced);
        zs.avail_out = uInt(outPiece);
        rc = inflate(&zs, Z_NO_FLUSH);
        inLeft -= inPiece - zs.avail_in;
        produced += outPiece - zs.avail_out;
        if (rc == Z_BUF_ERROR && zs.avail_out > 0 && inLeft == 0)
            break; // the input ended before the stream did
        if (rc == Z_BUF_ERROR)
            rc = Z_OK; // output space ran out; grow and go on
    }
    inflateEnd(&zs);
    if (rc != Z_STREAM_END || produced > maxSize)
        return std::nullopt;
    out.truncate(produced);
    return out;
}

QByteArray DecompressText(QByteArrayView stream) {
    return InflateStream(stream, kMaxInflatedSize).value_or(QByteArray());
}
