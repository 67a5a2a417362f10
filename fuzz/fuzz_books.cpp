// The book catalogue as the server wrote it into books.ini (Windows-1250 name=value lines):
// any file loads into a library without a crash, each book's recordings by page cover its
// pages, and every book file's path stays in the books folder.
#include "base/locations.h"
#include "fuzzcheck.h"
#include "lesson/books/bookcatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static QTemporaryDir dir;
    static const bool located =
        (InitLocations(dir.filePath(QStringLiteral("tellavo"))), EnsureDataFolder());
    FUZZ_CHECK(located);
    if (size < 1)
        return 0;
    QFile file(AppLocations().booksIni);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(reinterpret_cast<const char *>(data) + 1, qint64(size) - 1);
    file.close();
    // The first byte: the user type (teacher side 1-3 keeps every book) and a book filter.
    const int userType = 1 + data[0] % 4;
    const QString bookIds = data[0] & 0x80 ? QStringLiteral("1;2;3") : QString();
    BookCatalogue::LoadBookLibrary(bookIds, userType);
    (void)BookCatalogue::CatalogueVersion();
    const QString books = QDir(AppLocations().booksFolder).absolutePath() + u'/';
    for (const tbook &book : BookCatalogue::Library()) {
        FUZZ_CHECK(book.html || book.pageRecordings.size() == qMax(book.lastPage, 0) + 1);
        FUZZ_CHECK(!book.recordingTitles.isEmpty() && book.recordingTitles.first().isEmpty());
        for (const int type : {PageImage, Recording, Video, HtmlStart}) {
            const QString path = BookCatalogue::BookFilePath(book.number, book.lastPage, type);
            FUZZ_CHECK(QDir::cleanPath(QDir(books).absoluteFilePath(path)).startsWith(books));
        }
    }
    BookCatalogue::ClearLibrary();
    return 0;
}
