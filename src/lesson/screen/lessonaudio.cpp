#include "lessonaudio.h"

#include "tfrlearn.h"

#include <QMenu>
#include <QToolButton>

void TLessonAudioButtons::PlayAction() {}

void TLessonAudioButtons::PauseAction() {}

void TLessonAudioButtons::StopAction() {
    UpdateAudioButtons();
    m_screen.SendAudioSync(3);
}

void TLessonAudioButtons::UpdateAudioButtons() {
    const bool unlocked = !m_screen.StudentLocked();
    m_screen.spbplay->setVisible(true);
    m_screen.spbplay->setEnabled(!m_screen.pma->isEmpty() && unlocked);
    m_screen.spbstop->setEnabled(false);
    m_screen.spbpause->setVisible(false);
    m_screen.spbpause->setEnabled(unlocked);
}
