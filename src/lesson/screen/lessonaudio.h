#pragma once

class Tfrlearn;

// The recording controls of the lesson screen: the play, pause and stop buttons and the player
// behind them. The screen calls the actions from its buttons and for the teacher's
// "@syncaudio" (a student sends nothing back), refreshes the buttons whenever the page or
// following changes, and releases a playing recording when the student starts following.
class LessonAudio {
public:
    virtual ~LessonAudio() = default;
    virtual void PlayAction() = 0;
    virtual void PauseAction() = 0;
    virtual void StopAction() = 0;
    // Sets the play, pause and stop buttons from the player's state and the screen's.
    virtual void UpdateAudioButtons() = 0;
    // Frees the player; afterwards there is none.
    virtual void ReleasePlayer() = 0;
    // The recording the player holds (playing or paused), 0 when none: after a page turn it
    // is no longer the page's chosen one, yet pause and stop are meant for it.
    virtual int PlayingRecording() const { return 0; }
};

// The controls without a player: the buttons show as they do when nothing plays, and the
// actions only pass the teacher's commands on to a following student.
class TLessonAudioButtons : public LessonAudio {
public:
    explicit TLessonAudioButtons(Tfrlearn &screen) : m_screen(screen) {}
    void PlayAction() override;
    void PauseAction() override;
    void StopAction() override;
    void UpdateAudioButtons() override;
    void ReleasePlayer() override {}

private:
    Tfrlearn &m_screen;
};
