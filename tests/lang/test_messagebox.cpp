#include "errors/apperror.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "scriptedseam.h"

#include <gtest/gtest.h>

namespace {

struct CaptionCase {
    int type;
    const char *czech;
    const char *slovak;
};

TEST(MessageBox, CaptionsByTypeAndLanguage) {
    const CaptionCase cases[] = {
        {mtWarning, "Upozornění", "Upozornenie"},   {mtError, "Chyba", "Chyba"},
        {mtInformation, "Informace", "Informácia"}, {mtConfirmation, "Potvrzení", "Potvrdenie"},
        {mtCustom, "Informace", "Informácia"},      {9, "", ""}};
    ScriptedSeam seam;
    for (const CaptionCase &c : cases) {
        for (int lang : {int(LangCzech), int(LangSlovak)}) {
            SetLanguageIndex(lang);
            AppMessageBox(QStringLiteral("x"), c.type, mbOK);
            EXPECT_EQ(seam.boxes.last().caption,
                      QString::fromUtf8(lang == LangCzech ? c.czech : c.slovak))
                << c.type << " " << lang;
        }
    }
    SetLanguageIndex(LangCzech);
}

struct ButtonCase {
    int set;
    QList<int> shown;
    QStringList czechCaptions;
};

TEST(MessageBox, ButtonSetsShowTheirButtonsAndReturnThePressedCode) {
    const ButtonCase cases[] = {
        {mbOK, {mrOK}, {"OK"}},
        {mbOK | mbCancel, {mrOK, mrCancel}, {"OK", QString::fromUtf8("Zrušit")}},
        {mbYes | mbNo, {mrYes, mrNo}, {"Ano", "Ne"}},
        {mbYes | mbNo | mbCancel,
         {mrYes, mrNo, mrCancel},
         {"Ano", "Ne", QString::fromUtf8("Zrušit")}},
        {mbCancel | mbRetry, {mrRetry, mrCancel}, {"Opakovat", QString::fromUtf8("Zrušit")}},
        {mbAbort | mbRetry | mbIgnore,
         {mrAbort, mrRetry, mrIgnore},
         {QString::fromUtf8("Přerušit"), "Opakovat", "Ignorovat"}},
    };
    SetLanguageIndex(LangCzech);
    ScriptedSeam seam;
    for (const ButtonCase &c : cases) {
        seam.boxAnswers.enqueue(c.shown.last());
        EXPECT_EQ(AppMessageBox(QStringLiteral("q"), mtConfirmation, c.set), c.shown.last());
        EXPECT_EQ(seam.boxes.last().buttons, c.shown);
        EXPECT_EQ(seam.boxes.last().buttonCaptions, c.czechCaptions);
    }
    EXPECT_EQ(seam.boxes.size(), 6);
}

TEST(MessageBox, UnknownButtonSetWarnsThenShowsOkAlone) {
    ScriptedSeam seam;
    EXPECT_EQ(AppMessageBox(QStringLiteral("text"), mtWarning, mbOK | mbNo, 12), mrOK);
    ASSERT_EQ(seam.boxes.size(), 2);
    EXPECT_EQ(seam.boxes[0].text, "Msgdlg buttons error!");
    EXPECT_EQ(seam.boxes[1].text, "text");
    EXPECT_EQ(seam.boxes[1].buttons, QList<int>{mrOK});
    EXPECT_EQ(seam.boxes[1].helpContext, 12);
}

TEST(BusyCursor, NestsAndRestoresTheCursorShownBefore) {
    ScriptedSeam seam;
    seam.showCursor(3);
    seam.cursorChanges.clear();
    BeginBusyCursor(16);
    BeginBusyCursor(4); // inner shape is ignored
    EndBusyCursor();
    EXPECT_EQ(seam.currentCursor(), 16);
    EndBusyCursor();
    EXPECT_EQ(seam.currentCursor(), 3);
    EndBusyCursor(); // unbalanced end changes nothing
    EXPECT_EQ(seam.currentCursor(), 3);
    EXPECT_EQ(BusyCursorDepth(), 0);
    EXPECT_EQ(seam.cursorChanges, (QList<int>{16, 3}));
}

TEST(Guard, ShowsErrorsAndSwallowsSilentAborts) {
    ScriptedSeam seam;
    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_FALSE(RunGuarded([] { throw SilentAbort(); }));
    EXPECT_TRUE(seam.boxes.isEmpty());
    EXPECT_FALSE(RunGuarded([] { throw AppError(QStringLiteral("broken")); }));
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_EQ(seam.boxes[0].text, "broken");
    EXPECT_EQ(seam.boxes[0].type, mtError);
}

} // namespace
