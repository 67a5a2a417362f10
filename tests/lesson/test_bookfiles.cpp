// Downloading course-book files from the reference server and a scripted one, and reloading
// a page's files.
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lesson/books/bookfiles.h"
#include "loopbackhttpserver.h"
#include "net/progressdialog.h"
#include "net/requestrunner.h"
#include "net/settings/settings.h"
#include "qtprinters.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Touch(const QString &path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// Looks at the visible progress dialog every few milliseconds while a request runs.
class DialogWatcher {
public:
    explicit DialogWatcher(std::function<void(RequestProgressDialog *)> look = {})
        : m_look(std::move(look)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                auto *dialog = qobject_cast<RequestProgressDialog *>(widget);
                if (!dialog || !dialog->isVisible())
                    continue;
                if (!titles.contains(dialog->windowTitle()))
                    titles.append(dialog->windowTitle());
                if (m_look)
                    m_look(dialog);
            }
        });
        m_timer.start(2);
    }
    QStringList titles;

private:
    QTimer m_timer;
    std::function<void(RequestProgressDialog *)> m_look;
};

class BookFiles : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        Settings() = AppSettings();
        Settings().useSsl = false;
        useServer(QStringLiteral("127.0.0.1:%1").arg(server.httpPort()));
        SessionValues().setText(QStringLiteral("sesid=") + server.signIn(QStringLiteral("klient")));
    }
    void TearDown() override {
        SessionValues().clear();
        CurrentConnectionTarget() = {};
        Settings() = AppSettings();
    }
    void useServer(const QString &hostAndPort) {
        CurrentConnectionTarget() = {hostAndPort, QStringLiteral("/tellavo/client.php")};
    }
    QString serverFile(const char *relative) const {
        return server.dataFolder() + QStringLiteral("/books/") + QLatin1String(relative);
    }

    QTemporaryDir dir;
    ScriptedSeam seam;
    ServerHarness server;
    RequestRunner runner;
};

TEST_F(BookFiles, PageAndRecordingAreStoredAtTheirPaths) {
    DialogWatcher watcher;
    const QString page = BookCatalogue::BookFilePath(1, 3, PageImage);
    const QString recording = BookCatalogue::BookFilePath(1, 2, Recording);
    ASSERT_TRUE(DownloadBookFile(1, 3, PageImage, PageDownloadCaption(3), page));
    ASSERT_TRUE(DownloadBookFile(1, 2, Recording, RecordingDownloadCaption("Pozdravy"), recording));
    EXPECT_EQ(ReadFile(page), ReadFile(serverFile("01/003.jpg")));
    EXPECT_EQ(ReadFile(recording), ReadFile(serverFile("01/a002.mp3")));
    EXPECT_GT(ReadFile(recording).size(), 1000);
    EXPECT_EQ(watcher.titles, QStringList({QString::fromUtf8("Stahování strany 3"),
                                           QString::fromUtf8("Stahování audia Pozdravy")}));
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

TEST_F(BookFiles, HtmlBookIsExtractedIntoItsFolder) {
    const QString start = BookCatalogue::BookFilePath(3, 0, HtmlStart);
    Touch(BookCatalogue::BookFolder(3) + QStringLiteral("/story1.htm")); // an old copy
    ASSERT_TRUE(DownloadBookFile(3, 0, HtmlStart, PageDownloadCaption(0), start));
    const QDir folder(BookCatalogue::BookFolder(3));
    EXPECT_EQ(folder.entryList(QDir::Files, QDir::Name),
              QStringList({"index.htm", "story1.htm", "story2.htm", "style.css"}));
    EXPECT_TRUE(ReadFile(start).contains("story1.htm"));
    EXPECT_TRUE(ReadFile(folder.filePath("story1.htm")).contains("A Day in Prague"));
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

TEST_F(BookFiles, RefusedDownloadStoresNothing) {
    const QString page = BookCatalogue::BookFilePath(1, 99, PageImage);
    EXPECT_FALSE(DownloadBookFile(1, 99, PageImage, PageDownloadCaption(99), page));
    EXPECT_FALSE(QFileInfo::exists(page));
    EXPECT_EQ(seam.boxTexts(),
              QStringList(QString::fromUtf8("Operace neproběhla úspěšně.\rSoubor nebyl nalezen.")));
}

TEST_F(BookFiles, UnwritableTargetSaysSoAndLeavesNothing) {
    QDir().mkpath(AppLocations().dataFolder);
    Touch(AppLocations().booksFolder); // a file where the books folder belongs
    const QString page = BookCatalogue::BookFilePath(1, 3, PageImage);
    EXPECT_FALSE(DownloadBookFile(1, 3, PageImage, PageDownloadCaption(3), page));
    EXPECT_FALSE(QFileInfo::exists(page));
    EXPECT_EQ(seam.boxTexts(),
              QStringList(QString::fromUtf8("Stahovaný soubor nelze uložit na disk!")));
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].type, 1); // an error box
}

