#include "relayprotocol.h"

#include <algorithm>

namespace RelayProtocol {

namespace {

constexpr qsizetype MaxNumberLength = 19;

bool IsNumber(QByteArrayView part) {
    if (part.isEmpty() || part.size() > MaxNumberLength)
        return false;
    if (part.size() > 1 && part.front() == '0')
        return false;
    for (char c : part) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

} // namespace

QByteArray TakeField(QByteArray &rest) {
    const qsizetype at = rest.indexOf(';');
    if (at < 0) {
        QByteArray field;
        field.swap(rest);
        return field;
    }
    QByteArray field = rest.left(at);
    rest.remove(0, at + 1);
    return field;
}

bool IsClientId(QByteArrayView id) {
    int parts = 0;
    qsizetype start = 0;
    while (true) {
        qsizetype end = id.indexOf('_', start);
        if (end < 0)
            end = id.size();
        if (!IsNumber(id.sliced(start, end - start)) || ++parts > 3)
            return false;
        if (end == id.size())
            break;
        start = end + 1;
    }
    return parts >= 2;
}

bool IsToken(QByteArrayView token) {
    if (token.isEmpty() || token.size() > 128)
        return false;
    return std::all_of(token.begin(), token.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               c == '-' || c == '_' || c == '.';
    });
}

QByteArray GroupOf(const QByteArray &id) {
    const qsizetype first = id.indexOf('_');
    const qsizetype second = first < 0 ? -1 : id.indexOf('_', first + 1);
    return second < 0 ? id : id.left(second);
}

} // namespace RelayProtocol
