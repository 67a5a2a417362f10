#include "iceservers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr int MaxAddresses = 8;
constexpr qsizetype MaxValue = 512;

bool printable(const QString &text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7f; });
}

bool soundAddress(const QString &address, bool turn) {
    const QStringList schemes = turn
                                    ? QStringList{QStringLiteral("turn:"), QStringLiteral("turns:")}
                                    : QStringList{QStringLiteral("stun:")};
    return address.size() <= MaxValue && printable(address) &&
           std::any_of(schemes.begin(), schemes.end(), [&](const QString &scheme) {
               return address.startsWith(scheme) && address.size() > scheme.size();
           });
}

} // namespace

QByteArray IceServers::toJson() const {
    QJsonArray servers;
    if (!stun.isEmpty())
        servers.append(QJsonObject{{QStringLiteral("urls"), QJsonArray::fromStringList(stun)}});
    if (hasTurn())
        servers.append(QJsonObject{{QStringLiteral("urls"), QJsonArray::fromStringList(turn)},
                                   {QStringLiteral("username"), username},
                                   {QStringLiteral("credential"), credential}});
    return QJsonDocument(servers).toJson(QJsonDocument::Compact);
}

IceServers IceServers::fromReply(const QByteArray &reply) {
    IceServers servers;
    if (!reply.startsWith("ok"))
        return servers;
    const QList<QByteArray> lines = reply.mid(2).split('\n');
    for (QByteArray line : lines) {
        line = line.trimmed();
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QByteArray name = line.left(eq);
        const QString value = QString::fromLatin1(line.mid(eq + 1));
        if (name == "stun" && servers.stun.size() < MaxAddresses && soundAddress(value, false))
            servers.stun.append(value);
        else if (name == "turn" && servers.turn.size() < MaxAddresses && soundAddress(value, true))
            servers.turn.append(value);
        else if (name == "username" && value.size() <= MaxValue && printable(value))
            servers.username = value;
        else if (name == "credential" && value.size() <= MaxValue && printable(value))
            servers.credential = value;
        else if (name == "ttl")
            servers.ttl = qBound(0, value.toInt(), 7 * 24 * 3600);
    }
    return servers;
}
