#pragma once

#include <QList>
#include <QString>

// The pages named by a selection text of page numbers and ranges separated by commas
// ("1-3,5", "7-" up to the last page, "-2" from the first), in the order named, limited to
// 1..pageCount; parts that are no page numbers are skipped.
QList<int> ParsePageSelection(const QString &text, int pageCount);
