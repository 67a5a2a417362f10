#include "relaylinebuffer.h"

RelayLineBuffer::RelayLineBuffer(qsizetype maxLineLength) : m_maxLineLength(maxLineLength) {}

void RelayLineBuffer::append(QByteArrayView bytes) {
    m_bytes.append(bytes);
}

RelayLineBuffer::Result RelayLineBuffer::next(QByteArray &line) {
    if (m_skipping && !skipRefusedLine())
        return Result::NeedMore;
    const qsizetype lf = m_bytes.indexOf('\n', m_scanned);
    if (lf < 0) {
        m_scanned = m_bytes.size();
        // Without its LF a pending line may still end in the CR of its CR LF.
        const qsizetype waiting = pending();
        if (waiting > m_maxLineLength + 1 ||
            (waiting == m_maxLineLength + 1 && m_bytes.back() != '\r'))
            return refuseLine();
        compact();
        return Result::NeedMore;
    }
    qsizetype end = lf;
    if (end > m_start && m_bytes.at(end - 1) == '\r')
        --end;
    if (end - m_start > m_maxLineLength) {
        m_start = m_scanned = lf + 1;
        return Result::TooLong;
    }
    line = m_bytes.sliced(m_start, end - m_start);
    m_start = m_scanned = lf + 1;
    return Result::Line;
}

RelayLineBuffer::Result RelayLineBuffer::refuseLine() {
    m_bytes.clear();
    m_start = m_scanned = 0;
    m_skipping = true;
    return Result::TooLong;
}

// Drops bytes of a refused line up to and including its LF; false while the LF is missing.
bool RelayLineBuffer::skipRefusedLine() {
    const qsizetype lf = m_bytes.indexOf('\n', m_start);
    if (lf < 0) {
        m_bytes.clear();
        m_start = m_scanned = 0;
        return false;
    }
    m_start = m_scanned = lf + 1;
    m_skipping = false;
    return true;
}

void RelayLineBuffer::compact() {
    if (m_start == 0)
        return;
    m_bytes.remove(0, m_start);
    m_scanned -= m_start;
    m_start = 0;
}
