// The lesson screen in the real program, signed in to the reference server with its demo
// school and lesson relay; the other side of the lesson is a channel of this test, signed in
// to the same server.
#include "base/session.h"
#include "screenfixture.h"
#include "testlessonhost.h"

#include "app/tfmain.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/screen/chatinput.h"
#include "lesson/screen/lessonpageview.h"
#include "lesson/screen/tfrlearn.h"
#include "wire/compression.h"
#include "server/serveroptions.h"
#include "serverharness.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTcpServer>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>
#include <QWebEngineView>

namespace {

constexpr int Wait = 15000;

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

quint16 g_relayPort = 0;

class LessonWithServer : public ScreenFixture {
protected:
    LessonWithServer()
        : ScreenFixture([](ServerOptions &options) {
              g_relayPort = freePort();
              options.relay << ListenAddress{QHostAddress::LocalHost, g_relayPort};
              options.relayHost = QStringLiteral("127.0.0.1:%1").arg(g_relayPort);
          }) {}

    Tfrlearn &screen() { return *static_cast<Tfrlearn *>(app->mainWindow()->screen(u"learn")); }
    QString panel(int index) { return app->mainWindow()->statusPanel(index)->text(); }
    // The other side: signed in to the server over HTTP, on the relay through a channel.
    void otherSide(const QString &login, int userType, int userId) {
        const HttpReply reply = server.login(login, login);
        const auto session = SessionSection(DecompressText(reply.body.mid(5)));
        otherHost.who = {userType, session.value("idjob").toInt(), userId,
                         QStringLiteral("127.0.0.1:%1").arg(g_relayPort)};
        ASSERT_NE(otherHost.who.jobId, 0);
        const QString sessionId = session.value("sesid");
        otherHost.tokenSource = [this, sessionId]() -> std::optional<QByteArray> {
            return server.post("relaytoken", {}, sessionId).body.mid(2);
        };
    }

    TestLessonHost otherHost;
    LessonChannel other{otherHost};
};

} // namespace

