#include "chatcodec.h"

namespace ChatCodec {

namespace {

constexpr char16_t Separator = u'|';
constexpr char16_t Replacement = 0xFFFD;

bool holdsLineFeedByte(char16_t unit) {
    return (unit & 0xFF) == 0x0A || (unit >> 8) == 0x0A;
}

void appendUnit(QByteArray &bytes, char16_t unit) {
    bytes.append(char(unit & 0xFF));
    bytes.append(char(unit >> 8));
}

QByteArray toBytes(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (QChar c : text)
        appendUnit(bytes, c.unicode());
    return bytes;
}

QString fromBytes(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size() / 2 + 1);
    qsizetype i = 0;
    for (; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    if (i < bytes.size())
        text.append(QChar(Replacement));
    return text;
}

// Where a message that starts at start and may hold up to room code units ends, and where
// the next one starts.
std::pair<qsizetype, qsizetype> cutAt(const QString &text, qsizetype start, qsizetype room) {
    const qsizetype limit = start + room;
    if (limit >= text.size())
        return {text.size(), text.size()};
    const qsizetype bar = text.lastIndexOf(Separator, limit);
    if (bar >= start + room / 2)
        return {bar, bar + 1};
    qsizetype end = limit;
    if (text[end - 1].isHighSurrogate() && text[end].isLowSurrogate())
        --end;
    return {end, end};
}

} // namespace

QString WireText(const QString &text) {
    const QString normal = text.normalized(QString::NormalizationForm_C);
    QString wire;
    wire.reserve(normal.size());
    for (qsizetype i = 0; i < normal.size(); ++i) {
        const bool pair =
            normal[i].isHighSurrogate() && i + 1 < normal.size() && normal[i + 1].isLowSurrogate();
        const qsizetype units = pair ? 2 : 1;
        bool clean = true;
        for (qsizetype k = 0; k < units; ++k)
            clean = clean && !holdsLineFeedByte(normal[i + k].unicode());
        if (clean)
            wire.append(normal.mid(i, units));
        else
            wire.append(QChar(Replacement));
        i += units - 1;
    }
    return wire;
}

QByteArray Encode(const QStringList &lines) {
    return toBytes(lines.join(Separator));
}

QList<QByteArray> EncodeMessages(const QStringList &lines, qsizetype maxBytes) {
    const QString text = WireText(lines.join(Separator));
    const qsizetype room = qMax<qsizetype>(2, maxBytes / 2);
    QList<QByteArray> messages;
    qsizetype start = 0;
    do {
        const auto [end, next] = cutAt(text, start, room);
        messages.append(toBytes(QStringView(text).sliced(start, end - start)));
        start = next;
    } while (start < text.size());
    return messages;
}

QStringList Decode(QByteArrayView bytes) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] == '|' && bytes[i + 1] == '\0') {
            lines.append(fromBytes(bytes.sliced(start, i - start)));
            start = i + 2;
        }
    }
    lines.append(fromBytes(bytes.sliced(start)));
    return lines;
}

} // namespace ChatCodec
