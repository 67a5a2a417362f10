// The lesson screen's recording controls with the real player: play, pause, resume and stop,
// Timer2 releasing a recording that ended, recordings downloaded from the reference server
// when missing, files that cannot play, and a following student driven by the teacher.
#include "audiotestsupport.h"
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/audio/lessonaudioplayer.h"
#include "lesson/audio/tcbaudioplay.h"
#include "lesson/screen/tfrlearn.h"
#include "net/requestrunner.h"
#include "net/settings/settings.h"
#include "qtprinters.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include "globalservices.h"

#include <gtest/gtest.h>

namespace {

class RecordingControls : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        const QString reason = UsePrivateSoundServer();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        Settings() = AppSettings();
        Settings().useSsl = false;
        CurrentConnectionTarget() = {QStringLiteral("127.0.0.1:%1").arg(server.httpPort()),
                                     QStringLiteral("/tellavo/client.php")};
        WriteDemoLibrary();
    }
    void TearDown() override {
        screen.reset();
        BookCatalogue::ClearLibrary();
        SessionValues().clear();
        CurrentConnectionTarget() = {};
        Settings() = AppSettings();
    }
    // The lesson screen of a teacher (or a student) signed in to the reference server, showing
    // the page.
    void open(int book, int page, bool student = false) {
        const QString login = student ? QStringLiteral("klient") : QStringLiteral("lektor");
        SessionValues().setText(QStringLiteral("sesid=%1\r\nusertype=%2\r\niduser=%3\r\nidjob=1")
                                    .arg(server.signIn(login))
                                    .arg(student ? 4 : 3)
                                    .arg(student ? Demo::Client : Demo::Teacher));
        BookCatalogue::LoadBookLibrary(QStringLiteral("1;2"), UserType());
        screen = std::make_unique<Tfrlearn>(GlobalServices());
        screen->InitScreen();
        screen->BuildBookMenu();
        screen->EnterScreen();
        ASSERT_TRUE(screen->followBook(book, page));
        screen->ShowPage();
        audio = dynamic_cast<TLessonAudioPlayer *>(&screen->Audio());
        ASSERT_NE(audio, nullptr);
    }

    // The recording buttons: "P" play, "Z" pause, "S" stop; lower case when the button shows
    // but cannot be used, "-" when it is hidden (stop never hides).
    QString buttons() const {
        auto look = [](const QToolButton *b, QChar c) {
            return b->isHidden() ? QChar(u'-') : b->isEnabled() ? c : c.toLower();
        };
        return QString() + look(screen->spbplay, u'P') + look(screen->spbpause, u'Z') +
               look(screen->spbstop, u'S');
    }
    TcbAudioPlay *player() const { return audio->player(); }
    qint64 position() const { return player() ? player()->position() : -1; }
    void click(QToolButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    QTemporaryDir dir;
    ScriptedSeam seam;
    ServerHarness server;
    RequestRunner runner;
    std::unique_ptr<Tfrlearn> screen;
    TLessonAudioPlayer *audio = nullptr;
};

TEST_F(RecordingControls, PlayPauseResumeStopAndARecordingThatEnds) {
    open(1, 3);
    ASSERT_EQ(screen->CurrentRecording(), 2);
    EXPECT_EQ(buttons(), "P-s");
    const QString file = BookCatalogue::BookFilePath(1, 2, Recording);
    ASSERT_FALSE(QFileInfo::exists(file));

    click(screen->spbplay); // downloads the recording first
    EXPECT_TRUE(QFileInfo::exists(file));
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPlaying);
    EXPECT_EQ(buttons(), "-ZS");
    EXPECT_TRUE(audio->timerRunning());
    ASSERT_TRUE(WaitUntil([&] { return position() > 300; }, 10000));

    click(screen->spbpause);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPaused);
    EXPECT_EQ(buttons(), "P-S");
    const qint64 paused = position();
    const TcbAudioPlay *first = player();
    click(screen->spbplay); // resumes where it was
    EXPECT_EQ(player(), first);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPlaying);
    EXPECT_GE(position(), paused);

    click(screen->spbstop); // released: the next play starts from the beginning
    EXPECT_EQ(player(), nullptr);
    EXPECT_EQ(buttons(), "P-s");
    click(screen->spbplay);
    ASSERT_NE(player(), nullptr);
    EXPECT_LT(position(), paused);
    EXPECT_EQ(seam.boxTexts(), QStringList());

    // The recording ends by itself: Timer2 (every 250 ms) releases the player and the play
    // button comes back.
    TcbAudioPlay *playing = player();
    ASSERT_TRUE(WaitUntil([&] { return !player() || playing->State() == 0; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return !player(); }, 1000));
    EXPECT_EQ(buttons(), "P-s");
    Spin(300);
    EXPECT_FALSE(audio->timerRunning());
}

