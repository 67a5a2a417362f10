#include "server/packets/packettext.h"

#include <QDate>
#include <QTime>
#include <array>
#include <charconv>
#include <cstring>

namespace PacketText {

namespace {

// What an ASCII character becomes in a packet attribute: itself (size 0) or its escape.
struct Escape {
    char text[7] = {};
    quint8 size = 0;
};

constexpr std::array<Escape, 128> MakeEscapes() {
    std::array<Escape, 128> table{};
    auto set = [&table](unsigned char c, const char *text) {
        Escape &e = table[c];
        e = Escape{};
        while (text[e.size]) {
            e.text[e.size] = text[e.size];
            ++e.size;
        }
    };
    // Control characters other than the three line characters cannot travel in XML.
    for (unsigned char c = 0; c < 0x20; ++c)
        set(c, "?");
    set('\t', "&#009;");
    set('\n', "&#010;");
    set('\r', "&#013;");
    set('"', "&quot;");
    set('&', "&amp;");
    set('\'', "&apos;");
    set('<', "&lt;");
    set('>', "&gt;");
    set('\\', "&#092;");
    return table;
}

constexpr std::array<Escape, 128> kEscapes = MakeEscapes();

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character at s that the packet carries as it is, or 0.
int PlainCharacterLength(const unsigned char *s, const unsigned char *end) {
    const unsigned char c = s[0];
    const qsizetype left = end - s;
    if (c >= 0xC2 && c <= 0xDF)
        return left >= 2 && IsContinuation(s[1]) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (left < 3 || !IsContinuation(s[1]) || !IsContinuation(s[2]))
            return 0;
        if ((c == 0xE0 && s[1] < 0xA0) || (c == 0xED && s[1] > 0x9F))
            return 0; // too long a form, or a surrogate
        if (c == 0xEF && s[1] == 0xBF && s[2] >= 0xBE)
            return 0; // U+FFFE and U+FFFF
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (left < 4 || !IsContinuation(s[1]) || !IsContinuation(s[2]) || !IsContinuation(s[3]))
            return 0;
        if ((c == 0xF0 && s[1] < 0x90) || (c == 0xF4 && s[1] > 0x8F))
            return 0; // too long a form, or beyond U+10FFFF
        return 4;
    }
    return 0;
}

char *TwoDigits(char *out, int n) {
    out[0] = char('0' + n / 10);
    out[1] = char('0' + n % 10);
    return out + 2;
}

bool Digits(std::string_view text, size_t at, int count, int &value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

char *WriteEscaped(char *out, std::string_view text) {
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = s + text.size();
    while (s < end) {
        const unsigned char c = *s;
        if (c < 0x80) {
            const Escape &e = kEscapes[c];
            if (e.size == 0) {
                *out++ = char(c);
            } else {
                memcpy(out, e.text, 6); // the room holds six bytes for every byte
                out += e.size;
            }
            ++s;
            continue;
        }
        const int length = PlainCharacterLength(s, end);
        if (length == 0)
            return nullptr;
        memcpy(out, s, size_t(length));
        out += length;
        s += length;
    }
    return out;
}

bool IsPlainUtf8(std::string_view text) {
    const auto *s = reinterpret_cast<const unsigned char *>(text.data());
    const auto *end = s + text.size();
    while (s < end) {
        if (*s < 0x80) {
            ++s;
            continue;
        }
        const int length = PlainCharacterLength(s, end);
        if (length == 0)
            return false;
        s += length;
    }
    return true;
}

char *WriteBase64(char *out, std::string_view bytes) {
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    size_t n = bytes.size();
    for (; n >= 3; n -= 3, s += 3) {
        const unsigned v = unsigned(s[0]) << 16 | unsigned(s[1]) << 8 | s[2];
        *out++ = kAlphabet[v >> 18];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = kAlphabet[(v >> 6) & 63];
        *out++ = kAlphabet[v & 63];
    }
    if (n > 0) {
        const unsigned v = unsigned(s[0]) << 16 | (n > 1 ? unsigned(s[1]) << 8 : 0);
        *out++ = kAlphabet[v >> 18];
        *out++ = kAlphabet[(v >> 12) & 63];
        *out++ = n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        *out++ = '=';
    }
    return out;
}

char *WriteInteger(char *out, qint64 value) {
    return std::to_chars(out, out + kNumberRoom, value).ptr;
}

char *WriteFloat(char *out, double value) {
    return std::to_chars(out, out + kNumberRoom, value).ptr;
}

char *WriteStoredDateTime(char *out, std::string_view text) {
    if (text.size() < 10)
        return nullptr;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return nullptr; // positions would count differently than in characters
    }
    int year, month, day, hour = 0, minute = 0, second = 0, ms = 0;
    if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day))
        return nullptr;
    if (text.size() >= 19) {
        if (!Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) ||
            !Digits(text, 17, 2, second))
            return nullptr;
        if (text.size() >= 23 && text[19] == '.' && !Digits(text, 20, 3, ms))
            return nullptr;
    }
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second, ms))
        return nullptr;
    out = TwoDigits(TwoDigits(out, year / 100), year % 100);
    out = TwoDigits(TwoDigits(out, month), day);
    if (hour == 0 && minute == 0 && second == 0 && ms == 0)
        return out;
    *out++ = 'T';
    out = TwoDigits(out, hour);
    *out++ = ':';
    out = TwoDigits(out, minute);
    *out++ = ':';
    const int milliseconds = second * 1000 + ms;
    *out++ = char('0' + milliseconds / 10000);
    *out++ = char('0' + milliseconds / 1000 % 10);
    *out++ = char('0' + milliseconds / 100 % 10);
    return TwoDigits(out, milliseconds % 100);
}

} // namespace PacketText
