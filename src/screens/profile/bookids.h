#pragma once

#include <QList>
#include <QString>

// Whether a book number is listed in a ";"-separated BOOKIDS text: ";" number ";" must occur
// in ";" text ";", so 1 is not taken for listed when only 10 is.
bool BookListed(const QString &bookIds, int book);
// The BOOKIDS text of the given book numbers, in their order, joined with ";" (empty for none).
QString JoinBookIds(const QList<int> &books);
