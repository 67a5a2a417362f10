#include "tfrlearn.h"

#include "base/session.h"
#include "data/dm.h"
#include "grid/dialogs/progresswindow.h"
#include "lang/texts.h"
#include "lesson/classroom/classroombar.h"
#include "lesson/classroom/lessonclassroom.h"
#include "lesson/audio/lessonaudioplayer.h"
#include "lesson/call/callpanel.h"
#include "lesson/screen/chatinput.h"
#include "lesson/screen/lessonaudiocontrols.h"
#include "lesson/screen/lessonbuttons.h"
#include "lesson/screen/lessonchatpanel.h"
#include "lesson/screen/lessonpageview.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "lesson/screen/tfselteacher.h"
#include "net/settings/settings.h"
#include "seam/guard.h"
#include "seam/messagebox.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

using namespace LessonButtons;

namespace {

constexpr int ColumnWidth = 118;
constexpr int LowerAreaHeight = 190;

} // namespace

Tfrlearn::Tfrlearn(const TServices &services, QWidget *parent)
    : TScreen(parent), pages(new TLessonPageView(this)), ScrollBox1(pages->ScrollBox1),
      Image1(pages->Image1), splitter(new QSplitter(Qt::Vertical, this)),
      audio(new TLessonAudioControls(this)), chat(new TLessonChatPanel(LowerAreaHeight, this)),
      spbpause(audio->spbpause), spbplay(audio->spbplay), spbstop(audio->spbstop),
      spbaudio(audio->spbaudio), pmb(makeMenu(this, "pmb")), pml(makeMenu(this, "pml")),
      pma(audio->pma), pmgotopage(makeMenu(this, "pmgotopage")), memoread(chat->memoread),
      Memowrite(chat->Memowrite), m_channel(*this), m_services(services) {
    setObjectName(QStringLiteral("frlearn"));
    m_chatRetry.setSingleShot(true);
    connect(&m_chatRetry, &QTimer::timeout, this, [this] { RunGuarded([this] { SaveChatHistory(); }); });
    auto *lower = new QWidget(splitter);
    lower->setMinimumHeight(LowerAreaHeight);
    auto *lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(2, 2, 2, 2);
    lowerLayout->addWidget(buildButtonColumn());
    m_classroom = new TLessonClassroom(*this, services);
    lowerLayout->addWidget(m_classroom->bar());
    buildChat();
    lowerLayout->addWidget(chat, 1);
    splitter->addWidget(pages);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
    layout->addWidget(call = new TCallPanel(m_channel, services.settings, this));
    call->setRecordingPlaying([this] { return !spbpause->isHidden(); });
    setFocusProxy(Memowrite);
    // Tab goes down the button column, then to the history and the input.
    QWidget *previous = sbprior;
    for (QWidget *next : std::initializer_list<QWidget *>{
             sbgotopage, sbNext, spbbook, spblesson, spbplay, spbpause, spbstop, spbaudio, spbsync,
             spbuserdetail, spbsend, Spbconnect, memoread, Memowrite}) {
        setTabOrder(previous, next);
        previous = next;
    }
    // The page area takes two thirds of the height.
    splitter->setSizes({2 * LowerAreaHeight * 10, LowerAreaHeight * 10});
    m_audio = std::make_unique<TLessonAudioPlayer>(*this);
    connectControls();
}

Tfrlearn::~Tfrlearn() {
    delete call; // hangs up while the channel is still there
}

