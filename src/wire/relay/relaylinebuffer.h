#pragma once

#include "relayprotocol.h"

#include <QByteArray>
#include <QByteArrayView>

// Splits the bytes received on one relay connection into lines: a line ends at LF and a CR
// just before the LF is dropped. It never holds more than one unfinished line: a line that
// grows beyond the limit is reported as too long as soon as that is certain, and the rest of it,
// up to its LF, is then skipped.
class RelayLineBuffer {
public:
    enum class Result { Line, NeedMore, TooLong };

    explicit RelayLineBuffer(qsizetype maxLineLength = RelayProtocol::MaxLineLength);

    void append(QByteArrayView bytes);
    // Gives the next complete line, or tells that more bytes are needed or that the pending
    // line is too long.
    Result next(QByteArray &line);
    // Bytes held that belong to no complete line yet.
    qsizetype pending() const { return m_bytes.size() - m_start; }

private:
    Result refuseLine();
    bool skipRefusedLine();
    void compact();

    QByteArray m_bytes;
    qsizetype m_start = 0;
    qsizetype m_scanned = 0;
    qsizetype m_maxLineLength;
    bool m_skipping = false;
};
