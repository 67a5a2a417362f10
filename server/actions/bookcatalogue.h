#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class SchoolDatabase;

// The version of the server's course-book catalogue ("" when the school has no books).
QString CatalogueVersion(SchoolDatabase &db);
// The catalogue as name=value lines for a client whose catalogue has the given version:
// BooksVersion, DeleteBooks (books changed since that version, or every book when the
// version is unknown), Books and the Name/Lessons/Audiopages/Audionames lines per book.
QStringList CatalogueLines(SchoolDatabase &db, const QString &clientVersion);
// Whether the user may use the book: a client only the books listed for him, staff and
// teachers every book unless their own list names some.
bool MayUseBook(int userType, const QString &bookIds, int book);
