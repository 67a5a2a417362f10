// The lesson screen on its own, offscreen: a small library with its page pictures on disk,
// the status panels caught through the screen's hooks and the scripted seam.
#include "richtext/chatstyle.h"
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/screen/chatinput.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "lesson/screen/tfrlearn.h"
#include "lesson/screen/tfselteacher.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include "globalservices.h"

#include <gtest/gtest.h>

namespace {

// Two image books: book 1 with pages 1-6 in two lessons and recordings on page 2, book 2 with
// pages 5-9.
const char *const Catalogue = "BooksVersion=7\r\nBooks=2\r\n"
                              "Name1=English One\r\nLessons1=Unit 1:1-3;Unit 2:4-6\r\n"
                              "Audiopages1=2:1;2:2\r\nAudionames1=Dialogue;Song\r\n"
                              "Name2=English Two\r\nLessons2=Start:5-9\r\n";

class LessonScreen : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        Settings() = AppSettings();
        SessionValues().setText(QStringLiteral("usertype=3\r\niduser=4\r\nidjob=1"));
        LessonHooks().setStatusPanel = [this](int panel, const QString &text) {
            panels[panel] = text;
        };
        QDir().mkpath(AppLocations().dataFolder);
        QFile ini(AppLocations().booksIni);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(Catalogue);
        ini.close();
        for (int page = 1; page <= 6; ++page)
            writePage(1, page);
        for (int page = 5; page <= 9; ++page)
            writePage(2, page);
    }
    void TearDown() override {
        LessonHooks() = {};
        BookCatalogue::ClearLibrary();
        SessionValues().clear();
        Settings() = AppSettings();
    }
    static void writePage(int book, int page) {
        const QString path = BookCatalogue::BookFilePath(book, page, PageImage);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QImage image(200 + page, 300, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(path, "JPG"));
    }
    // The screen as the main window makes it, after a sign-in with the library loaded.
    void open(const QString &bookIds = QStringLiteral("1;2")) {
        BookCatalogue::LoadBookLibrary(bookIds, UserType());
        screen = std::make_unique<Tfrlearn>(GlobalServices());
        screen->resize(900, 700);
        screen->InitScreen();
        screen->BuildBookMenu();
        screen->EnterScreen();
    }
    int page() const { return screen->CurrentPage(); }
    bool pictureShown() const { return !screen->Image1->pixmap().isNull(); }

    QTemporaryDir dir;
    ScriptedSeam seam;
    QMap<int, QString> panels;
    std::unique_ptr<Tfrlearn> screen;
};

} // namespace

TEST_F(LessonScreen, EmptyLibraryShowsNothingAndLocksThePageButtons) {
    open(QStringLiteral("99"));
    EXPECT_FALSE(pictureShown());
    for (QToolButton *button : {screen->sbprior, screen->sbNext, screen->sbgotopage,
                                screen->spbaudio, screen->spbbook, screen->spblesson})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_EQ(panels[3], "Aktivní kniha: <žádná>");
    screen->sbNextClick();
    screen->sbgotopageClick();
    EXPECT_TRUE(seam.inputs.isEmpty());
}

