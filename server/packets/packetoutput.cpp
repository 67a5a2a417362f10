#include "server/packets/packetoutput.h"

#include "errors/apperror.h"

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
    // larger; the client inflates any level. The compressor makes a raw deflate stream and
    // the zlib header and checksum are written here, so that deflated pieces can be spliced
    // in between.
    if (deflateInit2(m_zip.get(), Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        throw AppError(QStringLiteral("cannot start the compressor"));
    m_result.append("\x78\x01", 2); // deflate, 32 KB window, fastest level
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

void PacketOutput::appendDeflated(QByteArrayView text, QByteArrayView deflated,
                                  unsigned long adler) {
    if (m_mode == Plain) {
        append(text);
        return;
    }
    // The compressor's output so far is ended on a byte boundary, and it starts again without
    // history, as its distances would otherwise reach back across the spliced piece.
    if (m_pos != m_begin || m_history) {
        deflatePending(Z_SYNC_FLUSH);
        if (deflateReset(m_zip.get()) != Z_OK)
            throw AppError(QStringLiteral("the compressor failed"));
        m_history = false;
    }
    m_result.append(deflated);
    m_adler = adler32_combine(m_adler, adler, z_off_t(text.size()));
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
    if (z.avail_in > 0) {
        m_adler = adler32(m_adler, z.next_in, z.avail_in);
        m_history = true;
    }
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
        appendAdler();
        m_piece.clear();
    }
    m_begin = m_pos = m_end = nullptr;
    return std::move(m_result);
}

void PacketOutput::appendAdler() {
    const char bytes[4] = {char(m_adler >> 24), char(m_adler >> 16), char(m_adler >> 8),
                           char(m_adler)};
    m_result.append(bytes, 4);
}
