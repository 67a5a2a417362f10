#include "lesson/audio/lessonaudioplayer.h"

#include "seam/guard.h"
#include "lesson/books/bookfiles.h"
#include "lesson/audio/tcbaudioplay.h"
#include "lesson/screen/tfrlearn.h"

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
        m_player->Play();
    } else {
        ReleasePlayer();
        const tbook *book = m_screen.CurrentBook();
        if (!book)
            return;
        const int recording = m_screen.CurrentRecording();
        const QString file = BookCatalogue::BookFilePath(book->number, recording, Recording);
        if (!QFileInfo::exists(file) &&
            !DownloadBookFile(book->number, recording, Recording,
                              RecordingDownloadCaption(book->recordingTitles.value(recording)),
                              file))
            return;
        try {
            m_player = new TcbAudioPlay(&m_screen, -1, file);
            m_player->Play();
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
    if (!m_player)
        return;
    m_player->Pause();
    UpdateAudioButtons();
    m_screen.SendAudioSync(2);
}

void TLessonAudioPlayer::StopAction() {
    ReleasePlayer();
    UpdateAudioButtons();
    m_screen.SendAudioSync(3);
}

void TLessonAudioPlayer::UpdateAudioButtons() {
    const bool locked = m_screen.StudentLocked();
    // A player that stopped by itself has reached the end of its recording.
    if (m_player && m_player->State() == TcbAudioPlay::psStopped)
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
