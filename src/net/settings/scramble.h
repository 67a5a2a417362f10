#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// Password scrambling of the settings file: the key and the text, taken as Windows-1250
// bytes, become pairs of capital letters behind a random byte, so that the same text and key
// give a different result at every call. Lengths are stored in one byte, so the text and the
// key must each be shorter than 256 bytes.

// True when the text and the key survive scrambling unchanged: both shorter than 256 bytes
// and written only with characters of Windows-1250.
bool CanScramble(const QString &text, const QString &key);
// Raises AppError with a message for the user when CanScramble is false.
void CheckScramble(const QString &text, const QString &key);

// The scrambled form of the text with a new random byte; raises AppError (see CheckScramble)
// instead of giving a form that would unscramble to something else.
QString ScrambleText(const QString &text, const QString &key);
// Reads a scrambled form; false (and an empty text) when it is malformed, has data left
// over, or was scrambled with another key (compared exactly, letter case included).
bool UnscrambleText(const QString &scrambled, const QString &key, QString &text);

// The byte-level form with a given random byte (lengths wrap at 256).
QByteArray ScrambleBytes(const QByteArray &text, const QByteArray &key, quint8 random);
std::optional<QByteArray> UnscrambleBytes(QByteArrayView scrambled, const QByteArray &key);
