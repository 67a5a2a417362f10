#include "wire/packetcodec.h"

#include "lang/textutil.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace PacketCodec {
namespace {

// Windows-1250 byte -> UTF-16 unit.
const std::array<char16_t, 256> &win1250ToUnicode() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QByteArray all(256, 0);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = FromWin1250(all);
        for (int i = 0; i < 256; ++i)
            t[i] = i < text.size() ? text[i].unicode() : u'?';
        return t;
    }();
    return table;
}

// UTF-16 unit -> Windows-1250 byte; 0 marks a unit the code page lacks (except U+0000).
const std::array<quint8, 65536> &unicodeToWin1250() {
    static const std::unique_ptr<std::array<quint8, 65536>> table = [] {
        auto t = std::make_unique<std::array<quint8, 65536>>();
        t->fill(0);
        const auto &forward = win1250ToUnicode();
        for (int i = 255; i > 0; --i)
            if (forward[i] != 0xFFFD)
                (*t)[forward[i]] = quint8(i);
        return t;
    }();
    return *table;
}

char16_t *putCodePoint(char16_t *out, char32_t cp) {
    if (cp < 0x10000) {
        *out++ = char16_t(cp);
    } else {
        cp -= 0x10000;
        *out++ = char16_t(0xD800 + (cp >> 10));
        *out++ = char16_t(0xDC00 + (cp & 0x3FF));
    }
    return out;
}

bool validCodePoint(char32_t cp) {
    return (cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp < 0xD800) ||
            (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF));
}

// Resolves the entity that starts at p ("&..."); returns the byte after ";" or nullptr.
const char *entity(const char *p, const char *end, char16_t *&out) {
    const char *semi = static_cast<const char *>(std::memchr(p, ';', size_t(end - p)));
    if (!semi || semi - p > 12)
        return nullptr;
    const std::string_view name(p + 1, size_t(semi - p - 1));
    if (name == "lt")
        *out++ = u'<';
    else if (name == "gt")
        *out++ = u'>';
    else if (name == "amp")
        *out++ = u'&';
    else if (name == "apos")
        *out++ = u'\'';
    else if (name == "quot")
        *out++ = u'"';
    else if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty())
            return nullptr;
        char32_t cp = 0;
        for (char c : digits) {
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                return nullptr;
            cp = cp * (hex ? 16 : 10) + char32_t(d);
            if (cp > 0x10FFFF)
                return nullptr;
        }
        if (!validCodePoint(cp))
            return nullptr;
        out = putCodePoint(out, cp);
    } else {
        return nullptr;
    }
    return semi + 1;
}

// Decodes one UTF-8 sequence starting at p; returns the next byte or nullptr.
const char *utf8Sequence(const char *p, const char *end, char16_t *&out) {
    const auto b0 = quint8(*p);
    int extra;
    char32_t cp;
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        extra = 3;
        cp = b0 & 0x07;
    } else if (b0 >= 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xC2 && b0 < 0xE0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else {
        return nullptr;
    }
    if (end - p <= extra)
        return nullptr;
    for (int i = 1; i <= extra; ++i) {
        const auto b = quint8(p[i]);
        if ((b & 0xC0) != 0x80)
            return nullptr;
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
        return nullptr;
    out = putCodePoint(out, cp);
    return p + extra + 1;
}

} // namespace

char16_t *DecodeAttribute(const char *p, const char *end, bool utf8, char16_t *out) {
    const auto &cp1250 = win1250ToUnicode();
    while (p < end) {
        const auto c = quint8(*p);
        if (c == '&') {
            p = entity(p, end, out);
            if (!p)
                return nullptr;
        } else if (c < 0x80) {
            // Raw line breaks and tabs read as blanks; CR LF counts as one line break.
            if (c == '\r' && p + 1 < end && p[1] == '\n')
                ++p;
            *out++ = (c == '\t' || c == '\n' || c == '\r') ? u' ' : char16_t(c);
            ++p;
        } else if (utf8) {
            p = utf8Sequence(p, end, out);
            if (!p)
                return nullptr;
        } else {
            *out++ = cp1250[c];
            ++p;
        }
    }
    return out;
}

qsizetype UnwritableCharacter(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return i;
        if (c >= 0xFFFE)
            return i;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (QChar::isSurrogate(c))
            return i;
    }
    return -1;
}

qsizetype UnencodableCharacter(QStringView text, bool utf8) {
    const auto &to1250 = unicodeToWin1250();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            if (!utf8)
                return i;
            ++i;
        } else if (QChar::isSurrogate(c) || (!utf8 && c >= 0x80 && to1250[c] == 0)) {
            return i;
        }
    }
    return -1;
}