TEST_F(RecordingControls, AnotherRecordingOfThePageReplacesThePlayingOne) {
    StoreDemoRecording(2, 1, "counting");
    StoreDemoRecording(2, 2, "greetings");
    open(2, 7);
    ASSERT_EQ(screen->pma->actions().size(), 2);
    click(screen->spbplay);
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->fileName(), BookCatalogue::BookFilePath(2, 2, Recording));
    screen->pma->actions().at(1)->trigger();
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->fileName(), BookCatalogue::BookFilePath(2, 1, Recording));
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPlaying);
    EXPECT_EQ(screen->CurrentRecording(), 1);
}

TEST_F(RecordingControls, FollowingStudentIsDrivenByTheTeacherOnly) {
    StoreDemoRecording(1, 2, "greetings");
    open(1, 3, true);
    click(screen->spbplay);
    ASSERT_NE(player(), nullptr);
    screen->channel().SetSyncFlag(true); // the student's own recording goes
    EXPECT_EQ(player(), nullptr);
    EXPECT_EQ(buttons(), "p-s");

    screen->followAudio(2, 1);
    ASSERT_NE(player(), nullptr);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPlaying);
    EXPECT_EQ(buttons(), "-zs");
    screen->followAudio(2, 2);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPaused);
    EXPECT_EQ(buttons(), "p-s");
    screen->followAudio(2, 1);
    EXPECT_EQ(player()->State(), TcbAudioPlay::psPlaying);
    screen->followAudio(2, 3);
    EXPECT_EQ(player(), nullptr);
    screen->followAudio(1, 1); // not a recording of this page
    EXPECT_EQ(player(), nullptr);

    screen->channel().SetSyncFlag(false);
    EXPECT_EQ(buttons(), "P-s");
}

TEST_F(RecordingControls, RecordingsThatCannotPlayEndTheAction) {
    // The server refuses a recording it does not have: nothing plays.
    open(2, 9);
    ASSERT_EQ(screen->CurrentRecording(), 3);
    click(screen->spbplay);
    EXPECT_EQ(player(), nullptr);
    EXPECT_EQ(seam.boxTexts(),
              QStringList(QString::fromUtf8("Operace neproběhla úspěšně.\rSoubor nebyl nalezen.")));
    EXPECT_FALSE(QFileInfo::exists(BookCatalogue::BookFilePath(2, 3, Recording)));
    EXPECT_EQ(buttons(), "P-s");

    // A stored file without sound: the player's error, and no player.
    seam.boxes.clear();
    QFile picture(BookCatalogue::BookFilePath(2, 3, Recording));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write(TinyJpeg());
    picture.close();
    click(screen->spbplay);
    EXPECT_EQ(player(), nullptr);
    EXPECT_EQ(seam.boxTexts(), QStringList("Specified file doesn't have any audio stream."));
    EXPECT_FALSE(audio->timerRunning());
    EXPECT_EQ(buttons(), "P-s");

    // The same from the teacher's command: the error shows, the channel goes on.
    seam.boxes.clear();
    screen->followAudio(3, 1);
    EXPECT_EQ(player(), nullptr);
    EXPECT_EQ(seam.boxTexts(), QStringList("Specified file doesn't have any audio stream."));
}

// Following switched on while the student's own play waits, first for the download of the
// recording, then inside the player's start: the play gives up, nothing plays, and the player
// is never freed inside its own wait.
TEST_F(RecordingControls, FollowingSwitchedOnWhileTheOwnPlayWaitsStopsIt) {
    for (bool stored : {false, true}) {
        SCOPED_TRACE(stored ? "player starting" : "downloading");
        if (stored)
            StoreDemoRecording(1, 2, "greetings");
        open(1, 3, true);
        bool switched = false;
        QTimer::singleShot(0, [&] {
            switched = true;
            screen->channel().SetSyncFlag(true);
        });
        click(screen->spbplay);
        EXPECT_TRUE(switched);
        EXPECT_EQ(player(), nullptr);
        EXPECT_FALSE(audio->timerRunning());
        EXPECT_EQ(buttons(), "p-s");
    }
}

} // namespace
