// The classroom's partner lines read strictly, the marks of a page kept within bounds, and the
// pointer lines thinned to the interval.
#include "lesson/classroom/classroomlines.h"
#include "lesson/classroom/pagemarks.h"
#include "lesson/classroom/pointerthrottle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <gtest/gtest.h>

namespace Lines = ClassroomLines;

namespace {

void ensureApplication() {
    static int argc = 1;
    static char name[] = "test_lesson_classroomlines";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

// What follows the command's ";" in a line written by the encoders.
QByteArray restOf(const QByteArray &line) {
    return line.mid(line.indexOf(';') + 1);
}

TEST(ClassroomLines, WrittenLinesReadBack) {
    const PageKey key{3, 17};
    const auto state = Lines::readPageState(restOf(Lines::pageState(true, key)));
    ASSERT_TRUE(state);
    EXPECT_TRUE(state->away);
    EXPECT_EQ(state->key, key);

    const auto shown = Lines::readPointer(restOf(Lines::pointer(key, PageSpot{0, 10000})));
    ASSERT_TRUE(shown && shown->spot);
    EXPECT_EQ(*shown->spot, (PageSpot{0, 10000}));
    const auto hidden = Lines::readPointer(restOf(Lines::pointer(key, std::nullopt)));
    ASSERT_TRUE(hidden);
    EXPECT_FALSE(hidden->spot);

    const QList<PageSpot> points{{1, 2}, {5000, 5000}, {9999, 1}};
    const auto stroke = Lines::readStroke(restOf(Lines::stroke(key, points)));
    ASSERT_TRUE(stroke);
    EXPECT_EQ(stroke->points, points);
    EXPECT_EQ(Lines::readStrokesClear(restOf(Lines::strokesClear(key))), key);
    EXPECT_EQ(Lines::readDrawAllow(restOf(Lines::drawAllow(false))), false);
    // Out-of-range positions are never written.
    EXPECT_EQ(Lines::pointer(key, PageSpot{-5, 20000}), QByteArray("@ptr;3;17;0;10000"));
}

TEST(ClassroomLines, MalformedLinesAreDropped) {
    QByteArray longStroke = "1;1";
    for (int i = 0; i <= Lines::MaxStrokePoints; ++i)
        longStroke += ";5,5";
    const struct {
        const char *what;
        QByteArray rest;
    } pointers[] = {
        {"not a number", "1;2;nan;5"},
        {"floating point", "1;2;0.5;0.5"},
        {"negative", "1;2;-1;5"},
        {"beyond the page", "1;2;10001;5"},
        {"signed", "1;2;+5;5"},
        {"blank", "1;2; 5;5"},
        {"overflowing", "1;2;99999999999999999999;5"},
        {"missing field", "1;2;5"},
        {"extra field", "1;2;5;5;5"},
        {"empty", ""},
        {"bad book", "x;2;5;5"},
        {"control character", "1;2;5\x01;5"},
    };
    for (const auto &c : pointers)
        EXPECT_FALSE(Lines::readPointer(c.rest)) << c.what;
    const struct {
        const char *what;
        QByteArray rest;
    } strokes[] = {
        {"one point", "1;1;5,5"},
        {"point without comma", "1;1;5,5;55"},
        {"infinite", "1;1;5,5;inf,3"},
        {"point beyond the page", "1;1;5,5;3,10001"},
        {"more points than a sender writes", longStroke},
        {"empty point", "1;1;5,5;;6,6"},
    };
    for (const auto &c : strokes)
        EXPECT_FALSE(Lines::readStroke(c.rest)) << c.what;
    for (const QByteArray &rest : {QByteArray("2;1;1"), QByteArray("1;1"), QByteArray("0;x;1")})
        EXPECT_FALSE(Lines::readPageState(rest)) << rest.constData();
    for (const QByteArray &rest : {QByteArray("2"), QByteArray(""), QByteArray("1;1")})
        EXPECT_FALSE(Lines::readDrawAllow(rest)) << rest.constData();
}

TEST(PageMarks, KeepsOnlyThePageShownAndStaysBounded) {
    TPageMarks marks;
    marks.setPage({1, 2});
    EXPECT_FALSE(marks.addStroke({1, 3}, {{1, 1}, {2, 2}})); // another page
    EXPECT_FALSE(marks.setPointer({1, 3}, PageSpot{1, 1}));
    EXPECT_FALSE(marks.addStroke({1, 2}, {{1, 1}}));         // no line
    ASSERT_TRUE(marks.addStroke({1, 2}, {{1, 1}, {2, 2}}));
    ASSERT_TRUE(marks.setPointer({1, 2}, PageSpot{7, 7}));
    marks.setPage({1, 2}); // the same page again keeps the marks
    EXPECT_EQ(marks.strokes().size(), 1);
    marks.setPage({1, 3}); // a page turn clears them
    EXPECT_TRUE(marks.strokes().isEmpty());
    EXPECT_FALSE(marks.pointer());

    // A flood of strokes stops at the bounds.
    const QList<PageSpot> big(Lines::MaxStrokePoints, PageSpot{5, 5});
    int taken = 0;
    for (int i = 0; i < 2 * TPageMarks::MaxStrokes; ++i)
        taken += marks.addStroke({1, 3}, big) ? 1 : 0;
    EXPECT_EQ(taken, TPageMarks::MaxPoints / Lines::MaxStrokePoints);
    int small = 0;
    marks.clearStrokes();
    for (int i = 0; i < 2 * TPageMarks::MaxStrokes; ++i)
        small += marks.addStroke({1, 3}, {{1, 1}, {2, 2}}) ? 1 : 0;
    EXPECT_EQ(small, TPageMarks::MaxStrokes);
}

TEST(PointerThrottle, SendsAtMostOneLinePerIntervalAndTheLatestLast) {
    ensureApplication();
    QList<QPair<qint64, QByteArray>> sent;
    QElapsedTimer clock;
    clock.start();
    TPointerThrottle throttle([&](const QByteArray &line) { sent.append({clock.elapsed(), line}); },
                              34);
    // A mouse that moves every millisecond for half a second.
    int moves = 0;
    while (clock.elapsed() < 500) {
        throttle.post("@ptr;1;1;" + QByteArray::number(++moves) + ";1");
        QTest::qWait(1);
    }
    const QByteArray last = "@ptr;1;1;" + QByteArray::number(moves) + ";1";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !sent.isEmpty() && sent.last().second == last; },
                                1000));
    EXPECT_FALSE(throttle.waiting());
    // The first move goes at once; then never two lines within the interval.
    EXPECT_EQ(sent.first().second, "@ptr;1;1;1;1");
    for (qsizetype i = 1; i < sent.size(); ++i)
        EXPECT_GE(sent[i].first - sent[i - 1].first, 33) << "line " << i;
    EXPECT_LE(sent.size(), 500 / 34 + 2);
    EXPECT_GE(sent.size(), 500 / 34 / 2); // and still a steady stream, not one line
}

} // namespace
