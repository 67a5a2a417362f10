#include "callwire.h"

#include "wire/relay/relayprotocol.h"

#include <QRandomGenerator>

namespace CallWire {
namespace {

// A decimal field without sign or padding, within 0..limit.
std::optional<int> number(const QByteArray &field, int limit) {
    if (field.isEmpty() || field.size() > 9 || (field.size() > 1 && field.startsWith('0')))
        return std::nullopt;
    for (char c : field)
        if (c < '0' || c > '9')
            return std::nullopt;
    const int value = field.toInt();
    return value <= limit ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> flag(const QByteArray &field) {
    if (field == "0" || field == "1")
        return field == "1";
    return std::nullopt;
}

bool base64Text(const QByteArray &chunk) {
    for (char c : chunk)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '+' || c == '/' || c == '='))
            return false;
    return true;
}

std::optional<Line> parseSignal(Line line, QByteArray rest) {
    const auto message = number(RelayProtocol::TakeField(rest), 1 << 20);
    const auto index = number(RelayProtocol::TakeField(rest), MaxPieces - 1);
    const auto count = number(RelayProtocol::TakeField(rest), MaxPieces);
    if (!message || *message == 0 || !index || !count || *count == 0 || *index >= *count ||
        rest.isEmpty() || !base64Text(rest))
        return std::nullopt;
    line.message = *message;
    line.index = *index;
    line.count = *count;
    line.chunk = rest;
    return line;
}

QByteArray withId(const char *command, const QByteArray &callId) {
    return QByteArray(command) + ';' + callId;
}

} // namespace

bool isCallCommand(const QByteArray &command) {
    return command == "@callhello" || command == "@callring" || command == "@callaccept" ||
           command == "@calldecline" || command == "@callbye" || command == "@callsig";
}

std::optional<Line> parse(const QByteArray &command, const QByteArray &restIn) {
    QByteArray rest = restIn;
    Line line;
    if (command == "@callhello") {
        const auto version = number(RelayProtocol::TakeField(rest), 1000);
        const auto reply = flag(RelayProtocol::TakeField(rest));
        if (!version || *version == 0 || !reply)
            return std::nullopt;
        line.version = *version;
        line.reply = *reply;
        return line;
    }
    static const QList<QPair<QByteArray, Kind>> kinds{{"@callring", Kind::Ring},
                                                      {"@callaccept", Kind::Accept},
                                                      {"@calldecline", Kind::Decline},
                                                      {"@callbye", Kind::Bye},
                                                      {"@callsig", Kind::Signal}};
    const auto found = std::find_if(kinds.begin(), kinds.end(),
                                    [&](const auto &entry) { return entry.first == command; });
    if (found == kinds.end())
        return std::nullopt;
    line.kind = found->second;
    line.callId = RelayProtocol::TakeField(rest);
    if (!validCallId(line.callId))
        return std::nullopt;
    if (line.kind == Kind::Signal)
        return parseSignal(line, rest);
    if (line.kind == Kind::Ring) {
        const auto video = flag(RelayProtocol::TakeField(rest));
        if (!video)
            return std::nullopt;
        line.video = *video;
    }
    // Later versions may add fields; what is known is read.
    return line;
}

QByteArray hello(bool reply) {
    return "@callhello;" + QByteArray::number(Version) + (reply ? ";1" : ";0");
}

QByteArray ring(const QByteArray &callId, bool video) {
    return withId("@callring", callId) + (video ? ";1" : ";0");
}

QByteArray accept(const QByteArray &callId) {
    return withId("@callaccept", callId);
}

QByteArray decline(const QByteArray &callId) {
    return withId("@calldecline", callId);
}

QByteArray bye(const QByteArray &callId) {
    return withId("@callbye", callId);
}

QList<QByteArray> signalLines(const QByteArray &callId, int message, const QByteArray &text,
                              qsizetype room) {
    const QByteArray encoded = text.toBase64();
    if (encoded.isEmpty() || encoded.size() > MaxMessageBytes)
        return {};
    // The head of the longest line: the fields with the widest index and count.
    const QByteArray widest = withId("@callsig", callId) + ';' + QByteArray::number(message) + ';' +
                              QByteArray::number(MaxPieces - 1) + ';' +
                              QByteArray::number(MaxPieces) + ';';
    const qsizetype chunk = room - widest.size();
    if (chunk <= 0)
        return {};
    const qsizetype count = (encoded.size() + chunk - 1) / chunk;
    if (count > MaxPieces)
        return {};
    QList<QByteArray> lines;
    for (qsizetype i = 0; i < count; ++i)
        lines.append(withId("@callsig", callId) + ';' + QByteArray::number(message) + ';' +
                     QByteArray::number(i) + ';' + QByteArray::number(count) + ';' +
                     encoded.mid(i * chunk, chunk));
    return lines;
}

QByteArray newCallId() {
    return QByteArray::number(QRandomGenerator::system()->generate64() | 1, 16);
}

bool validCallId(const QByteArray &id) {
    if (id.isEmpty() || id.size() > 16)
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace CallWire
