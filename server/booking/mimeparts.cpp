#include "server/booking/mimeparts.h"

#include <QRegularExpression>

namespace MimeParts {

bool IsPlainAddress(const QString &address) {
    static const QRegularExpression plain(
        QStringLiteral("^[A-Za-z0-9!#$%&'*+/=?^_`{|}~.\\-]+@[A-Za-z0-9.\\-]+$"));
    return address.size() <= 254 && plain.match(address).hasMatch();
}

QByteArray EncodedWord(const QString &text) {
    return "=?UTF-8?B?" + text.toUtf8().toBase64() + "?=";
}

QByteArray Base64Lines(const QByteArray &data) {
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    for (qsizetype at = 0; at < encoded.size(); at += 76)
        out += encoded.mid(at, 76) + "\r\n";
    return out;
}

} // namespace MimeParts
