#include "wire/compression.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

QByteArray sampleText() {
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "<ROW IDUSER=\"" + QByteArray::number(i) + "\" FULLNAME=\"Jan Nov\xc3\xbd\"/>";
    return text;
}

// The compression level band that a zlib header announces (FLEVEL: 0 fastest .. 3 best).
int headerLevel(const QByteArray &stream) {
    return uchar(stream.at(1)) >> 6;
}

struct LevelCase {
    int level;
    bool compresses; // level 0 stores the text, every other band shrinks it
    int headerBand;
};

TEST(Compression, LevelsMapToFourBandsAndRoundTrip) {
    const QByteArray text = sampleText();
    const LevelCase cases[] = {
        {-5, false, 0}, {0, false, 0}, {1, false, 0}, {2, true, 0}, {3, true, 0},  {4, true, 2},
        {6, true, 2},   {7, true, 2},  {8, true, 3},  {9, true, 3}, {10, true, 2},
    };
    for (const LevelCase &c : cases) {
        SCOPED_TRACE(c.level);
        const QByteArray stream = CompressText(text, c.level);
        EXPECT_EQ(stream.size() < text.size() / 2, c.compresses);
        EXPECT_EQ(headerLevel(stream), c.headerBand);
        EXPECT_EQ(DecompressText(stream), text);
    }
}

TEST(Compression, EmptyInputGivesEmptyOutput) {
    EXPECT_TRUE(CompressText(QByteArray(), 6).isEmpty());
    EXPECT_TRUE(DecompressText(QByteArray()).isEmpty());
    EXPECT_FALSE(InflateStream(QByteArray(), 100).has_value());
}

TEST(Compression, DamagedStreamsGiveEmptyText) {
    const QByteArray good = CompressText(sampleText(), 6);
    QByteArray badChecksum = good;
    badChecksum[badChecksum.size() - 1] = char(badChecksum.back() ^ 0x55);
    QByteArray flipped = good;
    flipped[good.size() / 2] = char(flipped[good.size() / 2] ^ 0xFF);
    QByteArray badHeader = good;
    badHeader[0] = '\x79'; // a header whose check bits do not add up
    const QByteArray damaged[] = {
        "not a zlib stream at all",
        good.left(2),
        good.left(good.size() / 2),
        good.left(good.size() - 1),
        badChecksum,
        flipped,
        badHeader,
        QByteArray(1, '\x78'),
    };
    for (const QByteArray &stream : damaged) {
        SCOPED_TRACE(stream.size());
        EXPECT_TRUE(DecompressText(stream).isEmpty());
        EXPECT_FALSE(InflateStream(stream, kMaxInflatedSize).has_value());
    }
}

TEST(Compression, InflatedSizeIsBounded) {
    // A small stream of a megabyte of zeros: a miniature of a decompression bomb.
    const QByteArray zeros(1 << 20, '\0');
    const QByteArray stream = CompressText(zeros, 9);
    ASSERT_LT(stream.size(), 4096);
    EXPECT_EQ(InflateStream(stream, zeros.size()).value_or(QByteArray()), zeros);
    EXPECT_FALSE(InflateStream(stream, zeros.size() - 1).has_value());
    EXPECT_FALSE(InflateStream(stream, 1000).has_value());
    EXPECT_EQ(DecompressText(stream), zeros);
}

TEST(Compression, StreamOfAnEmptyTextAndTrailingBytes) {
    // zlib's own stream of nothing inflates to nothing (a success, not a failure).
    QByteArray empty(16, '\0');
    uLongf size = uLongf(empty.size());
    ASSERT_EQ(compress(reinterpret_cast<Bytef *>(empty.data()), &size,
                       reinterpret_cast<const Bytef *>(""), 0),
              Z_OK);
    empty.truncate(qsizetype(size));
    ASSERT_TRUE(InflateStream(empty, 10).has_value());
    EXPECT_TRUE(InflateStream(empty, 10)->isEmpty());
    // Bytes after the end of a complete stream (a line break a server script appended) are
    // ignored.
    EXPECT_EQ(DecompressText(CompressText("payload", 6) + "\r\n"), "payload");
}

} // namespace
