#include "lesson/audio/lessonaudioplayer.h"

#include "base/logging.h"
#include "lesson/audio/tcbaudioplay.h"
#include "lesson/books/bookfiles.h"
#include "lesson/screen/tfrlearn.h"
#include "seam/guard.h"

#include <QFileInfo>
#include <QMenu>
#include <QToolButton>

namespace {

constexpr int kTimer2Interval = 250;

} // namespace

TLessonAudioPlayer::TLessonAudioPlayer(Tfrlearn &screen) : m_screen(screen) {
    m_timer2.setInterval(kTimer2Interval);
    connect(&m_timer2, &QTimer::timeout, this, [this] { RunGuarded([this] { Timer2Timer(); }); });
}

TLessonAudioPlayer::~TLessonAudioPlayer() {
    ReleasePlayer();
}

void TLessonAudioPlayer::PlayAction() {
    if (m_player && m_player->State() == TcbAudioPlay::psPaused) {
        if (!playerCall(&TcbAudioPlay::Play))
            return;
    } else {
        ReleasePlayer();
        const int releases = m_releases;
        const tbook *found = m_screen.CurrentBook();
        if (!found)
            return;
        // A copy: the library may be reloaded while the download waits.
        const tbook book = *found;
        const int recording = m_screen.CurrentRecording();
        const QString file = BookCatalogue::BookFilePath(book.number, recording, Recording);
        if (!QFileInfo::exists(file) &&
            !DownloadBookFile(book.number, recording, Recording,
                              RecordingDownloadCaption(book.recordingTitles.value(recording)),
                              file))
            return;
        if (releasedSince(releases, recording))
            return;
        try {
            auto *player = new TcbAudioPlay(&m_screen, -1, file);
            // Loading the file waits too.
            if (releasedSince(releases, recording)) {
                delete player;
                return;
            }
            m_player = player;
            m_recording = recording;
            if (!playerCall(&TcbAudioPlay::Play))
                return;
        } catch (...) {
            ReleasePlayer();
            UpdateAudioButtons();
            throw;
        }
        m_timer2.start();
    }
    UpdateAudioButtons();
    m_screen.SendAudioSync(1);
}

void TLessonAudioPlayer::PauseAction() {
    if (!m_player || !playerCall(&TcbAudioPlay::Pause))
        return;
    UpdateAudioButtons();
    m_screen.SendAudioSync(2, PlayingRecording());
}

// Whether the player was released since the count was taken (following switched on while the
// play waited): the play is dropped then.
bool TLessonAudioPlayer::releasedSince(int releases, int recording) {
    if (releases == m_releases)
        return false;
    qCInfo(lcLesson) << "play of recording" << recording << "dropped: released while it waited";
    UpdateAudioButtons();
    return true;
}

// Runs a call of the player that may wait; false when the player was released while it
// waited (it is released now, and the buttons show it).
bool TLessonAudioPlayer::playerCall(void (TcbAudioPlay::*call)()) {
    m_inCall = true;
    try {
        (m_player->*call)();
    } catch (...) {
        m_inCall = false;
        throw;
    }
    m_inCall = false;
    if (!m_releaseLater)
        return true;
    ReleasePlayer();
    UpdateAudioButtons();
    return false;
}

void TLessonAudioPlayer::StopAction() {
    const int playing = PlayingRecording();
    ReleasePlayer();
    UpdateAudioButtons();
    m_screen.SendAudioSync(3, playing);
}

void TLessonAudioPlayer::UpdateAudioButtons() {
    const bool locked = m_screen.StudentLocked();
    // A player that stopped by itself has reached the end of its recording (not one that is
    // still starting inside its own call).
    if (m_player && !m_inCall && m_player->State() == TcbAudioPlay::psStopped)
        ReleasePlayer();
    bool playShown = true;
    if (m_player) {
        playShown = m_player->State() != TcbAudioPlay::psPlaying;
        m_screen.spbstop->setEnabled(!locked);
    } else {
        m_screen.spbplay->setEnabled(!locked && !m_screen.pma->isEmpty());
        m_screen.spbstop->setEnabled(false);
    }
    m_screen.spbplay->setVisible(playShown);
    m_screen.spbpause->setVisible(!playShown);
    m_screen.spbpause->setEnabled(!locked);
}

void TLessonAudioPlayer::ReleasePlayer() {
    ++m_releases;
    if (m_inCall) {
        m_releaseLater = true;
        return;
    }
    m_releaseLater = false;
    try {
        delete m_player.data();
    } catch (...) {
    }
    m_player = nullptr;
}

void TLessonAudioPlayer::Timer2Timer() {
    UpdateAudioButtons();
    if (!m_player)
        m_timer2.stop();
}
