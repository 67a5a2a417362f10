#pragma once

#include "base/namevaluelist.h"

#include <QDateTime>
#include <QString>

// The process-wide session values of the signed-in user (empty while signed out).
NameValueList &SessionValues();

bool IsSignedIn();
// "PHPSESSID=" followed by the session id.
QString SessionIdParam();
void SetSessionId(const QString &id);
QString RelayServer();
// The user's type 1..4; 4 (a client) when missing or not a number.
int UserType();
int UserId();
int JobId();

// Reads the server's "yyyy-mm-dd hh:nn:ss" form; the current local date and time when the
// text is empty or does not parse.
QDateTime ParseServerDateTime(const QString &text);
// Writes a date-time in the server's form.
QString FormatServerDateTime(const QDateTime &value);
// The number with two decimals and thousands grouping in the user's locale.
QString FormatAmount(double number);
// The installed Skype's version, or empty; there is no Skype registry on this platform.
QString SkypeVersion();

// The central server's host (optionally "host:port") and script path from the settings.
struct ConnectionTarget {
    QString server;
    QString path;
};
ConnectionTarget &CurrentConnectionTarget();
