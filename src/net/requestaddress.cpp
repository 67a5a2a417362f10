#include "net/requestaddress.h"

#include "net/settings/settings.h"

namespace {

bool escapedInAddress(uchar c) {
    if (c <= 0x20 || c >= 0x7F)
        return true;
    switch (c) {
    case '"':
    case '#':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
        return true;
    }
    return false;
}

QByteArray addressBytes(QByteArrayView bytes) {
    static const char hex[] = "0123456789ABCDEF";
    QByteArray out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const uchar c = uchar(ch);
        if (escapedInAddress(c)) {
            out.append('%');
            out.append(hex[c >> 4]);
            out.append(hex[c & 0xF]);
        } else {
            out.append(ch);
        }
    }
    return out;
}

QByteArray addressText(const QString &text) {
    return addressBytes(QByteArrayView(text.toUtf8()));
}

} // namespace

QString RawDownloadAction() {
    return QString(QChar(0xFF));
}

bool IsRawDownload(const QString &action) {
    return action.size() == 1 && action[0] == QChar(0xFF);
}

QString BaseAddress(const QString &server, bool useSsl) {
    const ServerEndpoint endpoint = ParseServerEndpoint(server, useSsl);
    const QString host = endpoint.host.contains(u':') ? u'[' + endpoint.host + u']' : endpoint.host;
    return (useSsl ? QStringLiteral("https://") : QStringLiteral("http://")) + host + u':' +
           QString::number(endpoint.port);
}

QByteArray RequestAddress(const QString &baseAddress, const QString &scriptPath,
                          const ServerRequest &call, const QString &sessionParam) {
    QByteArray address = addressText(baseAddress);
    if (IsRawDownload(call.action))
        return address + addressBytes(QByteArrayView(call.data));
    address += addressText(scriptPath) + '?';
    if (!call.withoutSession)
        address += addressText(sessionParam) + '&';
    address += "action=" + addressText(call.action);
    if (call.data.isEmpty())
        address += '&';
    return address;
}
