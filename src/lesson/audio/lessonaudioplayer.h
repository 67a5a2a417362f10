#pragma once

#include "lesson/audio/tcbaudioplay.h"
#include "lesson/screen/lessonaudio.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

// The lesson screen's recording controls with a player: play, pause and stop of the chosen
// recording of the page (downloaded first when it is missing), the buttons following the
// player's state, and Timer2, which releases a recording that has ended. The actions are the
// screen's handlers; a failing player raises its error to the caller's guard.
class TLessonAudioPlayer : public QObject, public LessonAudio {
    Q_OBJECT
public:
    explicit TLessonAudioPlayer(Tfrlearn &screen);
    ~TLessonAudioPlayer() override;

    // Resumes a paused player; otherwise plays the current recording from its beginning,
    // downloading it first when missing ("Stahování audia %s") and starting Timer2; then
    // refreshes the buttons and sends action 1. A download that delivers nothing ends the
    // action there: nothing plays, the buttons stay and nothing is sent.
    void PlayAction() override;
    // With a player: pauses, refreshes the buttons, sends action 2; without one nothing.
    void PauseAction() override;
    // Releases the player (so the next play starts from the beginning), refreshes the buttons
    // and sends action 3, also when there was no player.
    void StopAction() override;
    // Play shows unless the recording plays, pause takes its place; stop works while a
    // recording is paused or playing; a student who follows the teacher can use none of them.
    // A player whose recording has ended is released here.
    void UpdateAudioButtons() override;
    void ReleasePlayer() override;
    int PlayingRecording() const override { return m_player ? m_recording : 0; }
    // Every 250 ms while a player exists: refreshes the buttons; stops when no player is left.
    void Timer2Timer();

    TcbAudioPlay *player() const { return m_player; }
    bool timerRunning() const { return m_timer2.isActive(); }

private:
    Tfrlearn &m_screen;
    bool playerCall(void (TcbAudioPlay::*call)());
    bool releasedSince(int releases, int recording);

    QPointer<TcbAudioPlay> m_player;
    QTimer m_timer2;
    int m_recording = 0;
    // Counts releases, so a play that waited (for a download or for the player) sees that the
    // player was released meanwhile, as following switched on does, and gives up.
    int m_releases = 0;
    // Set while the player waits inside one of its own calls: a release then waits for the
    // call to return instead of deleting the player under it.
    bool m_inCall = false;
    bool m_releaseLater = false;
};
