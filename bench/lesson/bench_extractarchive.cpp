// Extracting an HTML course book of realistic shape: 500 pages, styles and pictures, 20 MB of
// output, deflated. Reported as bytes of output per second on one core, once to disk and once
// only inflating and checking every entry in memory.
#include "lesson/books/extractarchive.h"
#include "server/seed/zipwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 500;
constexpr qsizetype kFileSize = 40 * 1024; // 500 x 40 KiB = 20 MB

// A page of text from a small vocabulary, with markup, as the books' pages are; every tenth
// file is a picture-like block of noise that hardly compresses.
QByteArray bookFile(int index) {
    static const char *const words[] = {"lesson", "the",     "teacher", "student", "reads",
                                        "<b>",    "</b>",    "house",   "garden",  "city",
                                        "speaks", "English", "and",     "Czech",   "<p>",
                                        "</p>\n", "travel",  "train",   "morning", "evening"};
    QByteArray out;
    out.reserve(kFileSize);
    quint32 seed = 2654435761u * quint32(index + 1);
    const bool picture = index % 10 == 9;
    while (out.size() < kFileSize) {
        seed = seed * 1103515245u + 12345u;
        if (picture)
            out.append(char(seed >> 16));
        else
            out.append(words[(seed >> 16) % std::size(words)]).append(' ');
    }
    out.truncate(kFileSize);
    return out;
}

struct BookArchive {
    QTemporaryDir dir;
    QString path;
    QByteArray bytes;
    qint64 outputSize = 0;

    BookArchive() {
        ZipWriter writer(QDateTime(QDate(2026, 1, 15), QTime(10, 0)));
        for (int i = 0; i < kFiles; ++i) {
            const QString name = i % 10 == 9 ? QStringLiteral("img/p%1.bin").arg(i)
                                             : QStringLiteral("page%1.htm").arg(i);
            writer.add(name, bookFile(i));
            outputSize += kFileSize;
        }
        bytes = writer.finish();
        path = dir.filePath(QStringLiteral("book.zip"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
    }
};

const BookArchive &archive() {
    static const BookArchive book;
    return book;
}

void BM_ExtractArchiveToDisk(benchmark::State &state) {
    const BookArchive &book = archive();
    const QString target = book.dir.filePath(QStringLiteral("out"));
    for (auto _ : state) {
        state.PauseTiming();
        QDir(target).removeRecursively();
        QDir().mkpath(target);
        state.ResumeTiming();
        ExtractReport report;
        ExtractArchive(book.path, target, &report);
        if (report.written.size() != kFiles)
            state.SkipWithError("not every file was written");
    }
    state.SetBytesProcessed(state.iterations() * book.outputSize);
    state.counters["ratio"] = double(book.outputSize) / double(book.bytes.size());
}
BENCHMARK(BM_ExtractArchiveToDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InflateEveryEntry(benchmark::State &state) {
    const BookArchive &book = archive();
    for (auto _ : state) {
        const TKAZip zip(book.bytes);
        QByteArray content;
        for (const ZipEntry &entry : zip.entries()) {
            if (zip.read(entry, content) != ZipEntryStatus::Ok)
                state.SkipWithError("an entry did not read");
            benchmark::DoNotOptimize(content.data());
        }
    }
    state.SetBytesProcessed(state.iterations() * book.outputSize);
}
BENCHMARK(BM_InflateEveryEntry)->Unit(benchmark::kMillisecond);

} // namespace
