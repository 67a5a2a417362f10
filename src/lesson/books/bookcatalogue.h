#pragma once

#include "base/namevaluelist.h"

#include <QList>
#include <QString>
#include <QStringList>

// One lesson of an image book: its title and page range.
struct TLesson {
    QString title;
    int firstPage = 0;
    int lastPage = 0;
};

// One course book of the library as the catalogue describes it.
struct tbook {
    int number = 0;
    int firstPage = -1;
    int lastPage = 0;
    QString title;
    bool html = false;
    QList<TLesson> lessons;
    QStringList pageRecordings;  // by page 0..lastPage: recording indexes joined by ";"
    QStringList recordingTitles; // index 0 empty, k the k-th recording title
};

// Book file types; also the "filetype" values of the download request.
enum BookFileType { PageImage = 1, Recording = 2, Video = 3, HtmlStart = 4 };

// The course-book library of the signed-in user and the catalogue file behind it.
class BookCatalogue {
public:
    // Fills the library from the catalogue file: a book is kept when bookids (";"-separated)
    // lists it; with an empty list teacher-side users (types 1-3) keep every book.
    static void LoadBookLibrary(const QString &bookIds, int userType);
    static const QList<tbook> &Library();
    static void ClearLibrary();
    // Parses a catalogue's lines into book records (without filtering).
    static tbook ParseBook(const NameValueList &catalogue, int number);

    // Full path of a book's file: books/NN/007.jpg, a002.mp3, v001.avi or index.htm.
    static QString BookFilePath(int book, int index, int fileType);
    static QString BookFolder(int book);

    // Replaces the catalogue with a sign-in answer's first section: takes its BooksVersion,
    // purges the books named by DeleteBooks, removes that line and writes the rest as the
    // catalogue file (whole or not at all). Raises AppError when the file cannot be written.
    static void StoreCatalogue(NameValueList &answer);
    // Deletes every file directly in the folders of the listed books (";"-separated),
    // stopping at the first file that cannot be deleted.
    static void PurgeBooks(const QString &bookList);
    // The "BooksVersion" of the catalogue file, empty when there is none.
    static QString CatalogueVersion();
};
