#include "relayendpoint.h"

#include "net/settings/settings.h"

QString RelayEndpoint::text() const {
    const QString shown = host.contains(u':') ? u'[' + host + u']' : host;
    return shown + u':' + QString::number(port);
}

RelayEndpoint RelayEndpoint::For(const QString &relayServer, bool useSsl, int onlinePortType) {
    RelayEndpoint endpoint;
    endpoint.tls = onlinePortType == 1 || (onlinePortType != 2 && useSsl);
    switch (onlinePortType) {
    case 1:
        endpoint.port = 7443;
        break;
    case 2:
        endpoint.port = 7080;
        break;
    default:
        endpoint.port = useSsl ? 443 : 80;
        break;
    }
    // The port is the host's own when it does not depend on the HTTPS option.
    const ServerEndpoint secure = ParseServerEndpoint(relayServer, true);
    const ServerEndpoint clear = ParseServerEndpoint(relayServer, false);
    endpoint.host = secure.host;
    if (secure.port == clear.port)
        endpoint.port = secure.port;
    return endpoint;
}
