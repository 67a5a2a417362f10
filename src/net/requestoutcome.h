#pragma once

#include "net/networkfailure.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Result codes of a server request; any other negative code is minus an HTTP status that
// completed the exchange without an error (203 gives -203, a redirect -301 ...).
enum RequestResult {
    rrOk = 0,         // status 200 and a body beginning with "ok"
    rrFailed = -1,    // no connection, a transport or TLS error, or an HTTP error status
    rrCancelled = -2, // the user cancelled the exchange
    rrNotOk = -3,     // status 200 but the body does not begin with "ok"
    rrBadLogin = -203 // the server refused the name, password or session
};

// What a server request hands back: the result code, the reply body (less the prefixes the
// runner removes) and whether a leading "error" was removed from it.
struct RequestOutcome {
    int result = rrFailed;
    QByteArray reply;
    bool errorPrefix = false;
    // Why a failed exchange (-1) got no reply, and the transport's own words for it.
    NetworkFailure failure = NetworkFailure::None;
    QString detail;
    // The server ended the session this request carried (status 203): the program ends the
    // local session and says so once, so no further message is due.
    bool sessionLost = false;
    // A refused sign-in that may be tried again only after this many seconds.
    int retryAfter = 0;

    bool ok() const { return result == rrOk; }
};

// The payload of a successful reply: after "okzip" the inflated stream, after "ok" the rest.
// No value when the reply does not begin with "ok" or its compressed payload is damaged.
std::optional<QByteArray> ReplyPayload(const QByteArray &reply);

// A reply (or part of it) as text for the user: UTF-8 when the bytes are valid UTF-8 with
// characters beyond ASCII, otherwise the 8-bit code page.
QString ReplyText(const QByteArray &reply);
