#pragma once

#include <QString>

// Why an exchange with the server got no reply, as far as the user can act on it.
enum class NetworkFailure {
    None,        // a reply came, or the exchange was cancelled
    Refused,     // the server's machine refused the connection
    Unreachable, // no route to the server, or its name is unknown
    TimedOut,    // no sign of progress within the bounded wait
    Certificate, // the server's certificate is not trusted
    Other        // any other transport or TLS error, an HTTP error status, a reply too large
};

// The sentence for the user in the program's language: our own text for the four failures a
// person can act on, the general communication error otherwise.
QString NetworkFailureText(NetworkFailure failure);
// The message box text of a failed exchange: that sentence alone. The technical detail (the
// transport's own words) goes to the log, never on screen.
QString NetworkFailureMessage(NetworkFailure failure, const QString &detail);
