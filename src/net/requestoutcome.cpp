#include "net/requestoutcome.h"

#include "lang/textutil.h"
#include "wire/compression.h"

#include <QStringDecoder>

std::optional<QByteArray> ReplyPayload(const QByteArray &reply) {
    if (reply.startsWith("okzip")) {
        const QByteArrayView stream = QByteArrayView(reply).sliced(5);
        if (stream.isEmpty())
            return QByteArray();
        return InflateStream(stream, kMaxInflatedSize);
    }
    if (reply.startsWith("ok"))
        return reply.sliced(2);
    return std::nullopt;
}

QString ReplyText(const QByteArray &reply) {
    bool ascii = true;
    for (char c : reply) {
        if (uchar(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(reply);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(reply);
    if (!utf8.hasError())
        return text;
    return FromWin1250(reply);
}
