#include "callmessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

const char *typeName(CallMessage::Type type) {
    switch (type) {
    case CallMessage::Type::Offer:
        return "offer";
    case CallMessage::Type::Answer:
        return "answer";
    case CallMessage::Type::Candidate:
        break;
    }
    return "candidate";
}

// Printable ASCII, with line ends only where allowed.
bool plainText(const QString &text, bool lineEnds) {
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (lineEnds && (u == '\r' || u == '\n'))
            continue;
        if (u < 0x20 || u > 0x7e)
            return false;
    }
    return true;
}

std::optional<CallMessage> fail(QString *error, const QString &why) {
    if (error)
        *error = why;
    return std::nullopt;
}

bool soundSdp(const QString &sdp) {
    if (sdp.size() > CallMessage::MaxSdp || !sdp.startsWith(QLatin1String("v=0")) ||
        !plainText(sdp, true))
        return false;
    // Every line is "x=value".
    static const QRegularExpression line(QStringLiteral("^[a-z]=.*$"));
    const QStringList lines = sdp.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    return std::all_of(lines.begin(), lines.end(), [](const QString &l) {
        return !l.contains(u'\r') && !l.contains(u'\n') && line.match(l).hasMatch();
    });
}

} // namespace

QByteArray CallMessage::toJson() const {
    QJsonObject object{{QStringLiteral("type"), QString::fromLatin1(typeName(type))}};
    if (type == Type::Candidate) {
        object.insert(QStringLiteral("candidate"), candidate);
        object.insert(QStringLiteral("sdpMid"), sdpMid);
        if (mLineIndex >= 0)
            object.insert(QStringLiteral("sdpMLineIndex"), mLineIndex);
    } else {
        object.insert(QStringLiteral("sdp"), sdp);
    }
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<CallMessage> CallMessage::fromJson(const QByteArray &text, QString *error) {
    QJsonParseError parse;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isObject())
        return fail(error, QStringLiteral("not a JSON object"));
    const QJsonObject object = document.object();
    const QString type = object.value(QLatin1String("type")).toString();
    CallMessage message;
    if (type == QLatin1String("offer") || type == QLatin1String("answer")) {
        message.type = type == QLatin1String("offer") ? Type::Offer : Type::Answer;
        message.sdp = object.value(QLatin1String("sdp")).toString();
        if (!soundSdp(message.sdp))
            return fail(error, QStringLiteral("unsound session description"));
        return message;
    }
    if (type != QLatin1String("candidate"))
        return fail(error, QStringLiteral("unknown type \"%1\"").arg(type.left(32)));
    message.type = Type::Candidate;
    message.candidate = object.value(QLatin1String("candidate")).toString();
    message.sdpMid = object.value(QLatin1String("sdpMid")).toString();
    static const QRegularExpression mid(QStringLiteral("^[A-Za-z0-9_-]{0,64}$"));
    if (message.candidate.size() > MaxCandidate || !plainText(message.candidate, false) ||
        (!message.candidate.isEmpty() &&
         !message.candidate.startsWith(QLatin1String("candidate:"))))
        return fail(error, QStringLiteral("unsound candidate"));
    if (!mid.match(message.sdpMid).hasMatch())
        return fail(error, QStringLiteral("unsound media id"));
    const QJsonValue index = object.value(QLatin1String("sdpMLineIndex"));
    if (!index.isUndefined() && !index.isNull()) {
        const double value = index.toDouble(-1);
        if (!index.isDouble() || value < 0 || value > 63 || value != int(value))
            return fail(error, QStringLiteral("unsound media line index"));
        message.mLineIndex = int(value);
    }
    return message;
}
