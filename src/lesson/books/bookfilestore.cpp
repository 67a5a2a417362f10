#include "lesson/books/bookfilestore.h"

#include "base/logging.h"
#include "lang/textutil.h"
#include "lesson/books/extractarchive.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool writeWhole(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    qCWarning(lcLesson) << "cannot store" << path << file.errorString();
    return false;
}

void removeFile(const QString &path) {
    if (QFileInfo(path).isSymLink() || QFileInfo::exists(path))
        QFile::remove(path);
}

} // namespace

bool StoreBookFile(const QByteArray &body, const QString &target, int fileType) {
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        return false;
    removeFile(target);
    if (fileType != HtmlStart)
        return writeWhole(target, body);
    const QString archive = target + QStringLiteral(".zip");
    if (!writeWhole(archive, body))
        return false;
    ExtractReport report;
    ExtractArchive(archive, folder, &report);
    QFile::remove(archive);
    return true;
}

QList<int> PageRecordings(const tbook &book, int page) {
    QList<int> recordings;
    if (page < 0 || page >= book.pageRecordings.size())
        return recordings;
    for (const QString &element : book.pageRecordings[page].split(u';', Qt::SkipEmptyParts)) {
        const std::optional<int> index = ParseInteger(element);
        if (index && *index >= 1 && *index < book.recordingTitles.size())
            recordings.append(*index);
    }
    return recordings;
}

void DeletePageFiles(const tbook &book, int page) {
    if (book.html) {
        QDirIterator files(BookCatalogue::BookFolder(book.number),
                           QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        while (files.hasNext())
            QFile::remove(files.next());
        return;
    }
    removeFile(BookCatalogue::BookFilePath(book.number, page, PageImage));
    for (int recording : PageRecordings(book, page))
        removeFile(BookCatalogue::BookFilePath(book.number, recording, Recording));
}