// What the body of a reply makes of the download, from a scripted server.
TEST_F(BookFiles, BodyDecidesBetweenFileAndRefusal) {
    LoopbackHttpServer scripted;
    ASSERT_TRUE(scripted.start());
    useServer(scripted.hostAndPort());
    const struct {
        const char *name;
        int status;
        QByteArray body;
        bool stored;
        QString box;
    } cases[] = {
        {"file beginning with ok", 200, "ok, a file after all", true, {}},
        {"binary file", 200, QByteArray("\xff\xd8\xff\xe0 JFIF\0 picture", 18), true, {}},
        {"refusal", 200, "errorKniha nen\xc3\xad dostupn\xc3\xa1.", false,
         QString::fromUtf8("Operace neproběhla úspěšně.\rKniha není dostupná.")},
        {"empty body", 200, {}, false, {}},
        {"server error", 500, "trouble", false,
         QString::fromUtf8("Chyba během komunikace se serverem.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        seam.boxes.clear();
        LoopbackReply reply;
        reply.status = c.status;
        reply.body = c.body;
        scripted.replies.enqueue(reply);
        const QString page = BookCatalogue::BookFilePath(2, 5, PageImage);
        QFile::remove(page);
        EXPECT_EQ(DownloadBookFile(2, 5, PageImage, PageDownloadCaption(5), page), c.stored);
        EXPECT_EQ(ReadFile(page), c.stored ? c.body : QByteArray());
        if (c.box.isEmpty())
            EXPECT_EQ(seam.boxTexts(), QStringList());
        else
            EXPECT_TRUE(!seam.boxTexts().isEmpty() && seam.boxTexts()[0].startsWith(c.box))
                << seam.boxTexts().join(u'|').toStdString();
        ASSERT_FALSE(scripted.received.isEmpty());
        EXPECT_EQ(scripted.received.last().body, "bookid=2&fileid=5&filetype=1");
    }
}

TEST_F(BookFiles, CancelledDownloadLeavesNothing) {
    LoopbackHttpServer scripted;
    ASSERT_TRUE(scripted.start());
    useServer(scripted.hostAndPort());
    LoopbackReply slow;
    slow.body = QByteArray(300000, 'j');
    slow.chunkSize = 4096;
    slow.chunkDelayMs = 10;
    scripted.replies.enqueue(slow);
    DialogWatcher watcher([](RequestProgressDialog *dialog) {
        if (dialog->upperText().startsWith(QString::fromUtf8("Přenos dat :")))
            dialog->cancelButton()->click();
    });
    const QString recording = BookCatalogue::BookFilePath(2, 1, Recording);
    EXPECT_FALSE(
        DownloadBookFile(2, 1, Recording, RecordingDownloadCaption("Counting"), recording));
    EXPECT_FALSE(QFileInfo::exists(recording));
    EXPECT_FALSE(QFileInfo::exists(BookCatalogue::BookFolder(2)));
    EXPECT_EQ(seam.boxTexts(),
              QStringList(QString::fromUtf8("Komunikace se serverem byla přerušena.")));
}

TEST_F(BookFiles, ReloadDeletesTheShownPagesFiles) {
    NameValueList catalogue;
    catalogue.setText(QStringLiteral("Books=2\nName1=Obrázky\nLessons1=L1:1-4\n"
                                     "Audiopages1=3:2;3:9;3:x;4:1\nAudionames1=A;B\n"
                                     "Name2=Web\nLessons2=html"));
    const tbook images = BookCatalogue::ParseBook(catalogue, 1);
    const tbook html = BookCatalogue::ParseBook(catalogue, 2);
    EXPECT_EQ(PageRecordings(images, 3), QList<int>({2}));
    const QStringList kept = {BookCatalogue::BookFilePath(1, 4, PageImage),
                              BookCatalogue::BookFilePath(1, 1, Recording)};
    const QStringList gone = {BookCatalogue::BookFilePath(1, 3, PageImage),
                              BookCatalogue::BookFilePath(1, 2, Recording),
                              BookCatalogue::BookFilePath(2, 0, HtmlStart),
                              BookCatalogue::BookFolder(2) + QStringLiteral("/img/a.png"),
                              BookCatalogue::BookFolder(2) + QStringLiteral("/story.htm")};
    for (const QString &path : kept + gone)
        Touch(path);
    ReloadPageFiles(images, 3);
    ReloadPageFiles(html, 0);
    for (const QString &path : kept)
        EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
    for (const QString &path : gone)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
}

} // namespace