QWidget *Tfrlearn::buildButtonColumn() {
    auto *column = new QWidget(this);
    column->setObjectName(QStringLiteral("pnbuttons"));
    column->setFixedWidth(ColumnWidth);
    sbprior = makeIconButton(column, "sbprior", QStyle::SP_ArrowLeft);
    sbgotopage = makeButton(column, "sbgotopage");
    sbNext = makeIconButton(column, "sbNext", QStyle::SP_ArrowRight);
    spbbook = makeButton(column, "spbbook");
    spblesson = makeButton(column, "spblesson");
    audio->setParent(column);
    spbsync = makeButton(column, "spbsync");
    spbsync->setCheckable(true);
    pansync = new QLabel(column);
    pansync->setObjectName(QStringLiteral("pansync"));
    pansync->setAlignment(Qt::AlignCenter);
    QFont bold = pansync->font();
    bold.setBold(true);
    pansync->setFont(bold);
    pansync->hide();
    spbuserdetail = makeButton(column, "spbuserdetail");
    spbsend = makeButton(column, "spbsend");
    Spbconnect = makeButton(column, "Spbconnect");
    sbgotopage->setContextMenuPolicy(Qt::CustomContextMenu);

    auto *grid = new QGridLayout(column);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    grid->addWidget(sbprior, 0, 0);
    grid->addWidget(sbgotopage, 0, 1);
    grid->addWidget(sbNext, 0, 2);
    grid->addWidget(spbbook, 1, 0, 1, 3);
    grid->addWidget(spblesson, 2, 0, 1, 3);
    grid->addWidget(audio, 3, 0, 1, 3);
    grid->addWidget(spbsync, 4, 0, 1, 3);
    grid->addWidget(pansync, 4, 0, 1, 3);
    grid->addWidget(spbuserdetail, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->addWidget(spbsend, 7, 0, 1, 3);
    grid->addWidget(Spbconnect, 8, 0, 1, 3);
    return column;
}

void Tfrlearn::buildChat() {
    Memowrite->canSend = [this] { return spbsend->isEnabled(); };
    Memowrite->send = [this] { RunGuarded([this] { spbsendClick(); }); };
}

void Tfrlearn::connectControls() {
    const auto on = [this](QToolButton *button, void (Tfrlearn::*handler)()) {
        connect(button, &QToolButton::clicked, this,
                [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    };
    on(sbprior, &Tfrlearn::sbpriorClick);
    on(sbNext, &Tfrlearn::sbNextClick);
    on(sbgotopage, &Tfrlearn::sbgotopageClick);
    on(spbsync, &Tfrlearn::spbsyncClick);
    on(spbsend, &Tfrlearn::spbsendClick);
    on(spbuserdetail, &Tfrlearn::spbuserdetailClick);
    connect(Spbconnect, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { m_channel.ConnectToggle(); }); });
    connect(spbplay, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { m_audio->PlayAction(); }); });
    connect(spbpause, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { m_audio->PauseAction(); }); });
    connect(spbstop, &QToolButton::clicked, this,
            [this] { RunGuarded([this] { m_audio->StopAction(); }); });
    connect(spbbook, &QToolButton::clicked, this, [this] { popupBeside(spbbook, pmb, 0); });
    connect(spblesson, &QToolButton::clicked, this, [this] { popupBeside(spblesson, pml, 1); });
    connect(audio, &TLessonAudioControls::recordingChosen, this, &Tfrlearn::iaClick);
    connect(pages, &TLessonPageView::historyChanged, this, &Tfrlearn::updateBrowserButtons);
    connect(pages, &TLessonPageView::titleChanged, this, [this](const QString &title) {
        setStatusPanel(3, QStringLiteral("Browser - ") + title);
    });
    QAction *reload = pmgotopage->addAction(QString());
    reload->setObjectName(QStringLiteral("MenuItem1"));
    connect(reload, &QAction::triggered, this,
            [this] { RunGuarded([this] { MenuItem1Click(); }); });
    connect(sbgotopage, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmgotopage->popup(sbgotopage->mapToGlobal(at)); });
}

void Tfrlearn::popupBeside(QToolButton *button, QMenu *menu, int extra) {
    menu->popup(button->mapToGlobal(QPoint(button->width() + extra, 0)));
}

