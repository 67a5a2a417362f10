#include "server/seed/bookmaker.h"

#include "errors/apperror.h"
#include "server/actions/fileactions.h"
#include "server/seed/pagepainter.h"
#include "server/store/schooldatabase.h"
#include "server/seed/zipwriter.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QSaveFile>

// The recordings live in the library's resources, which a static library must register.
static void InitServerAssets() {
    Q_INIT_RESOURCE(serverassets);
}

namespace {

struct DemoBook {
    int number;
    QString name;
    QString lessons;
    QString audioPages;
    QString audioNames;
    QStringList recordings; // resource names, in recording order
    int pages;
    QColor accent;
};

QList<DemoBook> DemoBooks() {
    return {
        {1,
         QStringLiteral("Angličtina pro začátečníky"),
         QStringLiteral("Lekce 1 - Pozdravy:1-4;Lekce 2 - Rodina:5-8;Lekce 3 - Ve městě:9-12"),
         QStringLiteral("2:1;3:2;10:3"),
         QStringLiteral("Představení;Pozdravy;Cesta na nádraží"),
         {QStringLiteral("introduction"), QStringLiteral("greetings"),
          QStringLiteral("directions")},
         12,
         QColor(40, 110, 180)},
        {2,
         QStringLiteral("Každodenní angličtina"),
         QStringLiteral("Unit 1 - At home:1-5;Unit 2 - Shopping:6-10"),
         QStringLiteral("1:1;7:2;7:1"),
         QStringLiteral("Counting;Greetings"),
         {QStringLiteral("counting"), QStringLiteral("greetings")},
         10,
         QColor(200, 90, 40)},
        {3,
         QStringLiteral("Čtenářský klub"),
         QStringLiteral("html"),
         QString(),
         QString(),
         {},
         0,
         QColor()},
    };
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(QStringLiteral("cannot write %1").arg(path));
}

QByteArray Resource(const QString &name) {
    QFile file(QStringLiteral(":/recordings/") + name + QStringLiteral(".mp3"));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("recording %1 missing from the program").arg(name));
    return file.readAll();
}

QByteArray HtmlPage(const QString &title, const QString &body) {
    return (QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                           "<link rel=\"stylesheet\" href=\"style.css\"><title>") +
            title + QStringLiteral("</title></head>\n<body>\n<h1>") + title +
            QStringLiteral("</h1>\n") + body + QStringLiteral("\n</body></html>\n"))
        .toUtf8();
}

QByteArray HtmlBook(const QDateTime &now) {
    ZipWriter zip(now);
    zip.add(QStringLiteral("index.htm"),
            HtmlPage(QStringLiteral("Čtenářský klub"),
                     QStringLiteral("<p>Krátké texty ke čtení a diskusi. Short texts to read and "
                                    "talk about.</p>\n<ul><li><a href=\"story1.htm\">A Day in "
                                    "Prague</a></li>\n<li><a href=\"story2.htm\">The Lost "
                                    "Umbrella</a></li></ul>")));
    zip.add(QStringLiteral("story1.htm"),
            HtmlPage(QStringLiteral("A Day in Prague"),
                     QStringLiteral("<p>Anna wakes up early. She takes the tram to the Old Town "
                                    "Square and watches the astronomical clock.</p>\n<p><b>Otázky:"
                                    "</b> Where does Anna go? What does she watch?</p>\n"
                                    "<p><a href=\"index.htm\">Zpět / Back</a></p>")));
    zip.add(QStringLiteral("story2.htm"),
            HtmlPage(QStringLiteral("The Lost Umbrella"),
                     QStringLiteral("<p>It is raining in Bratislava. Peter cannot find his "
                                    "umbrella. Was it on the bus?</p>\n<p><b>Slovíčka:</b> "
                                    "umbrella - deštník, rain - déšť</p>\n"
                                    "<p><a href=\"index.htm\">Zpět / Back</a></p>")));
    zip.add(QStringLiteral("style.css"),
            QByteArrayLiteral("body { font-family: sans-serif; margin: 2em; }\n"
                              "h1 { color: #2a6eb4; }\n"));
    return zip.finish();
}

} // namespace

void SeedBooks(SchoolDatabase &db, const QString &dataFolder, const QDateTime &now) {
    InitServerAssets();
    for (const DemoBook &book : DemoBooks()) {
        const QString folder =
            dataFolder + QStringLiteral("/books/") + BookFolderName(book.number) + QLatin1Char('/');
        if (!QDir().mkpath(folder))
            throw AppError(QStringLiteral("cannot create %1").arg(folder));
        for (int page = 1; page <= book.pages; ++page)
            WriteFile(folder + BookFileName(1, page),
                      PaintBookPage(book.number, page, book.accent));
        for (int i = 0; i < book.recordings.size(); ++i)
            WriteFile(folder + BookFileName(2, i + 1), Resource(book.recordings[i]));
        if (book.lessons == QLatin1String("html"))
            WriteFile(folder + BookFileName(4, 0), HtmlBook(now));
        db.run(QStringLiteral("INSERT INTO BOOKS (IDBOOK, NAME, LESSONS, AUDIOPAGES, AUDIONAMES,"
                              " VERSION) VALUES (?, ?, ?, ?, ?, 1)"),
               {book.number, book.name, book.lessons, book.audioPages, book.audioNames});
    }
    db.run(QStringLiteral("INSERT INTO SERVERINFO (NAME, VALUE) VALUES (?, ?)"),
           {QStringLiteral("BooksVersion"), QStringLiteral("1")});
}