namespace {

bool appendEscaped(QByteArray &out, QStringView text, bool utf8, bool exactly) {
    // "" marks a character that no packet can carry.
    static const char *const kEscapes[128] = {
        "",       "",       "",       "",       "",       "",      "",      "",       "",
        "&#009;", "&#010;", "",       "",       "&#013;", "",      "",      "",       "",
        "",       "",       "",       "",       "",       "",      "",      "",       "",
        "",       "",       "",       "",       "",       nullptr, nullptr, "&quot;", nullptr,
        nullptr,  nullptr,  "&amp;",  "&apos;", nullptr,  nullptr, nullptr, nullptr,  nullptr,
        nullptr,  nullptr,  nullptr,  nullptr,  nullptr,  nullptr, nullptr, nullptr,  nullptr,
        nullptr,  nullptr,  nullptr,  nullptr,  nullptr,  nullptr, "&lt;",  nullptr,  "&gt;",
        nullptr,  nullptr,  nullptr,  nullptr,  nullptr,  nullptr, nullptr, nullptr,  nullptr,
        nullptr,  nullptr,  nullptr,  nullptr,  nullptr,  nullptr, nullptr, nullptr,  nullptr,
        nullptr,  nullptr,  nullptr,  nullptr,  nullptr,  nullptr, nullptr, nullptr,  nullptr,
        nullptr,  nullptr,  "&#092;", nullptr,  nullptr,  nullptr,
    };
    const auto &to1250 = unicodeToWin1250();
    const qsizetype n = text.size();
    // At most ten bytes per unit ("&#1114111;" for a pair is five per unit).
    const qsizetype start = out.size();
    const qsizetype needed = start + n * 10;
    if (out.capacity() < needed)
        out.reserve(qMax(needed, out.capacity() * 2));
    out.resize(needed);
    char *p = out.data() + start;
    const char16_t *s = text.utf16();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            const char *escape = kEscapes[c];
            if (!escape) {
                *p++ = char(c);
            } else {
                if (!*escape) {
                    if (exactly) {
                        out.resize(start);
                        return false;
                    }
                    escape = "?";
                }
                while (*escape)
                    *p++ = *escape++;
            }
            continue;
        }
        char32_t cp = c;
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(s[i + 1])) {
            cp = QChar::surrogateToUcs4(c, s[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(c) || c >= 0xFFFE) {
            if (exactly) {
                out.resize(start);
                return false;
            }
            cp = 0xFFFD;
        }
        if (utf8) {
            if (cp < 0x800) {
                *p++ = char(0xC0 | (cp >> 6));
                *p++ = char(0x80 | (cp & 0x3F));
            } else if (cp < 0x10000) {
                *p++ = char(0xE0 | (cp >> 12));
                *p++ = char(0x80 | ((cp >> 6) & 0x3F));
                *p++ = char(0x80 | (cp & 0x3F));
            } else {
                *p++ = char(0xF0 | (cp >> 18));
                *p++ = char(0x80 | ((cp >> 12) & 0x3F));
                *p++ = char(0x80 | ((cp >> 6) & 0x3F));
                *p++ = char(0x80 | (cp & 0x3F));
            }
        } else if (cp < 0x10000 && to1250[cp] != 0) {
            *p++ = char(to1250[cp]);
        } else {
            p += std::snprintf(p, 12, "&#%u;", unsigned(cp));
        }
    }
    out.resize(p - out.data());
    return true;
}

} // namespace

void AppendEscaped(QByteArray &out, QStringView text, bool utf8) {
    appendEscaped(out, text, utf8, false);
}

bool AppendEscapedExactly(QByteArray &out, QStringView text, bool utf8) {
    return appendEscaped(out, text, utf8, true);
}

QByteArray Encode(QStringView text, bool utf8) {
    if (utf8)
        return text.toUtf8();
    const auto &to1250 = unicodeToWin1250();
    QByteArray out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c < 0x80)
            out.append(char(c));
        else
            out.append(to1250[c] ? char(to1250[c]) : '?');
    }
    return out;
}

QString Decode(QByteArrayView bytes, bool utf8) {
    if (utf8)
        return QString::fromUtf8(bytes);
    const auto &cp1250 = win1250ToUnicode();
    QString out(bytes.size(), Qt::Uninitialized);
    char16_t *o = reinterpret_cast<char16_t *>(out.data());
    for (char b : bytes)
        *o++ = cp1250[quint8(b)];
    return out;
}

} // namespace PacketCodec
