#pragma once

#include <QtGlobal>
#include <string_view>

// Packet text forms written straight into an output buffer, byte for byte what the client's
// packet writer makes of the same values (UTF-8 packets). Each writer returns the end of what
// it wrote; the caller provides the room stated.
namespace PacketText {

// Room an escaped text needs per byte of its UTF-8 form.
constexpr qsizetype kEscapedPerByte = 6;
// Room of an integer, a float or a date-time.
constexpr qsizetype kNumberRoom = 32;

// Database text (UTF-8) with the packet escapes. Only well-formed UTF-8 of characters the
// packet carries as they are is written; anything else (malformed bytes, encoded surrogates,
// U+FFFE and U+FFFF) gives nullptr, and the caller takes the text through the database's own
// UTF-16 conversion instead, which decides what such bytes become.
char *WriteEscaped(char *out, std::string_view text);
// Whether the text is such well-formed UTF-8 (the test WriteEscaped makes).
bool IsPlainUtf8(std::string_view text);
// The bytes in base64 with padding; room 4 per 3 bytes, rounded up.
char *WriteBase64(char *out, std::string_view bytes);

char *WriteInteger(char *out, qint64 value);
// The shortest form that reads back exactly.
char *WriteFloat(char *out, double value);
// A stored date-time ("yyyy-MM-ddTHH:mm:ss.zzz", the time and milliseconds optional) in the
// packet's date-time form; nullptr unless the text is a valid date-time in ASCII digits.
char *WriteStoredDateTime(char *out, std::string_view text);

} // namespace PacketText
