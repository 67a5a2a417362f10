// The audio player on QtMultimedia, playing the demo school's recordings into the private
// sound server's null output.
#include "audiotestsupport.h"
#include "lang/texts.h"
#include "lesson/audio/audiodevices.h"
#include "lesson/audio/audioplayerror.h"
#include "lesson/audio/boundedwait.h"
#include "lesson/audio/tcbaudioplay.h"
#include "qtprinters.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace {

class AudioPlayer : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        const QString reason = UsePrivateSoundServer();
        if (!reason.isEmpty())
            GTEST_SKIP() << reason.toStdString();
    }

    // The error that building a player on the file raises, if any.
    static std::optional<EcbAudioPlayError> CreationError(const QString &file, int device = -1) {
        try {
            TcbAudioPlay player(nullptr, device, file);
        } catch (const EcbAudioPlayError &error) {
            return error;
        }
        return std::nullopt;
    }

    QTemporaryDir dir;
};

TEST_F(AudioPlayer, TheNullOutputIsListed) {
    EXPECT_FALSE(AudioOutputDevices().isEmpty());
    EXPECT_FALSE(AudioOutputDevice(-1).isNull());
    EXPECT_FALSE(AudioOutputDevice(0).isNull());
    EXPECT_FALSE(AudioOutputDevice(AudioOutputDevices().size()).isNull()); // the default
}

// The backend reports positions in steps (after a start it may hold the old value for a while
// and then jump ahead, up to the end of the recording), so the waits below are generous and the
// checks one-sided.
TEST_F(AudioPlayer, PlaysPausesResumesAndStops) {
    TcbAudioPlay player(nullptr, -1, DemoRecording("counting"));
    EXPECT_EQ(player.State(), TcbAudioPlay::psStopped);
    player.Play();
    EXPECT_EQ(player.State(), TcbAudioPlay::psPlaying);
    ASSERT_TRUE(WaitUntil([&] { return player.position() > 300; }, 10000));
    player.Pause();
    EXPECT_EQ(player.State(), TcbAudioPlay::psPaused);
    const qint64 paused = player.position();
    Spin(400);
    EXPECT_LT(player.position() - paused, 100) << "moves while paused";
    player.Play();
    EXPECT_EQ(player.State(), TcbAudioPlay::psPlaying);
    EXPECT_GE(player.position(), paused) << "resumed from the beginning";
    ASSERT_TRUE(WaitUntil(
        [&] {
            return player.position() > paused + 100 || player.State() == TcbAudioPlay::psStopped;
        },
        10000));
    EXPECT_TRUE(WaitUntil([&] { return player.duration() > 3000; }, 10000)) << player.duration();
    player.Stop();
    EXPECT_EQ(player.State(), TcbAudioPlay::psStopped);
    EXPECT_EQ(player.position(), 0);
    player.Play();
    EXPECT_EQ(player.State(), TcbAudioPlay::psPlaying);
    EXPECT_LT(player.position(), paused) << "a stopped player starts again from its beginning";
}

TEST_F(AudioPlayer, EndOfTheRecordingIsReportedOnceOrLoops) {
    for (const bool loop : {false, true}) {
        SCOPED_TRACE(loop ? "loop" : "once");
        TcbAudioPlay player(nullptr, -1, DemoRecording("directions"));
        player.setLoop(loop);
        int completions = 0;
        player.setOnComplete([&] { ++completions; });
        player.Play();
        ASSERT_TRUE(WaitUntil([&] { return completions > 0; }, 20000));
        EXPECT_TRUE(player.canSeek());
        Spin(200);
        EXPECT_EQ(completions, 1);
        EXPECT_EQ(player.State(), loop ? TcbAudioPlay::psPlaying : TcbAudioPlay::psStopped);
        if (loop) {
            EXPECT_LT(player.position(), 1500);
        }
    }
}

TEST_F(AudioPlayer, FilesThatCannotPlayGiveTheirErrors) {
    QFile picture(dir.filePath("003.jpg"));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.write(TinyJpeg());
    picture.close();
    QFile text(dir.filePath("notes.mp3"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("These are only words, no sound at all.\n");
    text.close();

    const auto noAudio = CreationError(picture.fileName());
    ASSERT_TRUE(noAudio);
    EXPECT_EQ(noAudio->code(), 1000);
    EXPECT_EQ(noAudio->message(), "Specified file doesn't have any audio stream.");

    const auto missing = CreationError(dir.filePath("a009.mp3"));
    ASSERT_TRUE(missing);
    EXPECT_EQ(quint32(missing->code()), 0x80070002u);
    EXPECT_TRUE(missing->message().startsWith("DirectShow call failed: 80070002\r"))
        << missing->message().toStdString();

    const auto words = CreationError(text.fileName());
    ASSERT_TRUE(words);
    EXPECT_EQ(quint32(words->code()), 0x80040265u);
    EXPECT_TRUE(words->message().startsWith("DirectShow call failed: 80040265\r"))
        << words->message().toStdString();
}

// Every wait for the backend ends: at once when the state is there, within the bound when it
// never comes (the player then raises its error with text 1600).
TEST(BoundedWait, EndsWhenReachedOrAtTheBound) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(WaitBounded([] { return false; }, 300));
    EXPECT_GE(clock.elapsed(), 300);
    EXPECT_LT(clock.elapsed(), 3000);
    bool flag = false;
    QTimer::singleShot(50, [&] { flag = true; });
    clock.restart();
    EXPECT_TRUE(WaitBounded([&] { return flag; }, 5000));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_TRUE(WaitBounded([] { return true; }, 0));
}

TEST(EcbAudioPlayErrorText, CallFailedWritesTheCodeAndItsDescription) {
    const struct {
        quint32 code;
        QString backendText;
        QString message;
    } cases[] = {
        {0x80070057, "ignored",
         "DirectShow call failed: 80070057\rOne of the parameters is invalid."},
        {0x00040003,
         {},
         "DirectShow call failed: 40003\rReached the end of the stream; the sample wasn't "
         "updated."},
        {0x8004040A,
         {},
         "DirectShow call failed: 8004040A\rThe IMultiMediaStream object is not in "
         "running state."},
        {0x80070002, "Soubor nelze otevřít",
         "DirectShow call failed: 80070002\rSoubor nelze otevřít"},
        {0x80004005, {}, "DirectShow call failed: 80004005\rUnrecognized error value."},
    };
    for (const auto &c : cases) {
        const EcbAudioPlayError error = EcbAudioPlayError::CallFailed(c.code, c.backendText);
        EXPECT_EQ(error.message(), c.message);
        EXPECT_EQ(quint32(error.code()), c.code);
    }
}

} // namespace
