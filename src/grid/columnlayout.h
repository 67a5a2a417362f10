#pragma once

#include "grid/columndef.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The stored form of a grid's column list: a versioned byte layout that keeps, for every
// column in display order, its field name, caption, width, visibility, alignment, button
// style, pick list and the title and cell font colours; written to the configuration store
// as upper-case hexadecimal text.
QByteArray SerializeColumns(const TColumnList &columns);
// The column list of serialized bytes; nothing when the bytes are not a complete, valid
// layout (truncated, trailing bytes, unknown version or out-of-range values).
std::optional<TColumnList> DeserializeColumns(QByteArrayView bytes);

// Each byte as two upper-case hexadecimal digits, without separators or line end.
QString LayoutToHex(const QByteArray &bytes);
// The bytes of hexadecimal text (either case; surrounding blanks ignored); nothing when the
// text has an odd length or a character that is not a hexadecimal digit.
std::optional<QByteArray> LayoutFromHex(const QString &text);