TEST_F(LessonWithServer, StudentChatsAndFollowsTheTeacher) {
    otherSide(QStringLiteral("lektor"), 3, int(Demo::Teacher));
    other.ConnectToggle();
    ASSERT_TRUE(other.isConnected()) << otherHost.status.toStdString();

    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    ASSERT_TRUE(screen().HistoryLoaded());
    EXPECT_EQ(panel(1), "Výuka je off-line");
    EXPECT_EQ(screen().Spbconnect->text(), "&Připojit se");
    QTest::mouseClick(screen().Spbconnect, Qt::LeftButton);
    ASSERT_TRUE(screen().channel().isConnected()) << panel(2).toStdString();
    EXPECT_EQ(panel(1), "Výuka je on-line");
    EXPECT_EQ(panel(2).toStdString(), "Vyučující: Svobodová Petra");
    EXPECT_TRUE(screen().spbsend->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.partnerId() == "7"; }, Wait));

    // Chat both ways in Czech.
    EXPECT_TRUE(other.SendChat({u"Dobrý den, Jene."_qs, u"Otevřete si učebnici."_qs}).delivered());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return screen().memoread->toPlainText().contains(u"Otevřete si učebnici."_qs); },
        Wait));
    EXPECT_TRUE(screen().memoread->toPlainText().contains(u"Svobodová Petra "_qs));
    screen().Memowrite->setPlainText(u"Dobrý den, už ji mám otevřenou."_qs);
    QTest::keyClick(screen().Memowrite, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(screen().Memowrite->toPlainText().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return otherHost.chats.size() == 1; }, Wait));
    EXPECT_EQ(otherHost.chats[0].second, QStringList{u"Dobrý den, už ji mám otevřenou."_qs});
    EXPECT_TRUE(screen().memoread->toPlainText().contains(u"Novák Jan "_qs));

    // Following: the page the teacher shows is downloaded and shown, the controls locked.
    const tbook book = BookCatalogue::Library().constFirst();
    ASSERT_TRUE(other.SendSync(true, book.number, book.firstPage + 1));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screen().CurrentPage() == book.firstPage + 1; }, Wait));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().Image1->pixmap().isNull(); }, Wait));
    EXPECT_FALSE(screen().sbNext->isEnabled());
    EXPECT_FALSE(screen().pansync->isHidden());
    other.SendPage(book.number, book.firstPage + 2);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return screen().CurrentPage() == book.firstPage + 2; }, Wait));

    // The teacher leaves: the student is off line, following ends.
    other.DisconnectLesson();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().channel().isConnected(); }, Wait));
    EXPECT_EQ(panel(1), "Výuka je off-line");
    EXPECT_TRUE(screen().pansync->isHidden());
    EXPECT_TRUE(screen().sbNext->isEnabled());
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(LessonWithServer, StudentHistoryIsFetchedOncePerSignInAndKeptOnTheServer) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    ASSERT_TRUE(screen().HistoryLoaded());
    screen().chatReceived(QStringLiteral("Svobodová Petra"), {u"Příliš žluťoučký kůň"_qs});
    // Opening the screen again does not fetch the history again: the new line stays.
    clickMain("im_order");
    clickMain("im_learn");
    EXPECT_TRUE(screen().memoread->toPlainText().contains(u"Příliš žluťoučký kůň"_qs));
    const QString shown = screen().memoread->toPlainText();

    signOut(); // saves the changed history
    EXPECT_TRUE(screen().memoread->toPlainText().isEmpty());
    EXPECT_FALSE(screen().HistoryLoaded());
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    EXPECT_EQ(screen().memoread->toPlainText(), shown);
    EXPECT_FALSE(screen().HistoryChanged());
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(LessonWithServer, AChatHistoryThatCannotBeSavedIsKeptAndSavedLaterWithoutABox) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    ASSERT_TRUE(screen().HistoryLoaded());
    screen().chatReceived(QStringLiteral("Svobodová Petra"), {u"Neztratit ani slovo"_qs});
    // The central server cannot be reached for a while.
    ConnectionTarget &target = CurrentConnectionTarget();
    const ConnectionTarget reachable = target;
    target.server = QStringLiteral("127.0.0.1:1");
    screen().SetChatRetryPause(200);
    screen().SaveChatHistory();
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
    EXPECT_TRUE(screen().HistoryChanged());
    EXPECT_TRUE(screen().ChatSaveWaiting());
    // Back again: the next try saves it, with nothing asked of the student.
    target = reachable;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().HistoryChanged(); }, 10000));
    EXPECT_FALSE(screen().ChatSaveWaiting());
    EXPECT_TRUE(seam.boxes.isEmpty());
    const HttpReply stored =
        server.post("getchatfile", "aiduser=" + QByteArray::number(Demo::Client), sessionId());
    EXPECT_TRUE(stored.body.startsWith("ok"));
}

TEST_F(LessonWithServer, TeacherSeesTheConnectedStudent) {
    signIn(QStringLiteral("lektor"));
    clickMain("im_learn");
    EXPECT_EQ(screen().Spbconnect->text(), "&Být on-line");
    QTest::mouseClick(screen().Spbconnect, Qt::LeftButton);
    ASSERT_TRUE(screen().channel().isConnected()) << panel(2).toStdString();
    EXPECT_FALSE(screen().spbuserdetail->isEnabled());

    otherSide(QStringLiteral("klient"), 4, int(Demo::Client));
    otherHost.teachers = {{QString::number(Demo::Teacher), u"Svobodová Petra"_qs}};
    other.ConnectToggle();
    ASSERT_TRUE(other.isConnected()) << otherHost.status.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return screen().channel().partnerId() == "7"; }, Wait));
    EXPECT_EQ(panel(2).toStdString(), "Připojen klient: Novák Jan");
    EXPECT_TRUE(screen().spbuserdetail->isEnabled());
    EXPECT_TRUE(screen().spbsync->isEnabled());

    // "Synchro" switches the student to following, confirmed by the relay.
    QTest::mouseClick(screen().spbsync, Qt::LeftButton);
    EXPECT_TRUE(screen().spbsync->isChecked());
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.syncOn(); }, Wait));
    QTest::mouseClick(screen().sbNext, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return otherHost.shownPages.size() == 2; }, Wait));
    EXPECT_EQ(otherHost.shownPages.last().second, screen().CurrentPage());

    // "&Klient" shows the student's user record.
    QString title;
    WhenModal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        static_cast<QDialog *>(dialog)->reject();
    });
    QTest::mouseClick(screen().spbuserdetail, Qt::LeftButton);
    EXPECT_FALSE(title.isEmpty());
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

