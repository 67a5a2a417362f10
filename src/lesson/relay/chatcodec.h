#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// The chat text of the lesson relay: the lines of a message joined by "|" and written as raw
// UTF-16LE bytes (no byte-order mark) after "@chatmsg;". The relay line ends at the first
// LF byte, so nothing sent may contain the byte 0A.
namespace ChatCodec {

// The message as it goes on the wire: NFC, and every character with a code unit that holds
// the byte 0A (U+000A, U+0A00..U+0AFF, U+xx0A, surrogate halves alike) replaced by U+FFFD.
QString WireText(const QString &text);

// The lines as one message of bytes; no cleaning.
QByteArray Encode(const QStringList &lines);

// The lines cleaned for the wire and cut into messages of at most maxBytes bytes each (at
// least 4). A cut falls at a "|" in the latter half of a message when there is one (the "|"
// itself is dropped: the message boundary separates the lines), otherwise between two
// characters, never inside a surrogate pair.
QList<QByteArray> EncodeMessages(const QStringList &lines, qsizetype maxBytes);

// The chat lines of received bytes: split at each 7C 00 pair that starts on an even offset
// (a whole "|" code unit), each piece read as UTF-16LE; an odd last byte reads as U+FFFD.
QStringList Decode(QByteArrayView bytes);

} // namespace ChatCodec
