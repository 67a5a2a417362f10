#include "output/codepage.h"

#include <QStringDecoder>
#include <bitset>

namespace {

// The code page is single-byte: its upper half decoded gives every non-ASCII character it holds.
std::bitset<65536> heldCharacters() {
    std::bitset<65536> held;
    for (int c = 0; c < 0x80; ++c)
        held.set(size_t(c));
    QByteArray upper;
    for (int b = 0x80; b < 0x100; ++b)
        upper.append(char(b));
    const QString decoded = QStringDecoder("windows-1250").decode(upper);
    for (const QChar c : decoded)
        if (c != QChar::ReplacementCharacter)
            held.set(c.unicode());
    return held;
}

} // namespace

bool TCodePage1250::Holds(QChar c) {
    static const std::bitset<65536> held = heldCharacters();
    return held.test(c.unicode());
}

int TCodePage1250::Replace(QString &text) {
    int replaced = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80 || Holds(text[i]))
            continue;
        // A character outside the basic plane is one "?", not two.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            text.remove(i + 1, 1);
        text[i] = u'?';
        ++replaced;
    }
    return replaced;
}
