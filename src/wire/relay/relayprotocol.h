#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Fixed values and field helpers of the relay's line protocol. Lines are 8-bit bytes and are
// handled as QByteArray throughout: payloads may carry raw UTF-16LE text with 0x00 bytes.
namespace RelayProtocol {

// The longest line (without its CR LF) that the relay reads, and that a client reads.
inline constexpr qsizetype MaxLineLength = 8192;

// The sign-on key every client sends after its client id.
inline constexpr QByteArrayView SignOnKey = "vorelitambu";

// Takes the field before the first ";" off the front of rest and returns it; without a ";"
// the whole rest is the field and rest becomes empty.
QByteArray TakeField(QByteArray &rest);

// A client id is two or three decimal numbers without sign or padding joined by "_":
// job "_" teacher, or job "_" teacher "_" student.
bool IsClientId(QByteArrayView id);

// A relay token as the central server issues it: 1 to 128 characters of letters, digits,
// "-", "_" and ".", so that it is one field of a line.
bool IsToken(QByteArrayView token);

// The lesson group of a valid client id: its job and teacher numbers ("7_12" for "7_12_40").
// A teacher and the students who connect to it share one group.
QByteArray GroupOf(const QByteArray &id);

} // namespace RelayProtocol
