#include "richtext/rtfcodepage.h"

#include <QHash>
#include <QStringDecoder>
#include <array>
#include <unordered_map>

namespace {

struct CharsetPage {
    int charset;
    int codePage;
};

// Character set numbers of the font table and the code pages they stand for.
constexpr std::array kCharsets = {
    CharsetPage{0, 1252},   CharsetPage{77, 10000}, CharsetPage{128, 932},  CharsetPage{129, 949},
    CharsetPage{134, 936},  CharsetPage{136, 950},  CharsetPage{161, 1253}, CharsetPage{162, 1254},
    CharsetPage{163, 1258}, CharsetPage{177, 1255}, CharsetPage{178, 1256}, CharsetPage{186, 1257},
    CharsetPage{204, 1251}, CharsetPage{222, 874},  CharsetPage{238, 1250}, CharsetPage{255, 437},
};

QByteArray codecName(int codePage) {
    switch (codePage) {
    case 10000:
        return "macintosh";
    case 437:
    case 850:
    case 852:
    case 866:
        return "IBM" + QByteArray::number(codePage);
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 949:
        return "EUC-KR";
    case 950:
        return "Big5";
    case 874:
        return "windows-874";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

// Converters are costly to open: one of each per code page and thread, kept.
QStringDecoder &decoderFor(int codePage) {
    thread_local std::unordered_map<int, QStringDecoder> decoders;
    auto it = decoders.find(codePage);
    if (it == decoders.end()) {
        QStringDecoder decoder(codecName(codePage).constData(), QStringConverter::Flag::Stateless);
        if (!decoder.isValid())
            decoder = QStringDecoder(codecName(RtfCodePage::Default).constData(),
                                     QStringConverter::Flag::Stateless);
        it = decoders.emplace(codePage, std::move(decoder)).first;
    }
    return it->second;
}

// The characters of a code page's upper half and their bytes. Only single bytes that stand
// for one character count, so a double-byte code page keeps just those.
const QHash<char16_t, uchar> &upperHalf(int codePage) {
    thread_local std::unordered_map<int, QHash<char16_t, uchar>> tables;
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        QHash<char16_t, uchar> table;
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const char one = char(byte);
            const QString text = RtfCodePage::decode(QByteArrayView(&one, 1), codePage);
            if (text.size() == 1 && text[0] != QChar::ReplacementCharacter &&
                !table.contains(text[0].unicode()))
                table.insert(text[0].unicode(), uchar(byte));
        }
        it = tables.emplace(codePage, std::move(table)).first;
    }
    return it->second;
}

} // namespace

int RtfCodePage::fromCharset(int charset) {
    for (const CharsetPage &c : kCharsets)
        if (c.charset == charset)
            return c.codePage;
    return 0;
}

int RtfCodePage::charsetOf(int codePage) {
    for (const CharsetPage &c : kCharsets)
        if (c.codePage == codePage)
            return c.charset;
    return 0;
}

bool RtfCodePage::isKnown(int codePage) {
    return QStringDecoder(codecName(codePage).constData()).isValid();
}

QString RtfCodePage::decode(QByteArrayView bytes, int codePage) {
    QStringDecoder &decoder = decoderFor(codePage);
    const QString text = decoder.decode(bytes);
    // A double-byte converter keeps an unfinished character despite the stateless flag;
    // each piece of text is decoded on its own.
    decoder.resetState();
    return text;
}

int RtfCodePage::encodeChar(char16_t ch, int codePage) {
    if (ch < 0x80)
        return ch;
    const QHash<char16_t, uchar> &table = upperHalf(codePage);
    const auto it = table.constFind(ch);
    return it == table.constEnd() ? -1 : int(*it);
}
