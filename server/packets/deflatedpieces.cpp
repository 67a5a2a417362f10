#include "server/packets/deflatedpieces.h"

#include "errors/apperror.h"

#include <zlib.h>

namespace {

// Ends and frees the compressor whatever happens.
struct Compressor {
    z_stream z{};
    Compressor() {
        if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw AppError(QStringLiteral("cannot start the compressor"));
    }
    ~Compressor() { deflateEnd(&z); }
};

} // namespace

DeflatedPieces::DeflatedPieces(QByteArrayView text, const std::vector<qsizetype> &ends) {
    Compressor c;
    m_bytes.reserve(text.size() / 4 + 1024);
    qsizetype from = 0;
    for (const qsizetype end : ends) {
        const QByteArrayView piece = text.sliced(from, end - from);
        m_adlers.push_back(
            adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef *>(piece.data()),
                    uInt(piece.size())));
        c.z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
        c.z.avail_in = uInt(piece.size());
        // A full flush ends the piece on a byte boundary and lets nothing after it refer back.
        do {
            const qsizetype used = m_bytes.size();
            m_bytes.resize(used + qMax<qsizetype>(4096, piece.size() / 2));
            c.z.next_out = reinterpret_cast<Bytef *>(m_bytes.data() + used);
            c.z.avail_out = uInt(m_bytes.size() - used);
            if (deflate(&c.z, Z_FULL_FLUSH) == Z_STREAM_ERROR)
                throw AppError(QStringLiteral("the compressor failed"));
            m_bytes.truncate(m_bytes.size() - c.z.avail_out);
        } while (c.z.avail_in > 0 || c.z.avail_out == 0);
        m_ends.push_back(m_bytes.size());
        from = end;
    }
    m_bytes.squeeze();
}

QByteArrayView DeflatedPieces::deflated(int piece) const {
    const qsizetype from = piece == 0 ? 0 : m_ends[size_t(piece - 1)];
    return QByteArrayView(m_bytes).sliced(from, m_ends[size_t(piece)] - from);
}
