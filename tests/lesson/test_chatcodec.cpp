#include "lesson/relay/chatcodec.h"
#include "lesson/relay/lessonids.h"
#include "lesson/relay/relayendpoint.h"
#include "wire/relay/relaylinebuffer.h"

#include <gtest/gtest.h>

namespace {

QByteArray utf16le(const QString &text) {
    QByteArray bytes;
    for (QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    return bytes;
}

// A chat message as the partner reads it: the line through the relay's line splitting, then
// the bytes after "@chatmsg;".
QStringList throughTheLine(const QByteArray &message) {
    RelayLineBuffer buffer;
    buffer.append("@chatmsg;" + message + "\r\n");
    QByteArray line;
    if (buffer.next(line) != RelayLineBuffer::Result::Line)
        return {QStringLiteral("<no line>")};
    return ChatCodec::Decode(QByteArrayView(line).sliced(9));
}

} // namespace

TEST(ChatCodec, DecodesAtWholeBarCodeUnitsOnly) {
    struct Case {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    };
    const QList<Case> cases = {
        {"two lines", utf16le(u"Ahoj|světe"_qs), {u"Ahoj"_qs, u"světe"_qs}},
        {"empty pieces", utf16le(u"|a|"_qs), {u""_qs, u"a"_qs, u""_qs}},
        {"nothing", {}, {u""_qs}},
        // U+7C40 U+0100 is 40 7C 00 01: a 7C 00 pair at an odd offset is no separator.
        {"7C 00 at an odd offset", utf16le(u"\u7C40\u0100"_qs), {u"\u7C40\u0100"_qs}},
        {"odd last byte", QByteArray("a\0b", 3), {u"a\uFFFD"_qs}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ChatCodec::Decode(c.bytes), c.lines);
    }
}

TEST(ChatCodec, WhatIsSentArrivesAsSent) {
    struct Case {
        const char *name;
        QStringList lines;
        QStringList received;
    };
    const QList<Case> cases = {
        {"Czech and Slovak",
         {u"Dobrý den, žluťoučký kůň"_qs, u"Ďakujem, ľúbim ťa"_qs},
         {u"Dobrý den, žluťoučký kůň"_qs, u"Ďakujem, ľúbim ťa"_qs}},
        {"a bar inside a line makes two lines", {u"a|b"_qs}, {u"a"_qs, u"b"_qs}},
        {"decomposed letters are composed", {u"c\u030Cesky\u0301"_qs}, {u"český"_qs}},
        // U+0A05, U+010A and U+1F60A (DE0A as its low half) hold the byte 0A, which would end
        // the relay line early.
        {"0A bytes replaced", {u"x\u0A05y\u010Az\U0001F60A"_qs}, {u"x\uFFFDy\uFFFDz\uFFFD"_qs}},
        {"pairs without 0A kept", {u"\U0001F600"_qs}, {u"\U0001F600"_qs}},
        // Ends in the byte 0D right before the CR LF: only one CR is dropped.
        {"ending in a 0D byte", {u"konec\u0D00"_qs}, {u"konec\u0D00"_qs}},
        {"ending in CR", {u"konec\r"_qs}, {u"konec\r"_qs}},
        {"7C 00 at an odd offset", {u"\u7C40\u0100"_qs}, {u"\u7C40\u0100"_qs}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QList<QByteArray> messages = ChatCodec::EncodeMessages(c.lines, 8000);
        ASSERT_EQ(messages.size(), 1);
        EXPECT_FALSE(messages[0].contains('\n'));
        EXPECT_EQ(throughTheLine(messages[0]), c.received);
    }
}

TEST(ChatCodec, CutsLongMessagesToFitALine) {
    struct Case {
        const char *name;
        QStringList lines;
        qsizetype maxBytes;
        QList<QStringList> messages;
    };
    const QString pair = u"\U0001F600"_qs;
    const QList<Case> cases = {
        {"fits", {u"abcd"_qs}, 8, {{u"abcd"_qs}}},
        {"at a bar, which is dropped", {u"abc"_qs, u"defgh"_qs}, 10, {{u"abc"_qs}, {u"defgh"_qs}}},
        {"a bar too early is not used",
         {u"a"_qs, u"bcdefgh"_qs},
         10,
         {{u"a"_qs, u"bcd"_qs}, {u"efgh"_qs}}},
        {"no bar: between characters",
         {u"abcdefghij"_qs},
         8,
         {{u"abcd"_qs}, {u"efgh"_qs}, {u"ij"_qs}}},
        {"never inside a pair", {u"abc"_qs + pair + u"d"_qs}, 8, {{u"abc"_qs}, {pair + u"d"_qs}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QList<QStringList> got;
        for (const QByteArray &message : ChatCodec::EncodeMessages(c.lines, c.maxBytes)) {
            EXPECT_LE(message.size(), c.maxBytes);
            got.append(ChatCodec::Decode(message));
        }
        EXPECT_EQ(got, c.messages);
    }
}

TEST(LessonIds, TeacherAndStudentIdsMatch) {
    const LessonIds teacher(false, 7, 12);
    const LessonIds student(true, 7, 40);
    EXPECT_EQ(teacher.OwnClientId({}), "7_12");
    EXPECT_EQ(student.OwnClientId(u"12"_qs), "7_12_40");
    EXPECT_EQ(teacher.PartnerClientId(u"40"_qs), "7_12_40");
    EXPECT_EQ(student.PartnerClientId(u"12"_qs), "7_12");
    EXPECT_EQ(teacher.StudentOf("7_12_40"), "40");
    EXPECT_EQ(teacher.StudentOf("7_120_40"), "");
    EXPECT_EQ(teacher.StudentOf("7_12"), "");
    EXPECT_EQ(teacher.StudentOf("17_12_40"), "");
    // The partner's user id must be a number.
    for (const char *id :
         {"7_12_", "7_12_4x", "7_12_40_1", "7_12_-4", "7_12_ 40", "7_12_99999999999"})
        EXPECT_EQ(teacher.StudentOf(id), "") << id;
}

TEST(RelayEndpoint, PortAndTlsFollowTheSettings) {
    struct Case {
        QString server;
        bool useSsl;
        int portType;
        QString host;
        int port;
        bool tls;
    };
    const QList<Case> cases = {
        {u"relay.example"_qs, true, 0, u"relay.example"_qs, 443, true},
        {u"relay.example"_qs, false, 0, u"relay.example"_qs, 80, false},
        {u"relay.example"_qs, false, 1, u"relay.example"_qs, 7443, true},
        {u"relay.example"_qs, true, 2, u"relay.example"_qs, 7080, false},
        {u"127.0.0.1:5000"_qs, true, 0, u"127.0.0.1"_qs, 5000, true},
        {u"127.0.0.1:5000"_qs, true, 2, u"127.0.0.1"_qs, 5000, false},
        {u"[::1]:5000"_qs, false, 0, u"::1"_qs, 5000, false},
        {u"::1"_qs, false, 1, u"::1"_qs, 7443, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.server.toStdString() + " " + std::to_string(c.portType));
        const RelayEndpoint e = RelayEndpoint::For(c.server, c.useSsl, c.portType);
        EXPECT_EQ(e.host, c.host);
        EXPECT_EQ(e.port, c.port);
        EXPECT_EQ(e.tls, c.tls);
    }
}
