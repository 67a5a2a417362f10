#include "net/settings/applyproxy.h"

#include "lang/textutil.h"

#include <QNetworkAccessManager>

QNetworkProxy ProxyFromSettings(const AppSettings &settings) {
    if (!settings.proxyUse)
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const int port = ParseInteger(settings.proxyPort).value_or(0);
    // Qt answers the proxy's authentication challenge with the user and password whenever
    // they are set, so the proxy sign-in option has nothing more to switch on here; both are
    // passed as they stand, also when the option is off.
    return QNetworkProxy(QNetworkProxy::HttpProxy, settings.proxyServer,
                         port >= 0 && port <= 65535 ? quint16(port) : 0, settings.proxyName,
                         settings.proxyPass);
}

void ApplyProxy(QNetworkAccessManager &client) {
    client.setProxy(ProxyFromSettings(Settings()));
}

ProxyAddress ParseProxyAddress(const QString &text) {
    QString rest = text.trimmed();
    const qsizetype scheme = rest.indexOf(QStringLiteral("://"));
    if (scheme >= 0)
        rest.remove(0, scheme + 3);
    const qsizetype slash = rest.indexOf(u'/');
    if (slash >= 0)
        rest.truncate(slash);
    const qsizetype at = rest.lastIndexOf(u'@');
    if (at >= 0)
        rest.remove(0, at + 1);

    ProxyAddress address;
    QString portText;
    if (rest.startsWith(u'[') && rest.contains(u']')) {
        const qsizetype close = rest.indexOf(u']');
        address.host = rest.mid(1, close - 1);
        portText = rest.mid(close + 1);
        if (portText.startsWith(u':'))
            portText.remove(0, 1);
    } else {
        const qsizetype colon = rest.indexOf(u':');
        address.host = colon < 0 ? rest : rest.left(colon);
        portText = colon < 0 ? QString() : rest.mid(colon + 1);
    }
    address.port = ParseInteger(portText).value_or(0);
    return address;
}

std::optional<ProxyAddress> SystemProxy() {
    for (const char *name : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY"}) {
        const QString value = qEnvironmentVariable(name).trimmed();
        if (value.isEmpty())
            continue;
        ProxyAddress address = ParseProxyAddress(value);
        if (!address.host.isEmpty())
            return address;
    }
    return std::nullopt;
}
