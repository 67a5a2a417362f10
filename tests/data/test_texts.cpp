#include "data/deleteconfirm.h"
#include "data/displayformat.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "scriptedseam.h"
#include "tablefixture.h"

#include <gtest/gtest.h>
#include <time.h>

TEST(TableTexts, DeleteQuestionIsTheStandardText) {
    ScriptedSeam seam;
    seam.boxAnswers << mrNo << mrYes;
    EXPECT_FALSE(ConfirmRecordDelete());
    EXPECT_TRUE(ConfirmRecordDelete());
    ASSERT_EQ(seam.boxes.size(), 2);
    EXPECT_EQ(seam.boxes[0].text, TableTexts().deleteRecordQuestion);
    EXPECT_EQ(seam.boxes[0].type, mtConfirmation);
}

TEST(DisplayFormats, StandardFormatsOfTheLists) {
    const QChar nbsp(0x00A0);
    const struct {
        TFieldType type;
        const char *format;
        TValue value;
        QString text;
    } cases[] = {
        {TFieldType::I4, "#,##0", I(1234567), QString("1") + nbsp + "234" + nbsp + "567"},
        {TFieldType::I4, "0", I(-42), "-42"},
        {TFieldType::R8, "#,##0.00", F(-1234.5), QString("-1") + nbsp + "234,50"},
        {TFieldType::R8, "#,##0.00", F(0.004), "0,00"},
        {TFieldType::R8, "0.00", F(999999.999), "1000000,00"},
        {TFieldType::Date, "dd.mm.yyyy", DT(2009, 3, 4), "04.03.2009"},
        {TFieldType::Time, "hh:nn:ss", DT(1970, 1, 1, 8, 5, 9), "08:05:09"},
        {TFieldType::DateTime, "dd.mm.yyyy hh:nn:ss", DT(2009, 3, 3, 23, 30),
         "03.03.2009 23:30:00"},
        {TFieldType::DateTime, "", DT(2009, 3, 3), "3.3.2009"},
        {TFieldType::R8, "#,##0.00", Null(), ""},
    };
    for (const auto &c : cases) {
        TFieldDef def = MakeField("F", c.type);
        def.displayFormat = c.format;
        EXPECT_EQ(FormatDisplayText(def, c.value), c.text) << c.format;
    }
    EXPECT_EQ(MemoDisplayText(QString("a\r\nb") + QString(200, 'x')),
              QString("a b") + QString(97, 'x'));
}

// Date-times are naive: a time that a local clock skips (the spring daylight-saving change) is
// shown as written, in display formats and in the value's own text.
TEST(DisplayFormats, TimesInADaylightSavingGapAreShownAsWritten) {
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Prague");
    tzset();
    TFieldDef def = MakeField("F", TFieldType::DateTime);
    def.displayFormat = "dd.mm.yyyy hh:nn:ss";
    const TValue gap = DT(2026, 3, 29, 2, 30);
    EXPECT_EQ(FormatDisplayText(def, gap), "29.03.2026 02:30:00");
    EXPECT_EQ(gap.toText(), "2026-03-29T02:30:00.000");
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    tzset();
}