TEST_F(LessonScreen, ChoosingABookStartsAtItsFirstPage) {
    open();
    EXPECT_EQ(page(), 1);
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(panels[3], "Aktivní kniha: English One, Unit 1 - strana 1");
    EXPECT_EQ(screen->sbgotopage->text(), "St&r. 1");
    screen->sbNextClick();
    EXPECT_EQ(page(), 2);
    // Page 2 has two recordings, the first one chosen.
    ASSERT_EQ(screen->pma->actions().size(), 2);
    EXPECT_EQ(screen->pma->actions()[0]->text(), "Dialogue");
    EXPECT_EQ(screen->CurrentRecording(), 1);
    EXPECT_TRUE(screen->spbaudio->isEnabled());

    ASSERT_EQ(screen->pmb->actions().size(), 2);
    EXPECT_EQ(screen->pmb->actions()[1]->text(), "English Two (5-9)");
    screen->pmb->actions()[1]->trigger();
    EXPECT_EQ(page(), 5);
    EXPECT_EQ(screen->Image1->pixmap().width(), 205);
    EXPECT_FALSE(screen->sbprior->isEnabled());
    EXPECT_TRUE(screen->pmb->actions()[1]->isChecked());
    // The lesson menu now holds the second book's lesson with its pages, page 5 marked.
    ASSERT_EQ(screen->pml->actions().size(), 1);
    QMenu *lesson = screen->pml->actions()[0]->menu();
    ASSERT_NE(lesson, nullptr);
    EXPECT_EQ(lesson->actions().size(), 5);
    EXPECT_EQ(lesson->actions()[0]->text(), "Strana 5");
    EXPECT_TRUE(lesson->actions()[0]->isChecked());
    EXPECT_TRUE(screen->pml->actions()[0]->isChecked());
    lesson->actions()[4]->trigger();
    EXPECT_EQ(page(), 9);
    EXPECT_FALSE(screen->sbNext->isEnabled());
}

TEST_F(LessonScreen, RememberedPageBeyondTheBookShowsItsFirstPage) {
    Settings().lastUsedBook = 2;
    Settings().lastUsedPage = 99;
    open();
    EXPECT_TRUE(screen->pmb->actions()[1]->isChecked());
    EXPECT_EQ(page(), 5);

    // At sign-out the book and page are stored.
    screen->sbNextClick();
    screen->SignOutScreen();
    EXPECT_EQ(Settings().lastUsedBook, 2);
    EXPECT_EQ(Settings().lastUsedPage, 6);
}

TEST_F(LessonScreen, GoToPageTakesOnlyPagesOfTheBook) {
    open();
    screen->sbNextClick();
    for (const char *answer : {"0", "7", "abc", "-1"}) {
        seam.inputAnswers.enqueue(QString::fromLatin1(answer));
        screen->sbgotopageClick();
        EXPECT_EQ(page(), 2) << answer;
    }
    EXPECT_EQ(seam.inputs.size(), 4);
    // Each refusal says which pages the book has.
    ASSERT_EQ(seam.boxes.size(), 4);
    EXPECT_TRUE(seam.boxes[1].text.startsWith(u"Strana 7 v této učebnici není")) << seam.boxes[1].text.toStdString();
    seam.boxes.clear();
    seam.inputAnswers.enqueue(QString()); // cancelled
    screen->sbgotopageClick();
    EXPECT_EQ(page(), 2);
    EXPECT_TRUE(seam.boxes.isEmpty());
    seam.inputAnswers.enqueue(QStringLiteral("6"));
    screen->sbgotopageClick();
    EXPECT_EQ(page(), 6);
    EXPECT_EQ(panels[3], "Aktivní kniha: English One, Unit 2 - strana 6");
}

TEST_F(LessonScreen, FollowingStudentCannotNavigate) {
    SessionValues().setText(QStringLiteral("usertype=4\r\niduser=7\r\nidjob=1"));
    open();
    screen->sbNextClick(); // page 2, with recordings
    EXPECT_TRUE(screen->sbprior->isEnabled());
    EXPECT_FALSE(screen->spbsync->isVisible());

    screen->channel().SetSyncFlag(true);
    for (QToolButton *button :
         {screen->sbprior, screen->sbNext, screen->sbgotopage, screen->spbbook, screen->spblesson,
          screen->spbaudio, screen->spbplay, screen->spbpause})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    EXPECT_FALSE(screen->pansync->isHidden());
    EXPECT_TRUE(screen->spbsync->isHidden());
    EXPECT_TRUE(screen->pansync->font().bold());
    // A page shown while following keeps them locked.
    screen->ShowPage();
    EXPECT_FALSE(screen->sbNext->isEnabled());
    EXPECT_FALSE(screen->sbgotopage->isEnabled());
    // So does a page of another book the teacher switches to.
    ASSERT_TRUE(screen->followBook(2, 6));
    screen->ShowPage();
    for (QToolButton *button :
         {screen->sbprior, screen->sbNext, screen->sbgotopage, screen->spbbook, screen->spblesson})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    ASSERT_TRUE(screen->followBook(1, 2));
    screen->ShowPage();

    screen->channel().SetSyncFlag(false);
    EXPECT_TRUE(screen->sbNext->isEnabled());
    EXPECT_TRUE(screen->spbbook->isEnabled());
    EXPECT_TRUE(screen->spbaudio->isEnabled());
    EXPECT_TRUE(screen->pansync->isHidden());
}

