#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a text document as rich text: a header with the code page (\ansi\ansicpgN), font
// and colour tables, one \pard ... \par per paragraph with its alignment, and the text with
// bold, italic, underline, strike-through, sub- and superscript, font, size, text and
// background colour. Characters of the code page are written as \'hh, others as \uN with "?"
// for readers without Unicode; the output is 7-bit text.
class RtfWriter {
public:
    static QByteArray write(const QTextDocument &document, int codePage = 1250);
};
