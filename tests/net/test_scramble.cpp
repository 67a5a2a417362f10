#include "errors/apperror.h"
#include "net/settings/scramble.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(Scramble, WritesTheKnownLetterPairs) {
    // key "k" (107), r = 5: (107+5), (1+5), +107, (2+5), +'a', +'b'
    EXPECT_EQ(ScrambleBytes("ab", "k", 5), QByteArray("HCAIHDAJGKMM"));
    EXPECT_EQ(ScrambleBytes("", "", 0), QByteArray("ACACAC"));
    // Sums and chains wrap at 256: key 0xFF 0xFF, r = 200.
    EXPECT_EQ(ScrambleBytes("\x01", "\xFF\xFF", 200), QByteArray("MIMMMLMKMLMM"));
}

TEST(Scramble, RoundTripsForEveryRandomByte) {
    const QByteArray all = [] {
        QByteArray bytes;
        for (int i = 0; i < 255; ++i)
            bytes += char(255 - i);
        return bytes;
    }();
    const struct {
        QByteArray text, key;
    } cases[] = {{"", ""},         {"secret", ""},    {"", "jan"},
                 {"heslo", "Jan"}, {all, "\x80\xFE"}, {QByteArray(3, '\0'), all}};
    for (const auto &c : cases) {
        for (int r = 0; r < 256; ++r) {
            const QByteArray scrambled = ScrambleBytes(c.text, c.key, quint8(r));
            ASSERT_EQ(scrambled.size(), 2 * (3 + c.key.size() + c.text.size()));
            const std::optional<QByteArray> back = UnscrambleBytes(scrambled, c.key);
            ASSERT_TRUE(back.has_value()) << r;
            ASSERT_EQ(*back, c.text) << r;
        }
    }
}

TEST(Scramble, TextRoundTripsAndDiffersPerCall) {
    const QString text = QStringLiteral("Příliš žluťoučký kůň €");
    const QString key = QStringLiteral("Šárka");
    QSet<QString> forms;
    for (int i = 0; i < 20; ++i) {
        const QString scrambled = ScrambleText(text, key);
        forms.insert(scrambled);
        QString back;
        ASSERT_TRUE(UnscrambleText(scrambled, key, back));
        EXPECT_EQ(back, text);
    }
    EXPECT_GT(forms.size(), 1);

    QString empty = QStringLiteral("x");
    const QString six = ScrambleText(QString(), QString());
    EXPECT_EQ(six.size(), 6);
    EXPECT_TRUE(UnscrambleText(six, QString(), empty));
    EXPECT_TRUE(empty.isEmpty());
}

TEST(Scramble, UnscrambleFailsOnEveryMalformedOrForeignForm) {
    const QString good = QString::fromLatin1(ScrambleBytes("pw", "jan", 77));
    const struct {
        const char *what;
        QString scrambled;
        QString key;
    } cases[] = {
        {"empty input", QString(), QStringLiteral("jan")},
        {"odd length", good.chopped(1), QStringLiteral("jan")},
        {"last pair missing", good.chopped(2), QStringLiteral("jan")},
        {"trailing data", good + QStringLiteral("AC"), QStringLiteral("jan")},
        {"first letter Q", QStringLiteral("Q") + good.mid(1), QStringLiteral("jan")},
        {"second letter B", good.left(3) + QStringLiteral("B") + good.mid(4),
         QStringLiteral("jan")},
        {"second letter S", good.left(3) + QStringLiteral("S") + good.mid(4),
         QStringLiteral("jan")},
        {"lower case", good.toLower(), QStringLiteral("jan")},
        {"non-Latin letter", good.left(4) + QStringLiteral("Ж") + good.mid(5),
         QStringLiteral("jan")},
        {"other key", good, QStringLiteral("eva")},
        {"key case", good, QStringLiteral("Jan")},
        {"longer key", good, QStringLiteral("jana")},
        {"empty key", good, QString()},
    };
    QString check;
    ASSERT_TRUE(UnscrambleText(good, QStringLiteral("jan"), check));
    ASSERT_EQ(check, QStringLiteral("pw"));
    for (const auto &c : cases) {
        QString text = QStringLiteral("stale");
        EXPECT_FALSE(UnscrambleText(c.scrambled, c.key, text)) << c.what;
        EXPECT_TRUE(text.isEmpty()) << c.what;
    }
}

// Lengths are stored in one byte: anything that would come back different is refused.
TEST(Scramble, RefusesWhatWouldNotComeBackUnchanged) {
    // This is the loss that the refusal prevents.
    const QByteArray long256(256, 'x');
    EXPECT_NE(UnscrambleBytes(ScrambleBytes(long256, "k", 0), "k").value_or("?"), long256);

    const struct {
        QString text, key;
        bool allowed;
    } cases[] = {
        {QString(255, u'x'), QString(255, u'y'), true},
        {QString(256, u'x'), QStringLiteral("k"), false},
        {QStringLiteral("p"), QString(256, u'y'), false},
        {QStringLiteral("日本"), QStringLiteral("k"), false},
        {QStringLiteral("p"), QStringLiteral("Иван"), false},
        {QStringLiteral("ŘŽŠ€ß"), QStringLiteral("ąćł"), true},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(CanScramble(c.text, c.key), c.allowed) << c.text.size() << " " << c.key.size();
        if (c.allowed) {
            QString back;
            EXPECT_TRUE(UnscrambleText(ScrambleText(c.text, c.key), c.key, back));
            EXPECT_EQ(back, c.text);
        } else {
            EXPECT_THROW(ScrambleText(c.text, c.key), AppError);
        }
    }
}

} // namespace
