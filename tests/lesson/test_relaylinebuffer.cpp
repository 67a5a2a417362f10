#include "wire/relay/relaylinebuffer.h"

#include <QList>

#include <gtest/gtest.h>

namespace {

// Feeds the chunks in order and collects what the buffer gives; "!" stands for a refused line.
QList<QByteArray> Split(const QList<QByteArray> &chunks, qsizetype maxLength) {
    RelayLineBuffer buffer(maxLength);
    QList<QByteArray> out;
    for (const QByteArray &chunk : chunks) {
        buffer.append(chunk);
        QByteArray line;
        for (int guard = 0; guard < 1000; ++guard) {
            const auto result = buffer.next(line);
            if (result == RelayLineBuffer::Result::NeedMore)
                break;
            out.append(result == RelayLineBuffer::Result::Line ? line : QByteArray("!"));
        }
    }
    return out;
}

struct SplitCase {
    const char *name;
    QList<QByteArray> chunks;
    QList<QByteArray> lines;
};

} // namespace

TEST(RelayLineBuffer, SplitsLinesAtLfAndDropsOnlyTheCrBeforeIt) {
    const QByteArray zeros("a\0b\0|\0", 6);
    const QList<SplitCase> cases = {
        {"crlf and bare lf", {"one\r\ntwo\n"}, {"one", "two"}},
        {"cr lf split over chunks", {"one\r", "\ntw", "o\r\n"}, {"one", "two"}},
        {"cr inside a line stays", {"a\rb\r\n"}, {"a\rb"}},
        {"only one cr dropped", {"x\r\r\n"}, {"x\r"}},
        {"empty lines", {"\r\n\n"}, {"", ""}},
        {"no lf yet", {"partial\r"}, {}},
        {"8-bit and zero bytes", {zeros + "\xff\x80\r\n"}, {zeros + "\xff\x80"}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Split(c.chunks, 16), c.lines);
    }
}

TEST(RelayLineBuffer, RefusesALineOverTheLimitAndCarriesOnAfterIt) {
    const QByteArray limit(8, 'x');
    const QList<SplitCase> cases = {
        {"at the limit", {limit + "\r\n"}, {limit}},
        {"at the limit, cr lf in pieces", {limit + "\r", "\n"}, {limit}},
        {"one over, refused when the lf comes", {limit + "y\n", "next\n"}, {"!", "next"}},
        // Nine bytes and no CR among them: refused before any LF arrives.
        {"one over, without lf", {limit + "y"}, {"!"}},
        {"rest of a refused line skipped", {limit + "yy", "zzzz", "zz\r\nnext\r\n"}, {"!", "next"}},
        {"line after a refused one in the same chunk", {limit + "yy\nok\n"}, {"!", "ok"}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Split(c.chunks, 8), c.lines);
    }
}

TEST(RelayLineBuffer, HoldsNoMoreThanOnePendingLine) {
    RelayLineBuffer buffer(8192);
    QByteArray line;
    for (int i = 0; i < 200; ++i) {
        buffer.append(QByteArray(4096, 'x'));
        while (buffer.next(line) != RelayLineBuffer::Result::NeedMore) {
        }
        EXPECT_LE(buffer.pending(), 8193);
    }
}
