#pragma once

#include <QByteArray>
#include <QByteArrayView>

// One piece of rich text as the tokenizer cuts it.
struct RtfToken {
    enum Kind {
        End,       // the input is used up
        Truncated, // the input ends inside a control word or escape
        GroupOpen,
        GroupClose,
        ControlWord,   // word (letters) with an optional parameter
        ControlSymbol, // a backslash and one other character, kept in symbol
        HexByte,       // \'hh: the byte in byte
        Text,          // a run of plain bytes in text
    };
    Kind kind = End;
    QByteArrayView word;
    bool hasParam = false;
    int param = 0; // clamped to the int range
    char symbol = 0;
    uchar byte = 0;
    QByteArrayView text;
};

// Cuts rich text into groups, control words and symbols, hex escapes and text runs. It never
// reads past the input: a truncated escape ends as a Truncated token, overlong words and
// numbers are cut or clamped, and line breaks between tokens are dropped as the format says.
class RtfTokenizer {
public:
    // Longest control word the format allows; longer ones are read whole and never match.
    static constexpr qsizetype MaxWordLength = 32;

    explicit RtfTokenizer(QByteArrayView input) : m_input(input) {}

    RtfToken next();
    // Skips the raw bytes of a \bin word (as many as there are, at most count).
    void skipBinary(qint64 count);
    qsizetype offset() const { return m_pos; }

private:
    RtfToken controlWord();
    RtfToken controlSymbol(char symbol);
    RtfToken textRun();
    int readParameter(bool &present);

    QByteArrayView m_input;
    qsizetype m_pos = 0;
};
