#include "server/packetoutput.h"

#include "lang/apperror.h"

#include <zlib.h>

namespace {

// Text is deflated in pieces of this size: large enough that the compressor's calls cost
// nothing, small enough to stay in the processor's cache between writing and deflating.
constexpr qsizetype kPiece = 64 * 1024;
// The compressor is always given at least this much room for its output.
constexpr qsizetype kMinOutput = 16 * 1024;

} // namespace

PacketOutput::PacketOutput(Mode mode, QByteArrayView prefix) : m_mode(mode) {
    m_result.reserve(prefix.size() + kPiece);
    m_result.append(prefix);
    if (mode == Plain) {
        const qsizetype used = m_result.size();
        m_result.resize(used + kPiece);
        m_begin = m_result.data();
        m_pos = m_begin + used;
        m_end = m_begin + m_result.size();
        return;
    }
    m_zip = std::make_unique<z_stream_s>();
    // zlib's fastest level: about three times faster than its default for a reply a little
    // larger; the client inflates any level.
    if (deflateInit(m_zip.get(), Z_BEST_SPEED) != Z_OK)
        throw AppError(QStringLiteral("cannot start the compressor"));
    m_piece.resize(kPiece);
    m_begin = m_pos = m_piece.data();
    m_end = m_begin + m_piece.size();
}

PacketOutput::~PacketOutput() {
    if (m_zip)
        deflateEnd(m_zip.get());
}

void PacketOutput::append(QByteArrayView bytes) {
    if (bytes.isEmpty())
        return; // an empty view may point nowhere
    char *p = room(bytes.size());
    memcpy(p, bytes.data(), size_t(bytes.size()));
    advance(p + bytes.size());
}

void PacketOutput::makeRoom(qsizetype bytes) {
    if (m_mode == Plain) {
        const qsizetype used = m_pos - m_begin;
        m_result.resize(qMax(m_result.size() * 2, used + bytes));
        m_begin = m_result.data();
        m_pos = m_begin + used;
        m_end = m_begin + m_result.size();
        return;
    }
    deflatePending(Z_NO_FLUSH);
    if (m_piece.size() < bytes)
        m_piece.resize(bytes);
    m_begin = m_pos = m_piece.data();
    m_end = m_begin + m_piece.size();
}

void PacketOutput::deflatePending(int flush) {
    z_stream_s &z = *m_zip;
    z.next_in = reinterpret_cast<Bytef *>(m_begin);
    z.avail_in = uInt(m_pos - m_begin);
    int rc = Z_OK;
    do {
        qsizetype used = m_result.size();
        if (m_result.capacity() - used < kMinOutput)
            m_result.reserve(qMax(m_result.capacity() * 2, used + kPiece));
        m_result.resize(m_result.capacity());
        z.next_out = reinterpret_cast<Bytef *>(m_result.data() + used);
        z.avail_out = uInt(m_result.size() - used);
        rc = deflate(&z, flush);
        used = m_result.size() - z.avail_out;
        m_result.truncate(used);
        if (rc == Z_STREAM_ERROR)
            throw AppError(QStringLiteral("the compressor failed"));
    } while (z.avail_in > 0 || z.avail_out == 0 || (flush == Z_FINISH && rc != Z_STREAM_END));
    m_pos = m_begin;
}

QByteArray PacketOutput::finish() {
    if (m_mode == Plain) {
        m_result.truncate(m_pos - m_begin);
    } else {
        deflatePending(Z_FINISH);
        m_piece.clear();
    }
    m_begin = m_pos = m_end = nullptr;
    return std::move(m_result);
}
