#include "net/formencode.h"

namespace {

void appendEscaped(QByteArray &out, uchar byte) {
    static const char hex[] = "0123456789ABCDEF";
    out.append('%');
    out.append(hex[byte >> 4]);
    out.append(hex[byte & 0xF]);
}

bool keptByFormEncode(uchar c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    switch (c) {
    case '!':
    case '$':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '-':
    case '.':
    case '@':
    case '_':
        return true;
    }
    return false;
}

bool escapedByTransport(uchar c) {
    if (c < 33 || c > 128)
        return true;
    switch (c) {
    case '#':
    case '%':
    case '*':
    case '<':
    case '>':
    case '[':
    case ']':
        return true;
    }
    return false;
}

} // namespace

QByteArray FormEncode(QByteArrayView text) {
    QByteArray out;
    out.reserve(text.size() * 3);
    for (char ch : text) {
        const uchar c = uchar(ch);
        if (keptByFormEncode(c))
            out.append(ch);
        else if (c == ' ')
            out.append('+');
        else
            appendEscaped(out, c);
    }
    return out;
}

QByteArray TransportEncodeValue(QByteArrayView value) {
    QByteArray out;
    out.reserve(value.size() + value.size() / 2);
    for (char ch : value) {
        if (escapedByTransport(uchar(ch)))
            appendEscaped(out, uchar(ch));
        else
            out.append(ch);
    }
    return out;
}

QByteArray TransportEncodeForm(QByteArrayView data) {
    QByteArray out;
    out.reserve(data.size() + data.size() / 4);
    qsizetype start = 0;
    while (start <= data.size()) {
        qsizetype end = data.indexOf('&', start);
        if (end < 0)
            end = data.size();
        const QByteArrayView item = data.sliced(start, end - start);
        const qsizetype eq = item.indexOf('=');
        if (start > 0)
            out.append('&');
        if (eq < 0) {
            out.append(item);
        } else {
            out.append(item.first(eq + 1));
            out.append(TransportEncodeValue(item.sliced(eq + 1)));
        }
        start = end + 1;
    }
    return out;
}