TEST_F(LessonScreen, CtrlEnterAloneSendsAndEnterStartsALine) {
    open();
    screen->partnerChanged(true); // the send button is enabled with a partner
    TChatInput *input = screen->Memowrite;
    QTest::keyClicks(input, QStringLiteral("Ahoj"));
    QTest::keyClick(input, Qt::Key_Return);
    input->insertPlainText(QStringLiteral("světe"));
    EXPECT_EQ(input->toPlainText(), "Ahoj\nsvěte");
    QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(input->toPlainText(), "Ahoj\nsvěte");
    EXPECT_TRUE(seam.boxes.isEmpty());
    // Not connected: sending says so and keeps the text.
    QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(seam.boxTexts(), QStringList{"Klient není připojen!"});
    EXPECT_EQ(input->toPlainText(), "Ahoj\nsvěte");
    // Without a partner the send button is off and Ctrl+Enter does nothing.
    screen->partnerChanged(false);
    QTest::keyClick(input, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(seam.boxes.size(), 1);
}

TEST_F(LessonScreen, ReceivedMessageIsHeadedByTheWriterInPurple) {
    open();
    screen->chatReceived(QStringLiteral("Jana Učitelová"), {"Dobrý den", "Jak se máte?"});
    const QTextDocument &history = *screen->memoread->document();
    QTextBlock header = history.begin();
    EXPECT_TRUE(header.text().startsWith("Jana Učitelová ")) << header.text().toStdString();
    const QTextCharFormat headerFormat = header.begin().fragment().charFormat();
    EXPECT_TRUE(headerFormat.font().bold());
    EXPECT_TRUE(headerFormat.font().italic());
    EXPECT_EQ(headerFormat.foreground().color(), QColor(128, 128, 128));
    const QTextBlock line = header.next();
    EXPECT_EQ(line.text(), "Dobrý den");
    EXPECT_EQ(line.begin().fragment().charFormat().foreground().color(), QColor(128, 0, 128));
    EXPECT_EQ(line.next().text(), "Jak se máte?");
    EXPECT_TRUE(screen->memoread->isReadOnly());
    EXPECT_TRUE(screen->HistoryChanged());
}

TEST(TeacherChoice, OffersTheTeachersAndGivesTheChosenOne) {
    SetLanguageIndex(LangCzech);
    const QList<OnlineTeacher> teachers = {{"12", u"Bílý Čeněk"_qs}, {"14", u"Čech Zdeněk"_qs}};
    // Answers the dialog once it shows: the second teacher, then OK or cancel.
    const auto answer = [](bool ok) {
        QTimer::singleShot(0, [ok] {
            auto *dialog = qobject_cast<Tfselteacher *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Výběr vyučujícího");
            EXPECT_EQ(dialog->ComboBox1->currentIndex(), 0);
            EXPECT_EQ(dialog->ComboBox1->itemText(1), u"Čech Zdeněk"_qs);
            dialog->ComboBox1->setCurrentIndex(1);
            (ok ? dialog->btnok : dialog->btncancel)->click();
        });
    };
    answer(true);
    EXPECT_EQ(Tfselteacher::Choose(teachers), 1);
    answer(false);
    EXPECT_EQ(Tfselteacher::Choose(teachers), -1);
}
