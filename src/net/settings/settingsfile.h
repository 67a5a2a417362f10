#pragma once

#include "base/namevaluelist.h"

#include <QString>

// The name=value files of the installation (settings file, book catalogue): Windows-1250 text
// with CR LF line ends, replaced whole or not at all when written.

// Reads a file; a missing or unreadable file reads as empty.
NameValueList ReadNameValueFile(const QString &path);
// Reads a file for a rewrite: a missing file reads as empty, but a file that exists and
// cannot be read raises AppError, so that its lines are never lost by writing it back.
NameValueList ReadNameValueFileForUpdate(const QString &path);
// Replaces the file atomically with the lines, each ended by CR LF; raises AppError when it
// cannot be written (the old file then stays as it was).
void WriteNameValueFile(const QString &path, const NameValueList &values);

// A flag is on when its value is a decimal integer other than 0; missing or not a number
// gives the default. Written as "1" or "0".
bool ReadFlag(const NameValueList &values, QStringView name, bool defaultValue);
QString FlagText(bool value);
// A decimal integer; missing or not a number gives the default.
int ReadInteger(const NameValueList &values, QStringView name, int defaultValue);