TEST_F(LessonWithServer, HtmlBookOpensInTheBrowser) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    QAction *html = nullptr;
    for (QAction *item : screen().pmb->actions())
        if (item->text().startsWith(u"Čtenářský klub"_qs))
            html = item;
    ASSERT_NE(html, nullptr);
    html->trigger();
    ASSERT_NE(screen().browser(), nullptr);
    EXPECT_EQ(screen().pages->currentWidget(), screen().browser());
    EXPECT_EQ(screen().sbgotopage->text(), "Start");
    EXPECT_FALSE(screen().spblesson->isEnabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel(3).startsWith("Browser - "); }, Wait))
        << panel(3).toStdString();
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

namespace {

bool onDisk(int book, int index, int fileType) {
    return QFileInfo::exists(BookCatalogue::BookFilePath(book, index, fileType));
}

// Triggers the lesson menu's item of the page.
void choosePage(QMenu *lessons, int page) {
    for (QAction *lesson : lessons->actions())
        for (QAction *item : lesson->menu()->actions())
            if (item->data().toInt() == page)
                return item->trigger();
    FAIL() << "no page " << page << " in the lesson menu";
}

} // namespace

// Once a page of an image book is shown, the next page's image and recordings arrive in the
// background without any window or message, and the page after that once it is turned to.
TEST_F(LessonWithServer, NextPageIsFetchedAheadQuietly) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    const tbook book = BookCatalogue::Library().constFirst();
    ASSERT_EQ(screen().CurrentPage(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().Prefetch().IsRunning(); }, Wait));
    EXPECT_TRUE(onDisk(book.number, 2, PageImage));
    EXPECT_TRUE(onDisk(book.number, 1, Recording)); // page 2's recording
    EXPECT_FALSE(onDisk(book.number, 3, PageImage));

    screen().sbNextClick();
    EXPECT_EQ(screen().CurrentPage(), 2);
    EXPECT_FALSE(screen().Image1->pixmap().isNull());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().Prefetch().IsRunning(); }, Wait));
    EXPECT_TRUE(onDisk(book.number, 3, PageImage));
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}

// Another page cancels the fetch on its way, and a refused file ends a run without a message.
TEST_F(LessonWithServer, FetchAheadStopsOnPageChangeAndRefusal) {
    signIn(QStringLiteral("klient"));
    clickMain("im_learn");
    const tbook book = BookCatalogue::Library().constFirst();
    choosePage(screen().pml, 5);
    ASSERT_TRUE(screen().Prefetch().IsRunning()); // page 6, not arrived yet
    choosePage(screen().pml, 9);
    ASSERT_EQ(screen().CurrentPage(), 9);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !screen().Prefetch().IsRunning(); }, Wait));
    EXPECT_FALSE(onDisk(book.number, 6, PageImage));
    EXPECT_TRUE(onDisk(book.number, 10, PageImage));
    EXPECT_TRUE(onDisk(book.number, 3, Recording)); // page 10's recording

    tbook unknown = book;
    unknown.number = 77;
    bool idle = false;
    screen().Prefetch().setOnIdle([&idle] { idle = true; });
    screen().Prefetch().Start(unknown, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return idle; }, Wait));
    EXPECT_FALSE(onDisk(77, 4, PageImage));
    EXPECT_FALSE(QFileInfo::exists(BookCatalogue::BookFolder(77) + "/004.jpg.zip"));
    EXPECT_TRUE(seam.boxes.isEmpty()) << seam.boxTexts().join(u'|').toStdString();
}
