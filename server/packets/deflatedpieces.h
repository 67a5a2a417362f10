#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <vector>

// A text deflated once in consecutive pieces, each a raw deflate form that inflates on its
// own and ends on a byte boundary, with its Adler-32: a reply that repeats a run of pieces
// splices their forms into its zlib stream (PacketOutput::appendDeflated) instead of
// deflating the text again.
class DeflatedPieces {
public:
    DeflatedPieces() = default;
    // Piece i is the text from ends[i - 1] (0 for the first) to ends[i]; ends increase.
    DeflatedPieces(QByteArrayView text, const std::vector<qsizetype> &ends);

    int count() const { return int(m_adlers.size()); }
    QByteArrayView deflated(int piece) const;
    unsigned long adler(int piece) const { return m_adlers[size_t(piece)]; }
    qsizetype deflatedSize() const { return m_bytes.size(); }

private:
    QByteArray m_bytes;
    std::vector<qsizetype> m_ends; // of each piece's form in m_bytes
    std::vector<unsigned long> m_adlers;
};
