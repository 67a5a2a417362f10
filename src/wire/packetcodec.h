#pragma once

#include <QByteArray>
#include <QStringView>

// Attribute text of data packets: entity and character reference decoding, the escapes the
// writer uses, and the two encodings (UTF-8 and Windows-1250).
namespace PacketCodec {

// Decodes an attribute value's raw bytes into UTF-16 at out (room for end - begin units):
// entities and character references are resolved, raw tabs and line breaks become spaces
// as XML requires. Returns the end of the written units, or nullptr when an entity or the
// UTF-8 text is malformed.
char16_t *DecodeAttribute(const char *begin, const char *end, bool utf8, char16_t *out);

// Appends text with the packet escapes ("<", ">", "&", "'", '"', CR, LF, tab, backslash).
// In the single-byte encoding, characters the code page lacks become character references.
// A character that XML cannot carry at all (see UnwritableCharacter) is written as "?" (the
// server's policy for such text in its database).
void AppendEscaped(QByteArray &out, QStringView text, bool utf8);
// The same for text that must arrive exactly: returns false, leaving out as it was, when the
// text holds a character that XML cannot carry.
bool AppendEscapedExactly(QByteArray &out, QStringView text, bool utf8);

// The position of the first character of text that a packet attribute cannot carry: a
// control character other than tab, line feed and carriage return, a lone surrogate, U+FFFE
// or U+FFFF; -1 when there is none.
qsizetype UnwritableCharacter(QStringView text);
// The position of the first character that the encoding cannot hold (a lone surrogate;
// in the single-byte encoding also every character the code page lacks); -1 when none.
qsizetype UnencodableCharacter(QStringView text, bool utf8);

// Plain conversions of whole texts (no escapes).
QByteArray Encode(QStringView text, bool utf8);
QString Decode(QByteArrayView bytes, bool utf8);

} // namespace PacketCodec
