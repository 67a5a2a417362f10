#pragma once

#include <QByteArrayView>
#include <QString>

class QTextDocument;

// How reading rich text ended.
enum class RtfStatus {
    Ok,
    NotRichText, // the data does not begin with "{\rtf"
    Truncated,   // the data ends inside a group or an escape: the text so far is kept
    TooDeep,     // groups nested deeper than MaxDepth: the text before that point is kept
    TooLarge,    // larger than MaxInputSize: nothing is read
};

struct RtfReadResult {
    RtfStatus status = RtfStatus::Ok;
    qsizetype offset = 0; // the byte at which reading stopped
    bool ok() const { return status == RtfStatus::Ok; }
    // A technical description for the log.
    QString describe() const;
};

// Reads rich text into a text document: the code page of the header (\ansicpgN, \mac, \pc) and
// of the fonts (\fcharsetN, \cpgN) for 8-bit text and \'hh escapes, \uN with its fallback
// characters, font and colour tables, paragraphs with their alignment, bold, italic,
// underline, strike-through, sub- and superscript, font, size, text and background colour.
// Pictures, document information, style sheets, fields' instructions and every group marked
// \* are skipped, and so are control words it does not know. Bad input never fails harder
// than a status: memory stays proportional to the input, which is limited in size.
class RtfReader {
public:
    static constexpr qsizetype MaxInputSize = 8 * 1024 * 1024;
    static constexpr int MaxDepth = 128;

    // Replaces the document's content with the rich text.
    static RtfReadResult read(QByteArrayView rtf, QTextDocument &document);
    // Whether the data begins like rich text (leading blanks allowed).
    static bool isRichText(QByteArrayView data);
};
