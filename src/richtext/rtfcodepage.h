#pragma once

#include <QByteArrayView>
#include <QString>

// Windows code pages of rich text: the code page of a font's character set, and the decoding
// and encoding of 8-bit text in a code page given by its number. A code page that this system
// cannot convert reads as Windows-1252, the format's own default.
class RtfCodePage {
public:
    static constexpr int Default = 1252;

    // The code page of a \fcharset number; 0 when the character set names none.
    static int fromCharset(int charset);
    // The \fcharset number that goes with a code page (0, ANSI, when there is none).
    static int charsetOf(int codePage);
    // Whether text in that code page can be converted here.
    static bool isKnown(int codePage);
    static QString decode(QByteArrayView bytes, int codePage);
    // The single byte of that character in the code page, or -1 when it has none.
    static int encodeChar(char16_t ch, int codePage);
};
