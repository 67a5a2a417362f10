#include "errors/apperror.h"
#include "lang/texts.h"

#include "errorof.h"

#include <gtest/gtest.h>

namespace {

struct LanguageCase {
    const char *langId;
    int systemId;
    int expected;
};

class LanguageChoice : public testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, SettingOverridesSystemAndIndexOneIsUnusable) {
    const LanguageCase c = GetParam();
    EXPECT_EQ(DetermineLanguage(QString::fromLatin1(c.langId), c.systemId), c.expected);
    EXPECT_EQ(LanguageIndex(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Rules, LanguageChoice,
                         testing::Values(LanguageCase{"3", 0x0405, 3}, // Slovak on Czech system
                                         LanguageCase{"1", 0x041B, 3}, // 1 unusable: system
                                         LanguageCase{"", 0x0409, 2},  // English system: Czech
                                         LanguageCase{"", 0x041B, 3},  // Slovak system
                                         LanguageCase{"2", 0x041B, 2}, LanguageCase{"x", 0x041B, 3},
                                         LanguageCase{"4", 0x0405, 2},
                                         LanguageCase{"1", 0x0409, 2}));

TEST(Texts, IndexErrorsAndEmptyEntries) {
    SetLanguageIndex(LangCzech);
    EXPECT_EQ(ErrorOf([] { AppText(0); }), "Language index 0error");
    EXPECT_EQ(ErrorOf([] { AppText(450); }), "Language index 450error");
    EXPECT_EQ(ErrorOf([] { CommonText(200); }), "Common language index 200error");
    EXPECT_EQ(ErrorOf([] { CommonText(0); }), "Common language index 0error");
    // An empty common entry must never be asked for.
    EXPECT_EQ(ErrorOf([] { CommonText(120); }), "Common language index 120error");
    EXPECT_TRUE(AppText(8).isEmpty());
    EXPECT_EQ(AppText(449), QString());
}

TEST(Texts, LanguagePicksTheTable) {
    SetLanguageIndex(LangCzech);
    EXPECT_EQ(AppText(147), QString::fromUtf8("Přerušit"));
    EXPECT_EQ(CommonText(2), QString::fromUtf8("&Zrušit"));
    SetLanguageIndex(LangSlovak);
    EXPECT_EQ(AppText(147), QString::fromUtf8("Prerušiť"));
    EXPECT_EQ(CommonText(2), QString::fromUtf8("&Zrušiť"));
    SetLanguageIndex(LangCzech);
}

TEST(Texts, StandardTableTextsAlwaysCzech) {
    SetLanguageIndex(LangSlovak);
    ReplaceStandardTableTexts();
    EXPECT_EQ(TableTexts().invalidDate, QString::fromUtf8("'%s' není platné datum"));
    EXPECT_EQ(TableTexts().deleteRecordQuestion, QString::fromUtf8("Opravdu smazat záznam?"));
    EXPECT_TRUE(TableTexts().invalidFieldFloat.startsWith(QStringLiteral("'%s' není platná")));
    SetLanguageIndex(LangCzech);
}

} // namespace
