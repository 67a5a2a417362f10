#pragma once

#include <QWidget>

class QAction;
class QMenu;
class QToolButton;
struct tbook;

// The recording controls of the lesson screen: play, pause (in play's place while a recording
// plays), stop, and the button of the audio menu with one radio item per recording of the
// page. It keeps the chosen recording; the player behind the buttons is the screen's.
class TLessonAudioControls : public QWidget {
    Q_OBJECT
public:
    explicit TLessonAudioControls(QWidget *parent = nullptr);

    QToolButton *spbplay, *spbpause, *spbstop, *spbaudio;
    QMenu *pma;

    // The recordings of the page (of the whole book for an HTML book); the first is chosen.
    void buildMenu(const tbook &book, int page, bool locked);
    void clearMenu();
    // The item of the recording with that index, or none.
    QAction *entry(int index) const;
    // Marks the item and makes its recording the chosen one.
    void choose(QAction *item);
    int current() const { return m_current; }
    void setCurrent(int index) { m_current = index; }
    void setCaptions();

signals:
    // The user chose a recording in the menu.
    void recordingChosen(QAction *item);

private:
    int m_current = 0;
};