void Tfrlearn::setCaptions() {
    sbprior->setToolTip(AppText(240));
    sbgotopage->setToolTip(AppText(242));
    sbNext->setToolTip(AppText(241));
    spbbook->setText(AppText(243));
    spblesson->setText(AppText(244));
    audio->setCaptions();
    spbsync->setText(AppText(249));
    pansync->setText(AppText(249));
    spbuserdetail->setText(AppText(250));
    spbsend->setText(AppText(252));
    spbsend->setToolTip(AppText(251));
    Spbconnect->setText(AppText(253));
    pmgotopage->actions().constFirst()->setText(AppText(254));
    m_classroom->setCaptions();
    for (QToolButton *button : {sbprior, sbNext})
        button->setAccessibleName(button->toolTip());
}

void Tfrlearn::InitScreen() {
    setCaptions();
    clearState();
    m_firstBuildDone = false;
    spbsend->setEnabled(false);
    spbsync->setEnabled(false);
    spbuserdetail->setEnabled(false);
    SetSync(false);
    ShowPage();
}

void Tfrlearn::clearState() {
    m_channel.reset();
    chat->setLoaded(false);
    chat->setChanged(false);
    pages->resetHistory();
}

void Tfrlearn::EnterScreen() {
    m_channel.UpdateConnectionTexts();
    ShowPage();
    if (m_channel.isStudent())
        LoadChatHistory(0);
    m_classroom->screenEntered();
}

void Tfrlearn::LeaveScreen() {
    m_services.dm->cd_onlineteacher.Close();
    setStatusPanel(2, QString());
    setStatusPanel(3, QString());
}

void Tfrlearn::SignOutScreen() {
    m_prefetch.Cancel();
    if (!libraryEmpty()) {
        m_services.settings->lastUsedBook = BookCatalogue::Library()[m_currentBook].number;
        m_services.settings->lastUsedPage = m_currentPage;
        RunGuarded([] { SaveSettings(sgLastBook); });
    }
    RunGuarded([this] { SaveChatHistory(); });
    chat->forgetHistory();
    call->EndLesson();
    m_channel.DisconnectLesson();
}

void Tfrlearn::setStatusPanel(int panel, const QString &text) {
    if (LessonHooks().setStatusPanel)
        LessonHooks().setStatusPanel(panel, text);
}

void Tfrlearn::wheelEvent(QWheelEvent *event) {
    ScrollBox1MouseWheel(event->angleDelta().y());
    // Always taken here: the main window passes on what reaches it, so nothing goes back up.
    event->accept();
}

// The relay channel's reports.

void Tfrlearn::connectionTextsChanged(const QString &panel, const QString &button) {
    setStatusPanel(1, panel);
    Spbconnect->setText(button);
}

void Tfrlearn::statusTextChanged(const QString &text) {
    setStatusPanel(2, m_classroom->statusText(text));
}

QList<OnlineTeacher> Tfrlearn::fetchOnlineTeachers() {
    TClientTable &table = m_services.dm->cd_onlineteacher;
    table.Close();
    table.Open();
    QList<OnlineTeacher> teachers;
    const int id = table.FieldIndex(QStringLiteral("IDUSER"));
    const int name = table.FieldIndex(QStringLiteral("FULLNAME"));
    for (table.First(); !table.Eof(); table.Next())
        teachers.append({id < 0 ? QString() : table.Field(id).AsString(),
                         name < 0 ? QString() : table.Field(name).AsString()});
    return teachers;
}

int Tfrlearn::chooseTeacher(const QList<OnlineTeacher> &teachers) {
    return Tfselteacher::Choose(teachers, window());
}

void Tfrlearn::closeOnlineTeachers() {
    m_services.dm->cd_onlineteacher.Close();
}

void Tfrlearn::openProgress(const QString &caption, const QString &text) {
    closeProgress();
    m_progress = OpenProgress(caption, text, 0);
}

