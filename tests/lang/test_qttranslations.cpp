#include "lang/texts.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <gtest/gtest.h>

#include <memory>

namespace {

// Qt's own words as a person meets them: a text field's context menu and the standard buttons.
QStringList contextMenuTexts() {
    QLineEdit edit;
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction *action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    return texts;
}

struct QtWord {
    const char *context;
    const char *source;
};

const QtWord kWords[] = {
    {"QFileDialog", "Look in:"},
    {"QFileDialog", "File &name:"},
    {"QPlatformTheme", "Save"},
    {"QPlatformTheme", "Cancel"},
    {"QWidgetTextControl", "&Undo"},
    {"QLineEdit", "&Paste"},
};

} // namespace

TEST(QtTranslations, QtsOwnTextsFollowTheProgramsLanguage) {
    SetLanguageIndex(LangCzech);
    const QStringList czechMenu = contextMenuTexts();
    EXPECT_TRUE(czechMenu.contains(QStringLiteral("&Zpět"))) << czechMenu.join('|').toStdString();
    EXPECT_FALSE(czechMenu.contains(QStringLiteral("&Undo")));
    QStringList czech;
    for (const QtWord &word : kWords) {
        czech << QCoreApplication::translate(word.context, word.source);
        EXPECT_NE(czech.last(), QString::fromLatin1(word.source)) << word.context << word.source;
    }

    SetLanguageIndex(LangSlovak);
    int differing = 0;
    for (int i = 0; i < int(std::size(kWords)); ++i) {
        const QString slovak = QCoreApplication::translate(kWords[i].context, kWords[i].source);
        EXPECT_NE(slovak, QString::fromLatin1(kWords[i].source)) << kWords[i].source;
        differing += slovak != czech[i];
    }
    EXPECT_GT(differing, 0) << "the Slovak catalogue did not replace the Czech one";
    EXPECT_NE(contextMenuTexts(), czechMenu);

    SetLanguageIndex(LangCzech);
    EXPECT_EQ(contextMenuTexts(), czechMenu);
}
