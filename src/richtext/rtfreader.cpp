#include "richtext/rtfreader.h"

#include "richtext/rtfparser.h"

#include <QTextDocument>

QString RtfReadResult::describe() const {
    switch (status) {
    case RtfStatus::Ok:
        return QStringLiteral("read");
    case RtfStatus::NotRichText:
        return QStringLiteral("not rich text");
    case RtfStatus::Truncated:
        return QStringLiteral("rich text ends early at byte %1").arg(offset);
    case RtfStatus::TooDeep:
        return QStringLiteral("rich text nested too deeply at byte %1").arg(offset);
    case RtfStatus::TooLarge:
        return QStringLiteral("rich text larger than %1 bytes").arg(RtfReader::MaxInputSize);
    }
    return QString();
}

bool RtfReader::isRichText(QByteArrayView data) {
    qsizetype i = 0;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

RtfReadResult RtfReader::read(QByteArrayView rtf, QTextDocument &document) {
    RtfReadResult result;
    if (rtf.size() > MaxInputSize) {
        document.clear();
        result.status = RtfStatus::TooLarge;
        return result;
    }
    if (!isRichText(rtf)) {
        document.clear();
        result.status = RtfStatus::NotRichText;
        return result;
    }
    RtfParser parser(rtf, document);
    return parser.run();
}
