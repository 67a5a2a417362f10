// Widget-free helpers of the grid: find checks, date masks, lookup items, record walks.
#include "gridfixture.h"
#include "printers.h"
#include "scriptedseam.h"

#include "grid/controls/datemask.h"
#include "grid/dialogs/findcheck.h"
#include "grid/controls/lookupitems.h"
#include "grid/recordwalk.h"
#include "grid/standardformats.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <gtest/gtest.h>

namespace {

TEST(FindCheck, RefusesTextsThatDoNotFitTheFieldType) {
    struct Case {
        TFieldType type;
        QString text;
        int message; // 0: accepted
    } cases[] = {
        {TFieldType::I4, "abc", 16},
        {TFieldType::I2, "12x", 16},
        {TFieldType::I4, "", 16},
        {TFieldType::I4, " 42", 0},
        {TFieldType::R8, "1,5", 0},
        {TFieldType::Fixed, "1.5.", 76},
        {TFieldType::Date, "3.3.2009", 0},
        {TFieldType::Date, "32.1.2009", 77},
        {TFieldType::Time, "14:30", 0},
        {TFieldType::Time, "25:00", 78},
        {TFieldType::DateTime, "3.3.2009 14:30", 0},
        {TFieldType::SQLDateTime, "3.3.2009 x", 79},
        {TFieldType::String, "abc", 0},
        {TFieldType::String, "", 0},
    };
    for (const Case &c : cases) {
        const TFieldDef field = MakeField("F", c.type);
        if (c.message == 0) {
            EXPECT_NO_THROW(CheckFindText(field, c.text)) << c.text.toStdString();
            continue;
        }
        try {
            CheckFindText(field, c.text);
            ADD_FAILURE() << "accepted " << c.text.toStdString();
        } catch (const AppError &e) {
            EXPECT_EQ(e.message(), FormatText(CommonText(c.message), {c.text}));
        }
    }
    try {
        CheckFindText(MakeField("F", TFieldType::I4), "abc");
    } catch (const AppError &e) {
        EXPECT_EQ(e.message(), "abc není platná celočíselná hodnota");
    }
}

TEST(DateMask, DefaultMaskEditsTwoDigitYearsWithinFiftyYears) {
    const TDateMask mask = ParseDateMask("!99/99/99;1;_");
    ASSERT_TRUE(mask.usable());
    EXPECT_EQ(mask.inputMask, "00.00.00;_");
    EXPECT_EQ(FormatMaskedDate(mask, QDate(2009, 3, 5)), "05.03.09");
    EXPECT_EQ(ReadMaskedDate(mask, "05.03.09", 2026), QDate(2009, 3, 5));
    EXPECT_EQ(ReadMaskedDate(mask, "05.03.80", 2026), QDate(1980, 3, 5));
    EXPECT_EQ(ReadMaskedDate(mask, "05.03.75", 2026), QDate(2075, 3, 5));
    EXPECT_EQ(ReadMaskedDate(mask, "__.__.__", 2026), std::nullopt);
    for (const char *bad : {"31.02.09", "05.__.09", "5.3"})
        EXPECT_THROW(ReadMaskedDate(mask, bad, 2026), AppError) << bad;

    const TDateMask longYear = ParseDateMask("00/00/0000;1;_");
    EXPECT_EQ(longYear.inputMask, "99.99.9999;_");
    EXPECT_EQ(FormatMaskedDate(longYear, QDate(2009, 3, 5)), "05.03.2009");
    EXPECT_EQ(ReadMaskedDate(longYear, "05.03.1909", 2026), QDate(1909, 3, 5));
    for (const char *unusable : {"", "99/99", "!AA/99/99;1;_", "99//99/99"})
        EXPECT_FALSE(ParseDateMask(unusable).usable()) << unusable;
}

TEST(LookupItems, FieldsByNumberOrNameWithoutMovingTheTable) {
    TClientTable table("cd_status");
    FillPupils(table, {"Nová", "Zaplacená"});
    table.Last();
    const QList<TCheckedItem> byNumber = LookupItems(table, 0, "1");
    EXPECT_EQ(byNumber, QList<TCheckedItem>({{"Nová", 100}, {"Zaplacená", 101}}));
    EXPECT_EQ(LookupItems(table, 2, "name"), QList<TCheckedItem>({{"Nová", 1}, {"Zaplacená", 2}}));
    EXPECT_EQ(LookupItems(table, 0, "3").first().text, "1.3.2009 14:30:00");
    EXPECT_EQ(table.RecNo(), 2);
    EXPECT_THROW(LookupItems(table, 0, "NOSUCH"), AppError);
    for (const char *missing : {"9", "99999999999", "4294967296"})
        EXPECT_THROW(LookupItems(table, 0, missing), AppError) << missing;
    EXPECT_THROW(LookupItems(table, 7, "NAME"), AppError);
}

TEST(RecordWalk, RestoresRecordHandlerAndCursorAfterAnError) {
    ScriptedSeam seam;
    TClientTable table("cd_pupils");
    FillPupils(table, {"A", "B", "C", "D"});
    table.SetFilter("HOURS<>2");
    table.SetFiltered(true);
    table.Next();
    int scrolls = 0;
    table.AfterScroll = [&](TClientTable &) { ++scrolls; };
    EXPECT_EQ(CountRecords(table), 3);
    EXPECT_EQ(table.FieldByName("NAME").AsString(), "C");

    int visited = 0;
    EXPECT_THROW(WalkRecords(table,
                             [&] {
                                 if (++visited == 2)
                                     throw AppError("stop");
                             }),
                 AppError);
    EXPECT_EQ(table.FieldByName("NAME").AsString(), "C");
    EXPECT_EQ(scrolls, 0);
    EXPECT_TRUE(bool(table.AfterScroll));
    EXPECT_FALSE(table.ControlsDisabled());
    EXPECT_EQ(seam.currentCursor(), -1);
}

TEST(StandardFormats, ByFieldType) {
    struct Case {
        TFieldType type;
        QString display, edit;
    } cases[] = {
        {TFieldType::I4, "#,##0", "0"},
        {TFieldType::I2, "#,##0", "0"},
        {TFieldType::R8, "#,##0.00", "0.00"},
        {TFieldType::Fixed, "#,##0.00", "0.00"},
        {TFieldType::Date, "dd.mm.yyyy", "kept"},
        {TFieldType::Time, "hh:nn", "kept"},
        {TFieldType::DateTime, "dd.mm.yyyy hh:nn", "kept"},
        {TFieldType::String, "kept", "kept"},
        {TFieldType::I8, "kept", "kept"},
    };
    TFieldDef born = MakeField("WHENBORN", TFieldType::DateTime);
    ApplyStandardFormats(born);
    EXPECT_EQ(born.displayFormat, "dd.mm.yyyy"); // a day kept in a time stamp
    for (const Case &c : cases) {
        TFieldDef field = MakeField("F", c.type);
        field.displayFormat = field.editFormat = "kept";
        ApplyStandardFormats(field);
        EXPECT_EQ(field.displayFormat, c.display);
        EXPECT_EQ(field.editFormat, c.edit);
    }
    TFieldDef memo = MakeField("NOTE", TFieldType::BinHex);
    memo.subtype = "Text";
    const QString text = "a\r\nb" + QString(120, u'x');
    EXPECT_EQ(GridCellText(memo, TValue::FromText(text)), ("a b" + QString(120, u'x')).left(100));
    EXPECT_EQ(FieldEditText(memo, TValue::FromText(text)), text);
}

} // namespace
