// The screens by keys alone, signed in to the reference server as each kind of user.
#include "app/screenentry.h"
#include "app/screenregistry.h"
#include "app/tfmain.h"
#include "screenfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTabBar>
#include <QTest>

namespace {

// The letter after a single "&" in a caption, lower case; none for "&&" or no "&".
QChar mnemonicOf(const QString &text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toLower();
    }
    return {};
}

// The Alt letters of what is shown in the window, each with the captions that use it.
QMap<QChar, QStringList> lettersShown(QWidget *window) {
    QMap<QChar, QStringList> letters;
    auto add = [&](const QWidget *widget, const QString &caption) {
        const QChar letter = mnemonicOf(caption);
        if (!letter.isNull() && widget->isVisible() && widget->isEnabled())
            letters[letter] << caption;
    };
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        add(button, button->text());
    for (const QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy())
            add(label, label->text());
    for (const QGroupBox *box : window->findChildren<QGroupBox *>())
        if (box->isCheckable())
            add(box, box->title());
    for (const QTabBar *tabs : window->findChildren<QTabBar *>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabEnabled(i))
                add(tabs, tabs->tabText(i));
    return letters;
}

QStringList clashes(QWidget *window) {
    QStringList found;
    const auto letters = lettersShown(window);
    for (auto it = letters.begin(); it != letters.end(); ++it)
        if (it.value().size() > 1)
            found << QString(it.key()) + QStringLiteral(": ") + it.value().join(QStringLiteral(" | "));
    return found;
}

// Buttons shown and usable that Tab never reaches.
QStringList unreachable(QWidget *screen) {
    QStringList found;
    for (const QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
        if (!button->isVisible() || !button->isEnabled())
            continue;
        if (!(button->focusPolicy() & Qt::TabFocus))
            found << QStringLiteral("%1 \"%2\" %3")
                         .arg(button->objectName(), button->text(), button->toolTip());
    }
    return found;
}

class Keyboard : public ScreenFixture {};

} // namespace

TEST_F(Keyboard, EveryScreenHasUniqueLettersAndTabReachesEveryAction) {
    for (const char *account : {"klient", "lektor", "manazer", "reditel"}) {
        signIn(QString::fromLatin1(account));
        for (const ScreenEntry &entry : ScreenRegistry()) {
            QWidget *button = app->mainWindow()->findChild<QWidget *>(entry.buttonName);
            if (!button || !button->isVisible() || !button->isEnabled())
                continue;
            clickMain(entry.buttonName.toLatin1().constData());
            QWidget *screen = app->mainWindow()->screen(entry.id);
            ASSERT_EQ(app->mainWindow()->currentScreen(), screen) << account;
            QCoreApplication::processEvents();
            EXPECT_EQ(clashes(app->mainWindow()).join(u'\n').toStdString(), "")
                << account << " on " << entry.id.toStdString();
            EXPECT_EQ(unreachable(screen).join(u'\n').toStdString(), "")
                << account << " on " << entry.id.toStdString();
        }
        signOut();
    }
}
