#pragma once

#include <QByteArray>
#include <QString>

// Pieces of the e-mails the server writes to its outbox.
namespace MimeParts {

// An address fit for a header: one plain mailbox, nothing that could end the header line or
// add recipients.
bool IsPlainAddress(const QString &address);
// A header text in the encoded-word form, so that any character travels in ASCII.
QByteArray EncodedWord(const QString &text);
// Base64 in lines of 76 characters, each ending in CR LF.
QByteArray Base64Lines(const QByteArray &data);

} // namespace MimeParts
