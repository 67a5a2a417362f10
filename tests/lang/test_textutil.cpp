#include "lang/texts.h"
#include "lang/textutil.h"

#include <gtest/gtest.h>

namespace {

TEST(TextUtil, SplitSectionTakesUpToTheSeparator) {
    QString source = QStringLiteral("a<sep/>b<sep/>");
    EXPECT_EQ(SplitSection(source, u"<sep/>"), "a");
    EXPECT_EQ(source, "b<sep/>");
    EXPECT_EQ(SplitSection(source, u"<sep/>"), "b");
    EXPECT_TRUE(source.isEmpty());
    QByteArray bytes("no separator");
    EXPECT_EQ(SplitSection(bytes, ";"), "no separator");
    EXPECT_TRUE(bytes.isEmpty());
}

TEST(TextUtil, TextToLinesSplitsListEntries) {
    QStringList lines{QStringLiteral("old")};
    for (int lang : {int(LangCzech), int(LangSlovak)}) {
        SetLanguageIndex(lang);
        TextToLines(AppText(225), lines);
        EXPECT_EQ(lines.size(), 3);
    }
    SetLanguageIndex(LangCzech);
    TextToLines(QStringLiteral("a;;b"), lines);
    EXPECT_EQ(lines, (QStringList{"a", "", "b"}));
    TextToLines(QString(), lines);
    EXPECT_TRUE(lines.isEmpty());
}

TEST(TextUtil, FormatTextFillsPlaceholdersInOrder) {
    EXPECT_EQ(FormatText(QStringLiteral("Přenos dat : %d%% hotovo (%d kB z %d kB)"), {50, 8, 16}),
              QStringLiteral("Přenos dat : 50% hotovo (8 kB z 16 kB)"));
    EXPECT_EQ(FormatText(QStringLiteral("'%s' - '%s'"), {"a"}), "'a' - ''");
    EXPECT_EQ(FormatText(QStringLiteral("100%"), {}), "100%");
}

TEST(TextUtil, ParseIntegerIsStrictDecimal) {
    const std::pair<const char *, std::optional<int>> cases[] = {{"42", 42},
                                                                 {"-7", -7},
                                                                 {"+3", 3},
                                                                 {"  5", 5},
                                                                 {"5 ", std::nullopt},
                                                                 {"", std::nullopt},
                                                                 {"-", std::nullopt},
                                                                 {"0x10", std::nullopt},
                                                                 {"1.5", std::nullopt},
                                                                 {"99999999999", std::nullopt}};
    for (const auto &[text, expected] : cases)
        EXPECT_EQ(ParseInteger(QString::fromLatin1(text)), expected) << text;
}

TEST(TextUtil, Windows1250RoundTripsCzechAndSlovakLetters) {
    const QString text = QString::fromUtf8("Příliš žluťoučký kůň; ľ ĺ ŕ ô ä");
    const QByteArray bytes = ToWin1250(text);
    EXPECT_EQ(bytes.left(5), QByteArray("\x50\xf8\xed\x6c\x69", 5));
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(FromWin1250(bytes), text);
    EXPECT_EQ(ToWin1250(QString::fromUtf8("€")), QByteArray("\x80"));
}

} // namespace
