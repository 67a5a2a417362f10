// The screens by keys alone, signed in to the reference server as each kind of user.
#include "app/screenentry.h"
#include "app/screenregistry.h"
#include "app/tfmain.h"
#include "data/dm.h"
#include "lang/texts.h"
#include "seam/messagebox.h"
#include "screenfixture.h"
#include "screens/orders/tfedordernew.h"
#include "screens/orders/tfrorder.h"
#include "screens/timetable/month/monthcalendar.h"
#include "screens/timetable/month/monthdays.h"
#include "screens/timetable/tfrtimetable.h"
#include "server/centralserver.h"
#include "server/store/schooldatabase.h"
#include "grid/gridframe.h"
#include "grid/dbgridex.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMap>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QDialog>

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

class Keyboard : public ScreenFixture {
protected:
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : app->mainWindow(), Qt::Key(key), modifiers);
    }
    // Tab until the widget has the focus; false when a whole round never reaches it.
    bool tabTo(const QWidget *widget) {
        for (int i = 0; i < 60 && QApplication::focusWidget() != widget; ++i)
            press(Qt::Key_Tab);
        return QApplication::focusWidget() == widget;
    }
    qint64 addFreeLesson(const QDateTime &when) {
        qint64 id = 0;
        server.onServer([&](CentralServer &s) {
            id = s.database().nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
            s.database().run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER,"
                                            " IDUSER, WHENHOUR, HOURS, TIMETABLESTATUS,"
                                            " WHENSTATUSCHANGE, WHOSTATUSCHANGE)"
                                            " VALUES (?, 2, ?, 0, ?, 1.0, 1, ?, ?)"),
                             {id, Demo::Teacher, when, when, Demo::Manager});
        });
        return id;
    }
};

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

TEST_F(Keyboard, AStudentBooksALessonAndOrdersHoursWithKeysAlone) {
    const QDate day = seam.clock.date().addDays(40);
    const qint64 slot = addFreeLesson(QDateTime(day, QTime(9, 0)));
    signIn(QStringLiteral("klient"));
    app->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app->mainWindow()));

    press(Qt::Key_3, Qt::ControlModifier); // the timetable, third in the top bar
    auto *timetable = static_cast<Tfrtimetable *>(app->mainWindow()->screen(u"timetable"));
    // A shortcut presses the button the way a click looks: released by a timer.
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->mainWindow()->currentScreen() == timetable; }));
    ASSERT_TRUE(tabTo(timetable->cal->days));
    for (int i = 0; i < 80 && timetable->cal->Date() != day; ++i)
        press(timetable->cal->Date().month() != day.month() ? Qt::Key_PageDown : Qt::Key_Right);
    ASSERT_EQ(timetable->cal->Date(), day);
    ASSERT_TRUE(tabTo(timetable->frg_timetable->gr));
    const auto current = [] {
        return dm().cd_timetable.FieldByName(QStringLiteral("IDTIMETABLE")).AsInteger();
    };
    press(Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 40 && current() != slot; ++i)
        press(Qt::Key_Down);
    ASSERT_EQ(current(), slot);
    seam.boxAnswers << mrYes;
    press(Qt::Key_Return);
    EXPECT_EQ(seam.boxTexts().value(1), AppText(356));
    EXPECT_EQ(server.dbValue(QStringLiteral("SELECT TIMETABLESTATUS FROM TIMETABLE WHERE "
                                            "IDTIMETABLE = ?"),
                             {slot})
                  .toInt(),
              2);

    press(Qt::Key_2, Qt::ControlModifier); // the orders
    auto *orders = static_cast<Tfrorder *>(app->mainWindow()->screen(u"orders"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app->mainWindow()->currentScreen() == orders; }));
    const int before = dm().cd_order.RecordCount();
    seam.boxes.clear();
    seam.boxAnswers << mrYes;
    bool dialogByKeys = false;
    WhenModal([&](QWidget *w) {
        dialogByKeys = qobject_cast<Tfedordernew *>(w) != nullptr;
        QTest::keyClick(w->focusWidget() ? w->focusWidget() : w, Qt::Key_Return); // OK: default
        if (w->isVisible())
            static_cast<QDialog *>(w)->reject();
    });
    press(Qt::Key_N, Qt::AltModifier); // "&Nová objednávka"
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialogByKeys; }));
    EXPECT_EQ(dm().cd_order.RecordCount(), before + 1);
}
