// Extracting ZIP archives: archives written by other tools, and hand-made broken ones.
#include "lesson/books/extractarchive.h"
#include "lesson/books/zipinflate.h"
#include "zipfixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <string>

namespace {

using Tree = std::map<std::string, std::string>;

// A file's content as a test failure shows it: short ones as they are, others by size and CRC.
std::string Shown(const QByteArray &content) {
    if (content.size() <= 40)
        return content.toStdString();
    return QStringLiteral("<%1 bytes, CRC %2>")
        .arg(content.size())
        .arg(Crc32Of(content), 8, 16, QLatin1Char('0'))
        .toStdString();
}

// Every file below the folder by its relative path, with its content.
Tree TreeOf(const QString &folder) {
    Tree tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        file.open(QIODevice::ReadOnly);
        tree[QDir(folder).relativeFilePath(file.fileName()).toStdString()] = Shown(file.readAll());
    }
    return tree;
}

void WriteFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray Pseudorandom(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    return bytes;
}

FixtureEntry Entry(const char *name, const QByteArray &content, quint16 method = 8) {
    FixtureEntry e;
    e.name = name;
    e.content = content;
    e.method = method;
    return e;
}

template <typename Change>
FixtureEntry Entry(const char *name, const QByteArray &content, quint16 method, Change change) {
    FixtureEntry e = Entry(name, content, method);
    change(e);
    return e;
}

class ExtractArchiveTest : public testing::Test {
protected:
    QString path(const QString &relative) const { return dir.filePath(relative); }
    QString folder(const QString &relative) const {
        QDir().mkpath(path(relative));
        return path(relative);
    }
    QTemporaryDir dir;
};

TEST_F(ExtractArchiveTest, ResultsWhenNothingCanBeExtracted) {
    WriteFile(path("book.zip"), BuildZip({Entry("a.txt", "text")}));
    WriteFile(path("notes.txt"), "no archive at all, just some words");
    WriteFile(path("empty.zip"), {});
    folder("folder.zip");
    const struct {
        const char *archive;
        const char *target;
        int result;
    } cases[] = {
        {"missing.zip", "out", erArchiveMissing},
        {"book.zip", "missing-folder", erTargetMissing},
        {"folder.zip", "out", erCannotOpen},
        {"notes.txt", "out", 0},
        {"empty.zip", "out", 0},
    };
    folder("out");
    for (const auto &c : cases) {
        ExtractReport report;
        EXPECT_EQ(ExtractArchive(path(c.archive), path(c.target), &report), c.result) << c.archive;
        EXPECT_TRUE(report.written.isEmpty()) << c.archive;
    }
    EXPECT_FALSE(QFileInfo::exists(path("missing-folder")));
    EXPECT_TRUE(TreeOf(path("out")).empty());
}

