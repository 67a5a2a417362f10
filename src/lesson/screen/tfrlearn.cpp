#include "tfrlearn.h"

#include "richtext/chatstyle.h"
#include "base/session.h"
#include "data/dm.h"
#include "grid/dialogs/progresswindow.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lesson/screen/chatinput.h"
#include "lesson/audio/lessonaudioplayer.h"
#include "lesson/screen/lessonscreenhooks.h"
#include "lesson/screen/tfselteacher.h"
#include "net/settings/settings.h"

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

namespace {

constexpr int ColumnWidth = 118;
constexpr int LowerAreaHeight = 190;
constexpr int InputHeight = 102;

QToolButton *makeButton(QWidget *parent, const char *name, bool wide = true) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    if (wide)
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QToolButton *makeIconButton(QWidget *parent, const char *name, QStyle::StandardPixmap icon) {
    QToolButton *button = makeButton(parent, name, false);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}

QMenu *makeMenu(QWidget *parent, const char *name) {
    auto *menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

} // namespace

Tfrlearn::Tfrlearn(QWidget *parent)
    : TScreen(parent), pages(new QStackedWidget(this)), ScrollBox1(new QScrollArea(pages)),
      Image1(new QLabel), splitter(new QSplitter(Qt::Vertical, this)), pmb(makeMenu(this, "pmb")),
      pml(makeMenu(this, "pml")), pma(makeMenu(this, "pma")),
      pmgotopage(makeMenu(this, "pmgotopage")), m_channel(*this) {
    setObjectName(QStringLiteral("frlearn"));
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox1->setBackgroundRole(QPalette::Base);
    ScrollBox1->setStyleSheet(QStringLiteral("QScrollArea#ScrollBox1 { background: white; }"));
    ScrollBox1->viewport()->setStyleSheet(QStringLiteral("background: white;"));
    ScrollBox1->setWidget(Image1);
    // The picture keeps its natural size and stands centred while the box is wider.
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    pages->addWidget(ScrollBox1);

    auto *lower = new QWidget(splitter);
    lower->setMinimumHeight(LowerAreaHeight);
    auto *lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(2, 2, 2, 2);
    lowerLayout->addWidget(buildButtonColumn());
    lowerLayout->addWidget(buildChat(), 1);
    splitter->addWidget(pages);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);
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

Tfrlearn::~Tfrlearn() = default;

QWidget *Tfrlearn::buildButtonColumn() {
    auto *column = new QWidget(this);
    column->setObjectName(QStringLiteral("pnbuttons"));
    column->setFixedWidth(ColumnWidth);
    sbprior = makeIconButton(column, "sbprior", QStyle::SP_ArrowLeft);
    sbgotopage = makeButton(column, "sbgotopage");
    sbNext = makeIconButton(column, "sbNext", QStyle::SP_ArrowRight);
    spbbook = makeButton(column, "spbbook");
    spblesson = makeButton(column, "spblesson");
    spbpause = makeIconButton(column, "spbpause", QStyle::SP_MediaPause);
    spbplay = makeIconButton(column, "spbplay", QStyle::SP_MediaPlay);
    spbstop = makeIconButton(column, "spbstop", QStyle::SP_MediaStop);
    spbaudio = makeButton(column, "spbaudio");
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
    // Pause takes the place of play while a recording plays.
    auto *recording = new QHBoxLayout;
    recording->setSpacing(2);
    recording->addWidget(spbplay);
    recording->addWidget(spbpause);
    recording->addWidget(spbstop);
    recording->addWidget(spbaudio, 1);
    grid->addLayout(recording, 3, 0, 1, 3);
    grid->addWidget(spbsync, 4, 0, 1, 3);
    grid->addWidget(pansync, 4, 0, 1, 3);
    grid->addWidget(spbuserdetail, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    grid->addWidget(spbsend, 7, 0, 1, 3);
    grid->addWidget(Spbconnect, 8, 0, 1, 3);
    return column;
}

QWidget *Tfrlearn::buildChat() {
    auto *chat = new QSplitter(Qt::Vertical, this);
    chat->setObjectName(QStringLiteral("chatsplitter"));
    memoread = new QTextEdit(chat);
    memoread->setObjectName(QStringLiteral("memoread"));
    memoread->setReadOnly(true);
    memoread->setAcceptRichText(true);
    memoread->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoread->setFocusPolicy(Qt::StrongFocus); // read with the keys too
    memoread->document()->setDefaultFont(ChatStyle::historyFont());
    Memowrite = new TChatInput(chat);
    Memowrite->setObjectName(QStringLiteral("Memowrite"));
    Memowrite->setFont(ChatStyle::historyFont());
    Memowrite->canSend = [this] { return spbsend->isEnabled(); };
    Memowrite->send = [this] { RunGuarded([this] { spbsendClick(); }); };
    chat->addWidget(memoread);
    chat->addWidget(Memowrite);
    chat->setStretchFactor(0, 1);
    chat->setSizes({LowerAreaHeight - InputHeight, InputHeight});
    chat->setChildrenCollapsible(false);
    return chat;
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
    connect(spbaudio, &QToolButton::clicked, this, [this] { popupBeside(spbaudio, pma, 1); });
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
    spbpause->setToolTip(AppText(1648));
    spbplay->setToolTip(AppText(245));
    spbstop->setToolTip(AppText(246));
    spbaudio->setText(AppText(248));
    spbaudio->setToolTip(AppText(247));
    spbsync->setText(AppText(249));
    pansync->setText(AppText(249));
    spbuserdetail->setText(AppText(250));
    spbsend->setText(AppText(252));
    spbsend->setToolTip(AppText(251));
    Spbconnect->setText(AppText(253));
    pmgotopage->actions().constFirst()->setText(AppText(254));
    for (QToolButton *button : {sbprior, sbNext, spbpause, spbplay, spbstop})
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
    m_historyLoaded = m_historyChanged = false;
    m_browserBack = m_browserForward = false;
}

void Tfrlearn::EnterScreen() {
    m_channel.UpdateConnectionTexts();
    ShowPage();
    if (m_channel.isStudent())
        LoadChatHistory(0);
}

void Tfrlearn::LeaveScreen() {
    dm().cd_onlineteacher.Close();
    setStatusPanel(2, QString());
    setStatusPanel(3, QString());
}

void Tfrlearn::SignOutScreen() {
    m_prefetch.Cancel();
    if (!libraryEmpty()) {
        Settings().lastUsedBook = BookCatalogue::Library()[m_currentBook].number;
        Settings().lastUsedPage = m_currentPage;
        RunGuarded([] { SaveSettings(sgLastBook); });
    }
    RunGuarded([this] { SaveChatHistory(); });
    m_historyLoaded = false;
    memoread->clear();
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
    setStatusPanel(2, text);
}

QList<OnlineTeacher> Tfrlearn::fetchOnlineTeachers() {
    TClientTable &table = dm().cd_onlineteacher;
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
    dm().cd_onlineteacher.Close();
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
    if (!IsSignedIn())
        return {};
    TClientTable &users = dm().cd_user;
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
    memoread->clear();
    m_historyLoaded = false;
}

void Tfrlearn::chatReceived(const QString &writer, const QStringList &lines) {
    addHistory(writer, lines, true);
}

bool Tfrlearn::followBook(int bookNumber, std::optional<int> page) {
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
    m_currentRecording = audioIndex;
    QAction *entry = nullptr;
    for (QAction *item : pma->actions()) {
        if (item->data().toInt() == audioIndex)
            entry = item;
    }
    if (!entry)
        return;
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

void Tfrlearn::SendAudioSync(int action) {
    if (const tbook *book = CurrentBook())
        m_channel.SendAudio(book->number, m_currentRecording, action);
}

void Tfrlearn::SetAudio(std::unique_ptr<LessonAudio> audio) {
    if (m_audio)
        m_audio->ReleasePlayer();
    m_audio = std::move(audio);
    m_audio->UpdateAudioButtons();
}
