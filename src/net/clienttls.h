#pragma once

#include "net/settings/settings.h"

#include <QSslConfiguration>

// The TLS configuration of requests to the central server: the highest protocol version both
// sides support; the server's certificate is verified against the system's trust store plus
// the certificates of the CentralServerCAFile setting (a relative path is taken from the data
// folder), unless CentralServerTLSVerify is off, which accepts any certificate.
QSslConfiguration ClientTlsConfiguration(const AppSettings &settings);