// Archives written by Python's zipfile and, when installed, the zip program: every file comes
// back with its content, time and read-only attribute.
TEST_F(ExtractArchiveTest, ArchivesOfOtherToolsExtractWhole) {
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    const QString source = folder("source");
    WriteFile(source + "/index.htm", QByteArray("<p>Lesson line</p>\n").repeated(3000));
    WriteFile(source + QString::fromUtf8("/čtení.htm"), "<p>Ahoj</p>");
    WriteFile(source + "/img/page.bin", Pseudorandom(70000, 7));
    WriteFile(source + "/img/empty.css", {});
    WriteFile(source + "/a/b/c/readonly.txt", "keep me");
    folder("source/empty-folder");
    const QDateTime stamp(QDate(2021, 5, 6), QTime(7, 8, 10));
    {
        QFile index(source + "/index.htm");
        ASSERT_TRUE(index.open(QIODevice::ReadWrite));
        ASSERT_TRUE(index.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const Tree expected = TreeOf(source);
    const QString archives = folder("archives");
    QProcess make;
    make.start(python,
               {QStringLiteral(TELLAVO_TEST_SOURCE "/thirdpartyzips.py"), source, archives});
    ASSERT_TRUE(make.waitForFinished(60000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    QStringList names = {"plain.zip", "comment64k.zip", "streamed.zip", "nodirectory.zip",
                         "streamed-nodirectory.zip"};
    const QString zip = QStandardPaths::findExecutable(QStringLiteral("zip"));
    if (!zip.isEmpty()) {
        QProcess pack;
        pack.setWorkingDirectory(source);
        pack.start(zip, {"-q", "-r", "-X", archives + "/infozip.zip", "."});
        ASSERT_TRUE(pack.waitForFinished(60000));
        QProcess stream; // to a pipe: sizes and CRC follow each file's data
        stream.setWorkingDirectory(source);
        stream.start(zip, {"-q", "-r", "-X", "-", "."});
        ASSERT_TRUE(stream.waitForFinished(60000));
        WriteFile(archives + "/infozip-streamed.zip", stream.readAllStandardOutput());
        names << "infozip.zip"
              << "infozip-streamed.zip";
    }
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        const QString target = folder("out-" + name);
        ExtractReport report;
        ASSERT_EQ(ExtractArchive(archives + "/" + name, target, &report), 0);
        EXPECT_EQ(report.skipped, QStringList());
        EXPECT_EQ(report.error, QString());
        EXPECT_EQ(TreeOf(target), expected);
        EXPECT_TRUE(QFileInfo(target + "/empty-folder").isDir());
        if (name.contains("nodirectory"))
            continue; // local headers carry no attributes
        EXPECT_EQ(QFileInfo(target + "/index.htm").lastModified(), stamp);
        if (name.startsWith("infozip"))
            continue; // the zip program keeps the Unix mode only
        EXPECT_FALSE(QFile::permissions(target + "/a/b/c/readonly.txt") & QFile::WriteOwner);
        EXPECT_TRUE(QFile::permissions(target + "/index.htm") & QFile::WriteOwner);
    }
}

TEST_F(ExtractArchiveTest, OverwritesFilesButNeverWritesThroughLinks) {
    const QString target = folder("target");
    const QString outside = path("outside.txt");
    WriteFile(outside, "outside");
    WriteFile(target + "/page.htm", "old page");
    WriteFile(target + "/locked.htm", "old locked");
    QFile::setPermissions(target + "/locked.htm", QFile::ReadOwner);
    ASSERT_TRUE(QFile::link(outside, target + "/linked.htm"));
    ASSERT_TRUE(QFile::link(folder("elsewhere"), target + "/sub"));
    WriteFile(path("book.zip"),
              BuildZip({Entry("page.htm", "new page"), Entry("locked.htm", "new locked", 0),
                        Entry("linked.htm", "new linked"),
                        Entry("sub/", {}, 0, [](FixtureEntry &e) { e.externalAttributes = 0x10; }),
                        Entry("sub/inner.htm", "inner")}));
    ExtractReport report;
    ASSERT_EQ(ExtractArchive(path("book.zip"), target, &report), 0);
    Tree tree = TreeOf(target);
    EXPECT_EQ(tree["page.htm"], "new page");
    EXPECT_EQ(tree["locked.htm"], "new locked");
    EXPECT_TRUE(QFile::permissions(target + "/locked.htm") & QFile::WriteOwner);
    EXPECT_EQ(tree["linked.htm"], "new linked");
    EXPECT_FALSE(QFileInfo(target + "/linked.htm").isSymLink());
    EXPECT_EQ(TreeOf(path("elsewhere")), Tree());
    EXPECT_EQ(report.skipped.size(), 2) << report.skipped.join(" | ").toStdString();
    QFile out(outside);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "outside");
}

// One broken archive: its entries, how the archive around them is broken, and what must come
// out of it.
struct BrokenCase {
    BrokenCase(const char *title, QList<FixtureEntry> list, QMap<QString, int> extracted,
               QStringList missing = {})
        : name(title), entries(std::move(list)), present(std::move(extracted)),
          absent(std::move(missing)) {}
    BrokenCase &cut(int bytes) { return cutFromEnd = bytes, *this; }
    BrokenCase &count(int value) { return layout.countInEnd = value, *this; }
    BrokenCase &noDirectory() { return layout.directory = false, *this; }
    BrokenCase &comment(const QByteArray &text) { return layout.comment = text, *this; }
    BrokenCase &stops(const QString &text) { return error = text, *this; }
    BrokenCase &total(qint64 bytes) { return limits.maxTotal = bytes, *this; }

    const char *name;
    QList<FixtureEntry> entries;
    QMap<QString, int> present; // extracted path -> index of the entry with its content
    QStringList absent;         // paths that must not exist below the target
    FixtureLayout layout;
    int cutFromEnd = 0; // bytes taken off the end of the built archive (negative: added)
    QString error;
    ZipLimits limits;
};

const QByteArray kText = QByteArray("Lesson text. ").repeated(80);
const QByteArray kNoise = Pseudorandom(600, 3);

QList<BrokenCase> BrokenCases() {
    const QString absolute = QDir::tempPath() + "/tellavo-zip-absolute.txt";
    const QList<FixtureEntry> two = {Entry("a.txt", kText), Entry("b.bin", kNoise, 0)};
    return {
        BrokenCase("cut in the last entry's data", two, {{"a.txt", 0}}, {"b.bin"}).cut(700),
        BrokenCase("cut in the central directory", two, {{"a.txt", 0}, {"b.bin", 1}}).cut(40),
        BrokenCase("count too high", two, {{"a.txt", 0}, {"b.bin", 1}}).count(9),
        BrokenCase("count too low", two, {{"a.txt", 0}, {"b.bin", 1}}).count(1),
        BrokenCase("bytes after the end record", two, {{"a.txt", 0}, {"b.bin", 1}})
            .comment("x")
            .cut(-5),
        BrokenCase("bad local signature",
                   {Entry("a.txt", kText, 8, [](FixtureEntry &e) { e.badLocalSignature = true; }),
                    Entry("b.txt", "fine")},
                   {{"b.txt", 1}}, {"a.txt"}),
        BrokenCase("names leaving the folder",
                   {Entry("../evil1.txt", "x"), Entry("a/../../evil2.txt", "x"),
                    Entry("..\\evil3.txt", "x"), Entry("C:\\..\\evil4.txt", "x"),
                    Entry(absolute.toUtf8().constData(), "x"), Entry("C:\\book\\ok.txt", "drive"),
                    Entry("sub//two.txt", "two"), Entry("./dot.txt", "dot")},
                   {{"book/ok.txt", 5}, {"sub/two.txt", 6}, {"dot.txt", 7}}, {absolute}),
        BrokenCase("inflates beyond the declared size",
                   {Entry("bomb.txt", QByteArray(5 << 20, '\0'), 8,
                          [](FixtureEntry &e) { e.declaredSize = 1000; }),
                    Entry("b.txt", "fine")},
                   {{"b.txt", 1}}, {"bomb.txt"}),
        BrokenCase(
            "absurd declared sizes",
            {Entry("huge.txt", kText, 8, [](FixtureEntry &e) { e.declaredSize = 0x7fffffff; }),
             Entry("ratio.txt", "tiny", 8, [](FixtureEntry &e) { e.declaredSize = 900000; }),
             Entry("stored.txt", "tiny", 0, [](FixtureEntry &e) { e.declaredSize = 40; }),
             Entry("b.txt", "fine")},
            {{"b.txt", 3}}, {"huge.txt", "ratio.txt", "stored.txt"}),
        BrokenCase("bound on the bytes written",
                   {Entry("1.txt", kText), Entry("2.txt", kText), Entry("3.txt", kText)},
                   {{"1.txt", 0}, {"2.txt", 1}}, {"3.txt"})
            .total(2 * kText.size() + 100),
        BrokenCase("CRC does not match",
                   {Entry("a.txt", kText, 8, [](FixtureEntry &e) { e.declaredCrc = 12345; }),
                    Entry("b.bin", kNoise, 0, [](FixtureEntry &e) { e.declaredCrc = 1; })},
                   {}, {"a.txt", "b.bin"}),
        BrokenCase(
            "damaged deflate data",
            {Entry("a.txt", kText, 8, [](FixtureEntry &e) { e.data = QByteArray(40, '\xff'); })},
            {}, {"a.txt"}),
        BrokenCase("encrypted entry stops",
                   {Entry("a.txt", "first"),
                    Entry("secret.txt", kText, 8, [](FixtureEntry &e) { e.flags = 1; }),
                    Entry("c.txt", "after")},
                   {{"a.txt", 0}}, {"secret.txt", "c.txt"})
            .stops("Cannot process this file: secret.txt "),
        BrokenCase("unknown method stops",
                   {Entry("a.txt", "first"), Entry("packed.txt", kText, 12)}, {{"a.txt", 0}},
                   {"packed.txt"})
            .stops("Cannot process this file: packed.txt "),
        BrokenCase("symbolic link entry",
                   {Entry("link", "/etc/passwd", 0,
                          [](FixtureEntry &e) {
                              e.madeBy = (3 << 8) | 20;
                              e.externalAttributes = 0120777u << 16;
                          })},
                   {}, {"link"}),
        BrokenCase("data descriptors, no directory",
                   {Entry("a.bin", kNoise, 0, [](FixtureEntry &e) { e.descriptor = true; }),
                    Entry("b.txt", kText, 8, [](FixtureEntry &e) { e.descriptor = true; }),
                    Entry("c.txt", "plain")},
                   {{"a.bin", 0}, {"b.txt", 1}, {"c.txt", 2}})
            .noDirectory(),
    };
}

TEST_F(ExtractArchiveTest, BrokenArchivesExtractOnlySoundEntries) {
    for (const BrokenCase &c : BrokenCases()) {
        SCOPED_TRACE(c.name);
        const QString caseFolder = folder(QString::fromUtf8(c.name));
        const QString target = folder(QString::fromUtf8(c.name) + "/target");
        QByteArray archive = BuildZip(c.entries, c.layout);
        if (c.cutFromEnd > 0)
            archive.chop(c.cutFromEnd);
        else if (c.cutFromEnd < 0)
            archive.append(QByteArray(-c.cutFromEnd, 'z'));
        WriteFile(caseFolder + "/archive.zip", archive);
        ExtractReport report;
        ASSERT_EQ(ExtractArchive(caseFolder + "/archive.zip", target, &report, c.limits), 0);
        EXPECT_EQ(report.error, c.error);
        Tree expected;
        for (auto it = c.present.begin(); it != c.present.end(); ++it)
            expected[it.key().toStdString()] = Shown(c.entries[it.value()].content);
        EXPECT_EQ(TreeOf(target), expected) << report.skipped.join(" | ").toStdString();
        for (const QString &name : c.absent) {
            const QString where = QDir::isAbsolutePath(name) ? name : target + "/" + name;
            EXPECT_FALSE(QFileInfo(where).exists() || QFileInfo(where).isSymLink())
                << name.toStdString();
        }
        // Nothing was written beside the target folder.
        EXPECT_EQ(QDir(caseFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList({"archive.zip", "target"}));
    }
}

} // namespace

namespace {

// One stored-once entry that the directory names under many names, all pointing at the same
// local header and data: each "file" would be the whole entry again.
QByteArray overlappingZip(int names, const QByteArray &content) {
    const QByteArray one = BuildZip({Entry("f000.htm", content)});
    const qsizetype directory = one.indexOf("PK\x01\x02");
    const qsizetype end = one.lastIndexOf("PK\x05\x06");
    const QByteArray record = one.mid(directory, end - directory);
    QByteArray copies;
    for (int i = 0; i < names; ++i) {
        QByteArray copy = record;
        copy.replace(46, 8, QStringLiteral("f%1.htm").arg(i, 3, 10, QChar(u'0')).toLatin1());
        copies += copy;
    }
    QByteArray endRecord = one.mid(end);
    const auto put16 = [&](int at, quint16 v) {
        endRecord[at] = char(v & 0xff);
        endRecord[at + 1] = char(v >> 8);
    };
    put16(8, quint16(names));
    put16(10, quint16(names));
    const quint32 size = quint32(copies.size());
    for (int i = 0; i < 4; ++i)
        endRecord[12 + i] = char((size >> (8 * i)) & 0xff);
    return one.left(directory) + copies + endRecord;
}

void writeArchive(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST_F(ExtractArchiveTest, ArchiveBombsAreRefusedOrBounded) {
    // Entries that share their data: refused whole, nothing written.
    const QString shared = path("shared.zip");
    writeArchive(shared, overlappingZip(40, QByteArray(1 << 20, 'a')));
    ExtractReport report;
    EXPECT_EQ(ExtractArchive(shared, folder("shared"), &report), 0);
    EXPECT_TRUE(report.written.isEmpty()) << report.written.size();
    EXPECT_TRUE(report.error.startsWith("Overlapping entries: ")) << report.error.toStdString();

    // Separate entries: what is written is bounded by a ratio to the archive's size, and the
    // entries by their number.
    ZipLimits limits;
    limits.ratioFloor = 1 << 20;
    limits.maxEntries = 4;
    const QString dense = path("dense.zip");
    writeArchive(dense, BuildZip({Entry("big.htm", QByteArray(3 << 20, 'b')), Entry("a.htm", "A"),
                                  Entry("b.htm", "B"), Entry("c.htm", "C"), Entry("d.htm", "D")}));
    EXPECT_EQ(ExtractArchive(dense, folder("dense"), &report, limits), 0);
    EXPECT_EQ(report.written, (QStringList{"a.htm", "b.htm", "c.htm"}));
    ASSERT_EQ(report.skipped.size(), 2);
    EXPECT_TRUE(report.skipped[0].startsWith("big.htm: beyond the bound on bytes written"));
    EXPECT_TRUE(report.skipped[1].startsWith("d.htm: beyond the bound on the number"));
}
