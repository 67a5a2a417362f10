#include "richtext/rtftokenizer.h"

#include <limits>

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

RtfToken RtfTokenizer::next() {
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        if (c == '\r' || c == '\n') {
            ++m_pos;
            continue;
        }
        RtfToken token;
        if (c == '{' || c == '}') {
            ++m_pos;
            token.kind = c == '{' ? RtfToken::GroupOpen : RtfToken::GroupClose;
            return token;
        }
        if (c != '\\')
            return textRun();
        if (m_pos + 1 >= m_input.size()) {
            m_pos = m_input.size();
            token.kind = RtfToken::Truncated;
            return token;
        }
        const char after = m_input[m_pos + 1];
        if (isLetter(after)) {
            ++m_pos;
            return controlWord();
        }
        m_pos += 2;
        return controlSymbol(after);
    }
    return RtfToken{};
}

RtfToken RtfTokenizer::controlWord() {
    RtfToken token;
    token.kind = RtfToken::ControlWord;
    const qsizetype start = m_pos;
    while (m_pos < m_input.size() && isLetter(m_input[m_pos]))
        ++m_pos;
    token.word = m_input.sliced(start, m_pos - start);
    if (token.word.size() > MaxWordLength)
        token.word = QByteArrayView("?overlong");
    token.param = readParameter(token.hasParam);
    // A blank right after the word only ends it.
    if (m_pos < m_input.size() && m_input[m_pos] == ' ')
        ++m_pos;
    return token;
}

int RtfTokenizer::readParameter(bool &present) {
    present = false;
    bool negative = false;
    if (m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    qint64 value = 0;
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    while (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
        present = true;
        value = qMin(value * 10 + (m_input[m_pos] - '0'), limit);
        ++m_pos;
    }
    value = negative ? -value : qMin(value, limit - 1);
    constexpr qint64 lowest = std::numeric_limits<int>::min();
    constexpr qint64 highest = std::numeric_limits<int>::max();
    return int(qBound(lowest, value, highest));
}

RtfToken RtfTokenizer::controlSymbol(char symbol) {
    RtfToken token;
    if (symbol != '\'') {
        token.kind = RtfToken::ControlSymbol;
        token.symbol = symbol;
        return token;
    }
    if (m_pos + 2 > m_input.size()) {
        m_pos = m_input.size();
        token.kind = RtfToken::Truncated;
        return token;
    }
    const int high = hexValue(m_input[m_pos]);
    const int low = hexValue(m_input[m_pos + 1]);
    if (high < 0 || low < 0) {
        // Not an escape after all: the characters that follow are read as they are.
        token.kind = RtfToken::ControlSymbol;
        token.symbol = '\'';
        return token;
    }
    m_pos += 2;
    token.kind = RtfToken::HexByte;
    token.byte = uchar(high * 16 + low);
    return token;
}

RtfToken RtfTokenizer::textRun() {
    RtfToken token;
    token.kind = RtfToken::Text;
    const qsizetype start = m_pos;
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++m_pos;
    }
    token.text = m_input.sliced(start, m_pos - start);
    return token;
}

void RtfTokenizer::skipBinary(qint64 count) {
    if (count > 0)
        m_pos += qsizetype(qMin<qint64>(count, m_input.size() - m_pos));
}
