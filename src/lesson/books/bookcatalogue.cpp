#include "lesson/books/bookcatalogue.h"

#include "base/locations.h"
#include "errors/apperror.h"
#include "lang/textutil.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace {

QList<tbook> g_library;

NameValueList readCatalogue() {
    NameValueList catalogue;
    QFile file(AppLocations().booksIni);
    if (file.open(QIODevice::ReadOnly))
        catalogue.setText(FromWin1250(file.readAll()));
    return catalogue;
}

int numberOr0(const QString &text) {
    return ParseInteger(text).value_or(0);
}

// What a catalogue may describe: more books or pages than any library holds would only make
// the client loop or allocate without end (a page list is kept per page, a menu item made
// per page). A page number beyond the bound reads as 0, like one that is no number.
constexpr int kMaxBooks = 999;
constexpr int kMaxPage = 9999;

int pageOr0(const QString &text) {
    const int page = numberOr0(text);
    return page <= kMaxPage ? page : 0;
}

void parseLessons(tbook &book, const QString &lessons) {
    for (const QString &element : lessons.split(u';', Qt::SkipEmptyParts)) {
        QString rest = element;
        TLesson lesson;
        lesson.title = SplitSection(rest, u":");
        const QString first = SplitSection(rest, u"-");
        lesson.firstPage = pageOr0(first);
        lesson.lastPage = pageOr0(rest);
        book.lessons.append(lesson);
        if (book.firstPage == -1)
            book.firstPage = lesson.firstPage;
        book.lastPage = lesson.lastPage;
    }
}

void parseRecordings(tbook &book, const QString &audioPages, const QString &audioNames) {
    book.pageRecordings = QStringList(qMax(book.lastPage, 0) + 1, QString());
    for (const QString &element : audioPages.split(u';', Qt::SkipEmptyParts)) {
        QString rest = element;
        const std::optional<int> page = ParseInteger(SplitSection(rest, u":"));
        if (!page || *page < 1 || *page > book.lastPage)
            continue;
        QString &entry = book.pageRecordings[*page];
        entry += (entry.isEmpty() ? QString() : QStringLiteral(";")) + rest;
    }
    // Titles are numbered by their place: an empty one keeps its place, so the later ones
    // keep their numbers.
    book.recordingTitles = QStringList{QString()};
    QString rest = audioNames;
    while (!rest.isEmpty())
        book.recordingTitles.append(SplitSection(rest, u";"));
}

} // namespace

tbook BookCatalogue::ParseBook(const NameValueList &catalogue, int number) {
    const QString n = QString::number(number);
    tbook book;
    book.number = number;
    book.title = catalogue.value(QStringLiteral("Name") + n);
    const QString lessons = catalogue.value(QStringLiteral("Lessons") + n);
    if (lessons.compare(u"html", Qt::CaseInsensitive) == 0) {
        book.html = true;
        book.firstPage = 0;
    } else {
        parseLessons(book, lessons);
    }
    parseRecordings(book, catalogue.value(QStringLiteral("Audiopages") + n),
                    catalogue.value(QStringLiteral("Audionames") + n));
    return book;
}

void BookCatalogue::LoadBookLibrary(const QString &bookIds, int userType) {
    const NameValueList catalogue = readCatalogue();
    g_library.clear();
    const int count = std::min(numberOr0(catalogue.value(u"Books")), kMaxBooks);
    const QString allowed = u';' + bookIds + u';';
    const bool everyBook = bookIds.isEmpty() && userType >= 1 && userType <= 3;
    for (int n = 1; n <= count; ++n) {
        if (everyBook || allowed.contains(QStringLiteral(";%1;").arg(n)))
            g_library.append(ParseBook(catalogue, n));
    }
}

const QList<tbook> &BookCatalogue::Library() {
    return g_library;
}

void BookCatalogue::ClearLibrary() {
    g_library.clear();
}

QString BookCatalogue::BookFolder(int book) {
    return QDir(AppLocations().booksFolder)
        .filePath(QStringLiteral("%1").arg(book, 2, 10, QLatin1Char('0')));
}

QString BookCatalogue::BookFilePath(int book, int index, int fileType) {
    const QString padded = QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0'));
    QString name;
    switch (fileType) {
    case PageImage:
        name = padded + QStringLiteral(".jpg");
        break;
    case Recording:
        name = u'a' + padded + QStringLiteral(".mp3");
        break;
    case Video:
        name = u'v' + padded + QStringLiteral(".avi");
        break;
    default:
        name = QStringLiteral("index.htm");
    }
    return QDir(BookFolder(book)).filePath(name);
}

void BookCatalogue::StoreCatalogue(NameValueList &answer) {
    PurgeBooks(answer.value(u"DeleteBooks"));
    answer.setValue(QStringLiteral("DeleteBooks"), QString());
    EnsureDataFolder();
    QSaveFile file(AppLocations().booksIni);
    QByteArray bytes;
    for (const QString &line : answer.lines())
        bytes += ToWin1250(line) + "\r\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(file.errorString());
}

void BookCatalogue::PurgeBooks(const QString &bookList) {
    for (const QString &element : bookList.split(u';', Qt::SkipEmptyParts)) {
        const QDir folder(BookFolder(numberOr0(element)));
        for (const QFileInfo &info :
             folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
            QFile file(info.absoluteFilePath());
            file.setPermissions(file.permissions() | QFile::WriteOwner);
            if (!file.remove())
                return;
        }
    }
}

QString BookCatalogue::CatalogueVersion() {
    return readCatalogue().value(u"BooksVersion");
}
