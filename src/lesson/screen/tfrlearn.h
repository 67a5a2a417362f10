#pragma once

#include "grid/screen.h"
#include "grid/services.h"
#include "lesson/books/bookcatalogue.h"
#include "lesson/books/pageprefetch.h"
#include "lesson/relay/lessonchannel.h"
#include "lesson/screen/lessonaudio.h"

#include <QPointer>
#include <QTimer>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QScrollArea;
class QSplitter;
class QTextEdit;
class QToolButton;
class QWebEngineView;
class TCallPanel;
class TChatInput;
class TLessonAudioControls;
class TLessonChatPanel;
class TLessonClassroom;
class TLessonPageView;

// The lesson screen: a page of a course book with paging by page, lesson and book, the
// recordings of the page, and the chat with the lesson partner over the relay channel it owns.
// The teacher's "Synchro" makes the student's page and recordings follow the teacher. The page
// view, the chat panel and the recording controls are widgets of their own; the screen holds
// the lesson's state and ties them to the channel.
class Tfrlearn : public TScreen, public LessonChannelHost {
    Q_OBJECT
public:
    explicit Tfrlearn(const TServices &services, QWidget *parent = nullptr);
    ~Tfrlearn() override;

    // The page area: the browser of HTML books (made on first use) or the image of a page.
    TLessonPageView *pages;
    QScrollArea *ScrollBox1;
    QLabel *Image1;
    QSplitter *splitter;
    // The recording controls (their buttons and menu also named below).
    TLessonAudioControls *audio;
    // The chat.
    TLessonChatPanel *chat;
    // The button column.
    QToolButton *sbprior, *sbgotopage, *sbNext, *spbbook, *spblesson, *spbpause, *spbplay, *spbstop,
        *spbaudio, *spbsync, *spbuserdetail, *spbsend, *Spbconnect;
    QLabel *pansync;
    QMenu *pmb, *pml, *pma, *pmgotopage;
    QTextEdit *memoread;
    TChatInput *Memowrite;
    // The call with the partner, beside the page.
    TCallPanel *call;

    LessonChannel &channel() { return m_channel; }
    // Looking around while following, the shared pointer and highlighter.
    TLessonClassroom *classroom() const { return m_classroom; }
    QWebEngineView *browser() const;

    void InitScreen() override;
    void EnterScreen() override;
    void LeaveScreen() override;
    void SignOutScreen() override;
    QWidget *WheelTarget() override { return this; }

    // Builds the book and lesson menus from the library (at every sign-in).
    void BuildBookMenu();
    void BuildLessonMenu();
    void ShowPage();
    void UpdatePageStatus();
    void SetSync(bool on);
    void LoadChatHistory(int userId);
    void SaveChatHistory();

    // Handlers of the controls.
    void sbpriorClick();
    void sbNextClick();
    void sbgotopageClick();
    void MenuItem1Click();
    void spbsyncClick();
    void spbsendClick();
    void spbuserdetailClick();
    // A mouse-wheel turn over the screen (also passed on by the main window); true when used.
    bool ScrollBox1MouseWheel(int delta);

    // The state the recording controls work on.
    const tbook *CurrentBook() const;
    int CurrentPage() const { return m_currentPage; }
    int CurrentRecording() const;
    void SetCurrentRecording(int index);
    // A student while following (and not looking around on his own): the own navigation and
    // recording buttons are locked.
    bool StudentLocked() const;
    // Sets the student's navigation and recording buttons from the lock.
    void RefreshStudentLock();
    // Teacher with a partner while following: the recording command goes to the student, for
    // the recording given (pause and stop name the one that plays, also after a page turn) or
    // else the chosen one.
    void SendAudioSync(int action, int recording = 0);
    // Installs the recording controls (the default ones only set the buttons).
    void SetAudio(std::unique_ptr<LessonAudio> audio);
    LessonAudio &Audio() { return *m_audio; }
    // Fetching the next page of an image book ahead once a page is shown (on by default).
    TPagePrefetch &Prefetch() { return m_prefetch; }
    void SetPrefetchNextPage(bool on) { m_prefetchOn = on; }
    // Whether the chat history is loaded, and changed since it was loaded or saved.
    bool HistoryLoaded() const;
    bool HistoryChanged() const;
    // A failed save of the chat history waits for its next try (and the pause before it).
    bool ChatSaveWaiting() const { return m_chatRetry.isActive(); }
    void SetChatRetryPause(int milliseconds) { m_chatRetryMs = milliseconds; }

    // The relay channel's host.
    void connectionTextsChanged(const QString &panel, const QString &button) override;
    void statusTextChanged(const QString &text) override;
    QList<OnlineTeacher> fetchOnlineTeachers() override;
    int chooseTeacher(const QList<OnlineTeacher> &teachers) override;
    void closeOnlineTeachers() override;
    void openProgress(const QString &caption, const QString &text) override;
    void closeProgress() override;
    QString userName(const QString &userId) override;
    void saveChatHistory() override { SaveChatHistory(); }
    void loadChatHistory(int userId) override { LoadChatHistory(userId); }
    void forgetChatHistory() override;
    void partnerChanged(bool hasPartner) override;
    void chatReceived(const QString &writer, const QStringList &lines) override;
    void syncChanged(bool on) override { SetSync(on); }
    bool followBook(int bookNumber, std::optional<int> page) override;
    void showFollowedPage() override { ShowPage(); }
    void followAudio(int audioIndex, int action) override;
    bool currentPage(int &bookNumber, int &page) override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    QWidget *buildButtonColumn();
    void buildChat();
    void connectControls();
    void setCaptions();
    void clearState();
    bool libraryEmpty() const;
    void chooseBook(int index);
    void choosePage(int page);
    void showCurrentPage();
    void buildAudioMenu();
    void iaClick(QAction *item);
    void checkMenus();
    void showImagePage(const QString &file);
    void updateBrowserButtons();
    void setStatusPanel(int panel, const QString &text);
    void addHistory(const QString &writer, const QStringList &lines, bool received);
    void popupBeside(QToolButton *button, QMenu *menu, int extra);

    LessonChannel m_channel;
    TLessonClassroom *m_classroom = nullptr;
    std::unique_ptr<LessonAudio> m_audio;
    TPagePrefetch m_prefetch;
    QPointer<QWidget> m_progress;
    TServices m_services;
    int m_currentBook = 0;
    int m_currentPage = 0;
    bool m_firstBuildDone = false;
    bool m_showing = false;
    bool m_showAgain = false;
    bool m_prefetchOn = true;
    // A chat history that could not be saved is sent again after a pause.
    static constexpr int ChatRetryMs = 30000;
    QTimer m_chatRetry;
    int m_chatRetryMs = ChatRetryMs;
    bool m_chatSaveNoted = false;
};
