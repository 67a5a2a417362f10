#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Full form encoding of a byte text (callers convert user-typed text to UTF-8 first):
// letters, digits and ! $ ' ( ) * - . @ _ stay, the blank becomes "+", every other byte
// becomes "%" and two uppercase hexadecimal digits.
QByteArray FormEncode(QByteArrayView text);

// The runner's transport encoding of one form value: every byte is kept except the blank,
// # % * < > [ ], bytes below 33 and bytes above 128, which become "%" and two uppercase
// hexadecimal digits.
QByteArray TransportEncodeValue(QByteArrayView value);

// The body of a form post built from a data text: the text is split at every "&" into
// name=value items; each non-empty value (the part after the first "=") is transport-encoded,
// names and empty values stay as they are; the items are joined with "&" again.
QByteArray TransportEncodeForm(QByteArrayView data);
