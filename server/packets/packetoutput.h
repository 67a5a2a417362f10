#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <memory>

struct z_stream_s;

// Where reply text is written: a buffer that writers fill through a pointer, kept as plain
// text or deflated into a zlib stream piece by piece as it fills, so that a zipped reply
// never holds its whole text at once. Text deflated earlier (see DeflatedPieces) can be
// spliced into the stream without deflating it again.
class PacketOutput {
public:
    enum Mode { Plain, Zipped };

    // Prefix goes in front of the result as it is (not compressed), e.g. the reply's "okzip".
    explicit PacketOutput(Mode mode, QByteArrayView prefix = {});
    ~PacketOutput();
    PacketOutput(const PacketOutput &) = delete;
    PacketOutput &operator=(const PacketOutput &) = delete;

    // Room for at least bytes more; write into it and hand the end to advance().
    char *room(qsizetype bytes) {
        if (m_end - m_pos < bytes)
            makeRoom(bytes);
        return m_pos;
    }
    void advance(char *end) { m_pos = end; }
    void append(QByteArrayView bytes);
    // Text whose raw deflate form (independent of anything before it, ending byte-aligned)
    // and Adler-32 are already known: plain output takes the text, zipped output the form.
    void appendDeflated(QByteArrayView text, QByteArrayView deflated, unsigned long adler);
    // Plain output: the text written so far.
    qsizetype size() const { return m_pos - m_begin; }

    // The prefix and the text, or the prefix and the finished zlib stream. Raises AppError
    // when the compressor fails.
    QByteArray finish();

private:
    void makeRoom(qsizetype bytes);
    void deflatePending(int flush);
    void appendAdler();

    Mode m_mode;
    QByteArray m_result; // plain: the text itself; zipped: the prefix and the stream so far
    QByteArray m_piece;  // zipped: text waiting for the compressor
    char *m_begin = nullptr;
    char *m_pos = nullptr;
    char *m_end = nullptr;
    std::unique_ptr<z_stream_s> m_zip;
    unsigned long m_adler = 1;        // of all text of the zlib stream so far
    bool m_history = false;           // text went to the compressor since its last reset
};
