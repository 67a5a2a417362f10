#pragma once

#include "net/settings/settings.h"

#include <QNetworkProxy>
#include <QString>
#include <optional>

class QNetworkAccessManager;

// The HTTP proxy of the settings for the HTTP client and the lesson connection: through the
// proxy host and port (a port that is not a number counts as 0) with the proxy user and
// password when the proxy is switched on; a direct connection otherwise.
QNetworkProxy ProxyFromSettings(const AppSettings &settings);
// Puts the proxy of Settings() into an HTTP client.
void ApplyProxy(QNetworkAccessManager &client);

// A proxy address as host and port.
struct ProxyAddress {
    QString host;
    int port = 0;
};
// Reads "host:port" as the system writes a proxy: an optional scheme ("http://") and user
// ("user:pass@") are skipped, as is a trailing "/"; the host is the part before the first
// ":" ("[v6]" in brackets), the port the rest as a decimal integer (0 when it is not one).
ProxyAddress ParseProxyAddress(const QString &text);
// The system's proxy for the central server: the https_proxy or else the http_proxy
// environment variable (either letter case); nothing when none is set.
std::optional<ProxyAddress> SystemProxy();
