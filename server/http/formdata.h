#pragma once

#include <QByteArray>
#include <QHash>
#include <optional>

// Name=value items of a query string or form body. Values are percent-decoded only: the
// client writes a blank as %20, so a "+" in a value is a literal plus sign.
using FormFields = QHash<QByteArray, QByteArray>;
FormFields ParseFormFields(const QByteArray &text);
// The same for a body from the network: nothing when it holds more than maxFields items.
std::optional<FormFields> ParseBoundedFormFields(const QByteArray &text, int maxFields);

// Undoes the transport encoding of the tail of a form body as the client made it: it split its
// data text at every "&" and encoded only the part after the first "=" of each item, so a
// value that itself held "&" arrives as several items whose later names are raw text.
QByteArray JoinTransportItems(const QByteArray &tail);

// Undoes the client's full form encoding ("+" for a blank, %XX for other bytes), which it
// applies to user-typed values on top of the transport encoding.
QByteArray FullFormDecode(const QByteArray &value);

// The bytes of one field of a multipart/form-data body, or nothing when the body or its
// content type is malformed or the field is missing.
std::optional<QByteArray> MultipartField(const QByteArray &body, const QByteArray &contentType,
                                         const QByteArray &fieldName);