void Tfrlearn::closeProgress() {
    auto *window = static_cast<Tfprogress *>(m_progress.data());
    m_progress.clear();
    CloseProgress(window);
}

QString Tfrlearn::userName(const QString &userId) {
    if (!m_services.signedIn())
        return {};
    TClientTable &users = m_services.dm->cd_user;
    if (!users.Active())
        users.Open();
    const bool filtered = users.Filtered();
    const QString filter = users.Filter();
    users.SetFiltered(false);
    QString name;
    if (users.Locate(QStringLiteral("IDUSER"), {TValue::FromInteger(userId.toLongLong())}))
        name = users.FieldByName(QStringLiteral("FULLNAME")).AsString();
    users.SetFilter(filter);
    users.SetFiltered(filtered);
    return name;
}

void Tfrlearn::partnerChanged(bool hasPartner) {
    spbsend->setEnabled(hasPartner);
    const bool teacherWithPartner = hasPartner && !m_channel.isStudent();
    spbsync->setEnabled(teacherWithPartner);
    spbuserdetail->setEnabled(teacherWithPartner);
}

void Tfrlearn::forgetChatHistory() {
    chat->forgetHistory();
}

void Tfrlearn::chatReceived(const QString &writer, const QStringList &lines) {
    addHistory(writer, lines, true);
}

bool Tfrlearn::followBook(int bookNumber, std::optional<int> page) {
    // A student looking around on his own only notes the teacher's page.
    if (m_classroom->holdsTeacherPage(bookNumber, page))
        return false;
    const QList<tbook> &library = BookCatalogue::Library();
    for (int i = 0; i < library.size(); ++i) {
        if (library[i].number != bookNumber)
            continue;
        const bool other = i != m_currentBook;
        m_currentBook = i;
        m_currentPage = page.value_or(library[i].firstPage);
        if (other)
            BuildLessonMenu();
        return true;
    }
    return false;
}

void Tfrlearn::followAudio(int audioIndex, int action) {
    audio->setCurrent(audioIndex);
    QAction *entry = audio->entry(audioIndex);
    // The teacher's pause or stop of the recording that plays, from a page without it; a
    // student looking around on his own hears the teacher's recordings too.
    const bool playing = action != 1 && audioIndex == m_audio->PlayingRecording();
    if (!entry && !playing && !m_classroom->lookingAround())
        return;
    if (entry)
        entry->setChecked(true);
    // A player that fails shows its error here, not inside the channel's line handling.
    RunGuarded([this, action] {
        if (action == 1)
            m_audio->PlayAction();
        else if (action == 2)
            m_audio->PauseAction();
        else if (action == 3)
            m_audio->StopAction();
    });
}

bool Tfrlearn::currentPage(int &bookNumber, int &page) {
    if (libraryEmpty())
        return false;
    bookNumber = BookCatalogue::Library()[m_currentBook].number;
    page = m_currentPage;
    return true;
}

void Tfrlearn::SendAudioSync(int action, int recording) {
    if (recording <= 0)
        recording = audio->current();
    if (action == 1 && !m_channel.isStudent())
        m_classroom->recordingPlayed(recording);
    if (const tbook *book = CurrentBook())
        m_channel.SendAudio(book->number, recording, action);
}

void Tfrlearn::SetAudio(std::unique_ptr<LessonAudio> audio) {
    if (m_audio)
        m_audio->ReleasePlayer();
    m_audio = std::move(audio);
    m_audio->UpdateAudioButtons();
}

int Tfrlearn::CurrentRecording() const {
    return audio->current();
}

void Tfrlearn::SetCurrentRecording(int index) {
    audio->setCurrent(index);
}

bool Tfrlearn::HistoryLoaded() const {
    return chat->loaded();
}

bool Tfrlearn::HistoryChanged() const {
    return chat->changed();
}

QWebEngineView *Tfrlearn::browser() const {
    return pages->browser();
}
