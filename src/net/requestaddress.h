#pragma once

#include "net/serverrequest.h"

#include <QByteArray>
#include <QString>

// The action text that marks a raw download: the one character with code 255.
QString RawDownloadAction();
bool IsRawDownload(const QString &action);

// "https://" or "http://", the host, ":" and the port: 443 or 80 by the HTTPS option unless
// the server text carries its own port ("host:port", "[v6]:port").
QString BaseAddress(const QString &server, bool useSsl);

// The address a request is sent to. A normal action: the base address, the script path, "?",
// unless the request goes without session the session parameter and "&", then "action=" and
// the action; a plain fetch (empty data) adds a trailing "&". A raw download: the base address
// directly followed by the data (the server-relative path). Bytes that may not appear in an
// address (blanks, controls, bytes beyond ASCII, " # < > \ ^ ` { | }) are percent-encoded.
QByteArray RequestAddress(const QString &baseAddress, const QString &scriptPath,
                          const ServerRequest &call, const QString &sessionParam);
