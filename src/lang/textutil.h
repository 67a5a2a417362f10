#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

// Takes the text before the first separator and removes it, with the separator, from the
// source; without a separator the whole rest is taken and the source becomes empty.
QString SplitSection(QString &source, QStringView separator);
QByteArray SplitSection(QByteArray &source, QByteArrayView separator);

// Replaces the list's content with the text split at every ";".
void TextToLines(const QString &text, QStringList &lines);

// Formats a C-style pattern with %s (text), %d (integer) and %% (percent sign) from the
// arguments in order, as the string tables write their patterns.
QString FormatText(const QString &pattern, const QList<QVariant> &arguments);

// Reads a decimal integer as the settings and session values write it: leading blanks and
// a sign are allowed, anything else (trailing blanks included) makes it no number.
std::optional<int> ParseInteger(QStringView text);

// Converts between text and the 8-bit Windows-1250 code page used on disk and in packets.
// Characters outside the code page become "?".
QByteArray ToWin1250(const QString &text);
QString FromWin1250(const QByteArray &bytes);
