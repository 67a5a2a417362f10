#include "base/locations.h"
#include "lang/textutil.h"
#include "lesson/books/bookcatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Catalogue : public testing::Test {
protected:
    void SetUp() override { InitLocations(dir.path() + QStringLiteral("/tellavo")); }
    void writeCatalogue(const QString &text) {
        QFile file(AppLocations().booksIni);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ToWin1250(text));
    }
    QList<int> loadedNumbers() {
        QList<int> numbers;
        for (const tbook &b : BookCatalogue::Library())
            numbers.append(b.number);
        return numbers;
    }
    void touch(const QString &path) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir;
};

TEST_F(Catalogue, BookFilePaths) {
    const QString books = AppLocations().booksFolder;
    EXPECT_EQ(BookCatalogue::BookFilePath(5, 12, PageImage), books + "/05/012.jpg");
    EXPECT_EQ(BookCatalogue::BookFilePath(12, 3, Recording), books + "/12/a003.mp3");
    EXPECT_EQ(BookCatalogue::BookFilePath(100, 9, HtmlStart), books + "/100/index.htm");
    EXPECT_EQ(BookCatalogue::BookFilePath(3, 1, Video), books + "/03/v001.avi");
    EXPECT_EQ(BookCatalogue::BookFilePath(3, 1234, PageImage), books + "/03/1234.jpg");
}

TEST_F(Catalogue, ParsesLessonsRecordingsAndHtmlBooks) {
    writeCatalogue(QStringLiteral(
        "BooksVersion=7\r\nBooks=3\r\nName1=English for Beginners\r\n"
        "Lessons1=Unit 1:1-10;Unit 2:11-18\r\nAudiopages1=3:1;3:2;12:3;0:4;99:5;x:6\r\n"
        "Audionames1=Dialogue 1;Dialogue 2;Song\r\nName2=Reading Club\r\nLessons2=HTML\r\n"
        "Name3=Odd\r\nLessons3=Unit 1:5-9;Unit 2:1-4;Bad:x-y\r\nAudionames3=;Second;;Fourth;\r\n"));
    BookCatalogue::LoadBookLibrary(QString(), 2);
    ASSERT_EQ(loadedNumbers(), (QList<int>{1, 2, 3}));
    const tbook &first = BookCatalogue::Library()[0];
    EXPECT_EQ(first.title, "English for Beginners");
    EXPECT_EQ(first.firstPage, 1);
    EXPECT_EQ(first.lastPage, 18);
    EXPECT_EQ(first.lessons.size(), 2);
    EXPECT_EQ(first.pageRecordings.size(), 19);
    EXPECT_EQ(first.pageRecordings[3], "1;2");
    EXPECT_EQ(first.pageRecordings[12], "3");
    EXPECT_EQ(first.pageRecordings[0], "");
    EXPECT_EQ(first.recordingTitles, (QStringList{"", "Dialogue 1", "Dialogue 2", "Song"}));
    const tbook &html = BookCatalogue::Library()[1];
    EXPECT_TRUE(html.html);
    EXPECT_EQ(html.firstPage, 0);
    EXPECT_EQ(html.lastPage, 0);
    EXPECT_TRUE(html.lessons.isEmpty());
    const tbook &odd = BookCatalogue::Library()[2];
    EXPECT_EQ(odd.firstPage, 5); // the first lesson gives the first page
    EXPECT_EQ(odd.lastPage, 0);  // the last lesson listed gives the last page
    EXPECT_EQ(odd.lessons[2].firstPage, 0);
    // A recording without a title keeps its number; the list's closing ";" adds none.
    EXPECT_EQ(odd.recordingTitles, (QStringList{"", "", "Second", "", "Fourth"}));
    EXPECT_EQ(BookCatalogue::CatalogueVersion(), "7");
}

// A catalogue that claims more books or pages than any library holds loads at once, without
// a list entry per claimed page.
TEST_F(Catalogue, HugeCountsAreBounded) {
    writeCatalogue(QStringLiteral("Books=2000000000\r\nName1=a\r\n"
                                  "Lessons1=U:1-2147483647;V:3-2000000000\r\nAudiopages1=3:1\r\n"
                                  "Lessons2=U:1-9999\r\n"));
    BookCatalogue::LoadBookLibrary(QStringLiteral("1;2;1000"), 4);
    ASSERT_EQ(loadedNumbers(), (QList<int>{1, 2}));
    const tbook &first = BookCatalogue::Library()[0];
    EXPECT_EQ(first.lastPage, 0);
    EXPECT_EQ(first.pageRecordings.size(), 1);
    EXPECT_EQ(BookCatalogue::Library()[1].lastPage, 9999);
    BookCatalogue::LoadBookLibrary(QString(), 2);
    EXPECT_EQ(BookCatalogue::Library().size(), 999);
}

struct FilterCase {
    const char *bookIds;
    int userType;
    QList<int> expected;
};

TEST_F(Catalogue, BookIdsFilterTheLibrary) {
    writeCatalogue(
        QStringLiteral("Books=5\r\nName1=a\r\nName2=b\r\nName3=c\r\nName4=d\r\nName5=e\r\n"));
    const FilterCase cases[] = {
        {"2;5", 4, {2, 5}},       {"5;2;9", 2, {2, 5}}, {"", 4, {}},
        {"", 3, {1, 2, 3, 4, 5}}, {"1", 1, {1}},        {"12", 4, {}},
    };
    for (const FilterCase &c : cases) {
        BookCatalogue::LoadBookLibrary(QString::fromLatin1(c.bookIds), c.userType);
        EXPECT_EQ(loadedNumbers(), c.expected) << c.bookIds << " type " << c.userType;
    }
    QFile::remove(AppLocations().booksIni);
    BookCatalogue::LoadBookLibrary(QString(), 1);
    EXPECT_TRUE(BookCatalogue::Library().isEmpty());
    EXPECT_TRUE(BookCatalogue::CatalogueVersion().isEmpty());
}

TEST_F(Catalogue, StoreCataloguePurgesListedBooksAndWritesTheRest) {
    touch(BookCatalogue::BookFilePath(3, 1, PageImage));
    touch(BookCatalogue::BookFilePath(3, 2, Recording));
    touch(BookCatalogue::BookFolder(3) + "/sub/keep.htm");
    touch(BookCatalogue::BookFilePath(4, 1, PageImage));
    touch(BookCatalogue::BookFilePath(7, 1, PageImage));
    NameValueList answer;
    answer.setText(QStringLiteral("BooksVersion=9\nDeleteBooks=3;7\nBooks=1\nName1=Nová kniha"));
    BookCatalogue::StoreCatalogue(answer);
    EXPECT_TRUE(QDir(BookCatalogue::BookFolder(3)).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QFile::exists(BookCatalogue::BookFolder(3) + "/sub/keep.htm"));
    EXPECT_TRUE(QFile::exists(BookCatalogue::BookFilePath(4, 1, PageImage)));
    EXPECT_FALSE(QFile::exists(BookCatalogue::BookFilePath(7, 1, PageImage)));
    QFile file(AppLocations().booksIni);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(),
              ToWin1250(QStringLiteral("BooksVersion=9\r\nBooks=1\r\nName1=Nová kniha\r\n")));
}

} // namespace
