#include "audiotestsupport.h"

#include "base/locations.h"
#include "lang/textutil.h"
#include "lesson/books/bookcatalogue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <utility>

QString UsePrivateSoundServer() {
    const QString folder = qEnvironmentVariable("TELLAVO_TEST_PULSE_DIR");
    if (folder.isEmpty())
        return QStringLiteral("TELLAVO_TEST_PULSE_DIR is not set (run the tests through ctest)");
    QFile skipped(folder + QStringLiteral("/skipped"));
    if (skipped.open(QIODevice::ReadOnly))
        return QString::fromUtf8(skipped.readAll()).trimmed();
    QFile server(folder + QStringLiteral("/server"));
    if (!server.open(QIODevice::ReadOnly))
        return QStringLiteral("the private sound server is not running");
    qputenv("PULSE_SERVER", server.readAll().trimmed());
    return {};
}

QString DemoRecording(const char *name) {
    return QStringLiteral(TELLAVO_ASSETS "/recordings/") + QLatin1String(name) +
           QStringLiteral(".mp3");
}

QByteArray TinyJpeg() {
    return QByteArray::fromBase64(
        "/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP//////////////////////////////////////////////////"
        "////////////////////////////////////wgALCAABAAEBAREA/8QAFBABAAAAAAAAAAAAAAAAAAAAAP/aAA"
        "gBAQABPxA=");
}

void WriteDemoLibrary() {
    QDir().mkpath(AppLocations().dataFolder);
    QFile catalogue(AppLocations().booksIni);
    catalogue.open(QIODevice::WriteOnly);
    catalogue.write(ToWin1250(QString::fromUtf8(
        "BooksVersion=1\r\nBooks=2\r\nName1=Angličtina pro začátečníky\r\n"
        "Lessons1=Lekce 1:1-4;Lekce 2:5-8;Lekce 3:9-12\r\nAudiopages1=2:1;3:2;10:3\r\n"
        "Audionames1=Představení;Pozdravy;Cesta na nádraží\r\nName2=Každodenní angličtina\r\n"
        "Lessons2=Unit 1:1-5;Unit 2:6-10\r\nAudiopages2=1:1;7:2;7:1;9:3\r\n"
        "Audionames2=Counting;Greetings;Song\r\n")));
    for (const auto &[book, pages] : {std::pair(1, 12), std::pair(2, 10)}) {
        for (int page = 1; page <= pages; ++page) {
            const QString path = BookCatalogue::BookFilePath(book, page, PageImage);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile picture(path);
            picture.open(QIODevice::WriteOnly);
            picture.write(TinyJpeg());
        }
    }
}

void StoreDemoRecording(int book, int index, const char *name) {
    const QString target = BookCatalogue::BookFilePath(book, index, Recording);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    QFile::copy(DemoRecording(name), target);
}

bool WaitUntil(const std::function<bool()> &condition, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

void Spin(int milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}
