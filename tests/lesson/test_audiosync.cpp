// Recording commands between a teacher and a following student: two lesson screens with their
// players, over the reference relay on private loopback ports, playing into the private sound
// server's null output.
#include "audiotestsupport.h"
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/audio/lessonaudioplayer.h"
#include "lesson/audio/tcbaudioplay.h"
#include "lesson/screen/tfrlearn.h"
#include "net/settings/settings.h"
#include "qtprinters.h"
#include "relayhubthread.h"
#include "scriptedseam.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include "globalservices.h"

#include <gtest/gtest.h>

namespace {

constexpr int Wait = 10000;

// A lesson screen with its own identity on the relay (both sides live in one process), no chat
// history on the server, and the recording commands it receives counted.
class SideScreen : public Tfrlearn {
public:
    SideScreen(int userType, int userId, const QString &relay)
        : Tfrlearn(GlobalServices()), m_who{userType, 7, userId, relay} {}

    QList<QPair<int, int>> received; // recording, action

    LessonIdentity identity() override { return m_who; }
    QList<OnlineTeacher> fetchOnlineTeachers() override {
        return {{QStringLiteral("12"), QStringLiteral("Jana Učitelová")}};
    }
    int chooseTeacher(const QList<OnlineTeacher> &) override { return 0; }
    QString userName(const QString &) override { return QStringLiteral("Petr Žák"); }
    void saveChatHistory() override {}
    void loadChatHistory(int) override {}
    void followAudio(int audioIndex, int action) override {
        received.append({audioIndex, action});
        Tfrlearn::followAudio(audioIndex, action);
    }

    TcbAudioPlay *player() { return dynamic_cast<TLessonAudioPlayer &>(Audio()).player(); }
    int state() { return player() ? player()->State() : -1; } // -1: no player
    void show(int book, int page) {
        followBook(book, page);
        ShowPage();
    }

private:
    LessonIdentity m_who;
};

class AudioSync : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        const QString reason = UsePrivateSoundServer();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        WriteDemoLibrary();
        StoreDemoRecording(1, 2, "greetings");
        StoreDemoRecording(2, 1, "counting");
        StoreDemoRecording(2, 2, "greetings");
        SessionValues().setText(QStringLiteral("usertype=3"));
        BookCatalogue::LoadBookLibrary(QString(), 3);
        ASSERT_TRUE(relay.start());
        Settings().useSsl = false;
        Settings().onlinePortType = 0;
        const QString host = QStringLiteral("127.0.0.1:%1").arg(relay.port());
        teacher = std::make_unique<SideScreen>(3, 12, host);
        student = std::make_unique<SideScreen>(4, 40, host);
        for (SideScreen *side : {teacher.get(), student.get()}) {
            side->InitScreen();
            side->BuildBookMenu();
            side->show(1, 3);
        }
        teacher->channel().ConnectToggle();
        ASSERT_TRUE(teacher->channel().isConnected());
        student->channel().ConnectToggle();
        ASSERT_TRUE(student->channel().isConnected());
        ASSERT_TRUE(QTest::qWaitFor([&] { return teacher->channel().partnerId() == "40"; }, Wait));
        ASSERT_TRUE(teacher->channel().SendSync(true, 1, 3));
        ASSERT_TRUE(QTest::qWaitFor([&] { return student->channel().syncOn(); }, Wait));
    }
    void TearDown() override {
        student.reset();
        teacher.reset();
        BookCatalogue::ClearLibrary();
        SessionValues().clear();
        Settings() = AppSettings();
    }

    // Waits until the student has received that many recording commands.
    bool studentReceived(qsizetype count) {
        return QTest::qWaitFor([&] { return student->received.size() >= count; }, Wait);
    }
    void click(QToolButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    QTemporaryDir dir;
    ScriptedSeam seam;
    RelayHubThread relay;
    std::unique_ptr<SideScreen> teacher, student;
};

TEST_F(AudioSync, TeachersPlayPauseAndStopDriveTheFollowingStudent) {
    EXPECT_FALSE(student->spbplay->isEnabled());
    click(teacher->spbplay);
    ASSERT_TRUE(studentReceived(1));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPlaying);
    EXPECT_EQ(student->player()->fileName(), BookCatalogue::BookFilePath(1, 2, Recording));

    click(teacher->spbpause);
    ASSERT_TRUE(studentReceived(2));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPaused);
    click(teacher->spbplay);
    ASSERT_TRUE(studentReceived(3));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPlaying);
    click(teacher->spbstop);
    ASSERT_TRUE(studentReceived(4));
    EXPECT_EQ(student->state(), -1);
    teacher->Audio().StopAction(); // no player on either side: still sent
    ASSERT_TRUE(studentReceived(5));
    EXPECT_EQ(student->received, (QList<QPair<int, int>>{{2, 1}, {2, 2}, {2, 1}, {2, 3}, {2, 3}}));
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

TEST_F(AudioSync, AnotherRecordingIsStoppedThenStartedForTheStudent) {
    teacher->show(2, 7); // the student follows the page
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 7; }, Wait));
    click(teacher->spbplay);
    ASSERT_TRUE(studentReceived(1));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPlaying);
    teacher->pma->actions().at(1)->trigger(); // "Greetings" -> "Counting"
    ASSERT_TRUE(studentReceived(3));
    // The stop names the recording that played, the play the chosen one.
    EXPECT_EQ(student->received, (QList<QPair<int, int>>{{2, 1}, {2, 3}, {1, 1}}));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPlaying);
    EXPECT_EQ(student->player()->fileName(), BookCatalogue::BookFilePath(2, 1, Recording));
    EXPECT_TRUE(student->pma->actions().at(1)->isChecked());
}

TEST_F(AudioSync, PauseAndStopAfterAPageTurnReachTheRecordingThatPlays) {
    click(teacher->spbplay); // page 3: recording 2
    ASSERT_TRUE(studentReceived(1));
    teacher->show(1, 4); // a page without recordings; the recording goes on
    ASSERT_TRUE(QTest::qWaitFor([&] { return student->CurrentPage() == 4; }, Wait));
    EXPECT_EQ(student->state(), TcbAudioPlay::psPlaying);
    click(teacher->spbpause);
    ASSERT_TRUE(studentReceived(2));
    EXPECT_EQ(teacher->state(), TcbAudioPlay::psPaused);
    EXPECT_EQ(student->state(), TcbAudioPlay::psPaused);
    click(teacher->spbstop);
    ASSERT_TRUE(studentReceived(3));
    EXPECT_EQ(student->received, (QList<QPair<int, int>>{{2, 1}, {2, 2}, {2, 3}}));
    EXPECT_EQ(student->state(), -1);
}

} // namespace
