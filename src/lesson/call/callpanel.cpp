#include "callpanel.h"

#include "calldevicesdialog.h"
#include "calllog.h"
#include "callpage.h"
#include "lang/texts.h"
#include "lesson/call/lessoncall.h"
#include "net/quietrequest.h"
#include "net/settings/settings.h"
#include "seam/guard.h"
#include "wire/actionnames.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

namespace {

constexpr int PanelWidth = 232;
constexpr int VideoHeight = 174;
// The central server's answer with the call servers is waited for this long at most.
constexpr int ServersWaitMs = 5000;

QToolButton *makeCallButton(QWidget *parent, const char *name, bool checkable = false) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::TabFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setCheckable(checkable);
    return button;
}

} // namespace

TCallPanel::TCallPanel(LessonChannel &channel, AppSettings *settings, QWidget *parent)
    : QWidget(parent), video(nullptr), prompt(new QFrame(this)), promptText(new QLabel(prompt)),
      meter(new QProgressBar(this)), notice(new QLabel(this)), status(new QLabel(this)),
      m_media(new TCallPage(this)), m_settings(settings), m_recordingWatch(new QTimer(this)) {
    setObjectName(QStringLiteral("pncall"));
    setFixedWidth(PanelWidth);
    m_call = new LessonCall(channel, *m_media, this);
    m_call->setServerFetch([this](auto done) { fetchServers(std::move(done)); });

    prompt->setObjectName(QStringLiteral("pncallprompt"));
    prompt->setFrameShape(QFrame::StyledPanel);
    promptText->setWordWrap(true);
    QFont bold = promptText->font();
    bold.setBold(true);
    promptText->setFont(bold);
    meter->setObjectName(QStringLiteral("pbcallmeter"));
    meter->setRange(0, 100);
    meter->setTextVisible(false);
    meter->setFixedHeight(8);
    notice->setObjectName(QStringLiteral("lbcallnotice"));
    notice->setWordWrap(true);
    status->setObjectName(QStringLiteral("stcall"));
    status->setFrameShape(QFrame::Panel);
    status->setFrameShadow(QFrame::Sunken);
    status->setWordWrap(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    connect(m_media, &TCallPage::prepared, this, [this, layout] { makeVideo(layout); });
    layout->addWidget(prompt);
    layout->addWidget(buildButtons());
    layout->addWidget(meter);
    layout->addWidget(notice);
    layout->addStretch(1);
    layout->addWidget(status);

    // While a call runs, the microphone is held as long as a book recording plays here.
    m_recordingWatch->setInterval(250);
    connect(m_recordingWatch, &QTimer::timeout, this,
            [this] { m_call->SetHeld(m_recordingPlaying && m_recordingPlaying()); });
    connect(m_call, &LessonCall::changed, this, &TCallPanel::refresh);
    connect(m_call, &LessonCall::statsChanged, this, &TCallPanel::showStats);
    setCaptions();
    refresh();
}

TCallPanel::~TCallPanel() {
    // The call says goodbye while the channel is still there; the page goes before its profile.
    delete m_call;
    if (video)
        video->setPage(nullptr);
}

void TCallPanel::makeVideo(QVBoxLayout *layout) {
    video = new QWebEngineView(this);
    video->setObjectName(QStringLiteral("wbcall"));
    video->setPage(m_media->page());
    video->setFixedHeight(VideoHeight);
    video->setFocusPolicy(Qt::NoFocus);
    video->setContextMenuPolicy(Qt::NoContextMenu);
    video->setAccessibleName(AppText(1835));
    video->hide();
    layout->insertWidget(0, video);
}

QWidget *TCallPanel::buildButtons() {
    auto *promptLayout = new QGridLayout(prompt);
    promptLayout->setContentsMargins(4, 4, 4, 4);
    btnAccept = makeCallButton(prompt, "btncallaccept");
    btnDecline = makeCallButton(prompt, "btncalldecline");
    promptLayout->addWidget(promptText, 0, 0, 1, 2);
    promptLayout->addWidget(btnAccept, 1, 0);
    promptLayout->addWidget(btnDecline, 1, 1);

    auto *buttons = new QWidget(this);
    auto *grid = new QGridLayout(buttons);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    btnCall = makeCallButton(buttons, "btncall");
    btnHangUp = makeCallButton(buttons, "btnhangup");
    btnMicrophone = makeCallButton(buttons, "btnmicrophone", true);
    btnCamera = makeCallButton(buttons, "btncamera", true);
    btnDevices = makeCallButton(buttons, "btncalldevices");
    grid->addWidget(btnCall, 0, 0, 1, 2);
    grid->addWidget(btnHangUp, 0, 0, 1, 2);
    grid->addWidget(btnMicrophone, 1, 0);
    grid->addWidget(btnCamera, 1, 1);
    grid->addWidget(btnDevices, 2, 0, 1, 2);

    const auto on = [this](QToolButton *button, auto action) {
        connect(button, &QToolButton::clicked, this, [action] { RunGuarded(action); });
    };
    on(btnCall, [this] { m_call->Call(btnCamera->isChecked()); });
    on(btnHangUp, [this] { m_call->HangUp(); });
    on(btnAccept, [this] { m_call->Accept(); });
    on(btnDecline, [this] { m_call->Decline(); });
    on(btnMicrophone, [this] { m_call->SetMuted(!btnMicrophone->isChecked()); });
    on(btnCamera, [this] {
        if (m_call->inCall())
            m_call->SetCamera(btnCamera->isChecked());
    });
    on(btnDevices, [this] { chooseDevices(); });
    return buttons;
}

void TCallPanel::setCaptions() {
    btnAccept->setText(AppText(1802));
    btnDecline->setText(AppText(1803));
    btnHangUp->setText(AppText(1801));
    btnMicrophone->setText(AppText(1804));
    btnCamera->setText(AppText(1805));
    btnDevices->setText(AppText(1806));
    meter->setToolTip(AppText(1828));
    meter->setAccessibleName(AppText(1828));
}

void TCallPanel::refresh() {
    using State = LessonCall::State;
    const State state = m_call->state();
    const bool talking = state == State::Connecting || state == State::Connected;
    // The browser engine starts once there is a partner to call.
    if (state != State::NoPartner)
        m_media->prepare();
    btnCall->setText(AppText(m_call->callAgain() ? 1822 : 1800));
    btnCall->setVisible(!m_call->inCall());
    btnCall->setEnabled(state == State::Idle);
    btnHangUp->setVisible(talking || state == State::Outgoing);
    prompt->setVisible(state == State::Incoming);
    promptText->setText(AppText(m_call->ringWithVideo() ? 1829 : 1825));
    btnMicrophone->setEnabled(talking);
    btnMicrophone->setChecked(!talking || !m_call->muted());
    // Before a call the camera button chooses whether the call starts with the camera.
    btnCamera->setEnabled(talking || state == State::Idle || state == State::Outgoing);
    if (m_call->inCall())
        btnCamera->setChecked(m_call->camera());
    btnDevices->setEnabled(!m_call->inCall());
    meter->setVisible(talking);
    if (video)
        video->setVisible(talking && (m_call->camera() || m_call->stats().videoFramesReceived > 0));
    if (talking != m_recordingWatch->isActive())
        talking ? m_recordingWatch->start() : m_recordingWatch->stop();
    if (!talking)
        m_call->SetHeld(false);
    notice->setText(m_call->inCall() ? (talking && m_call->held() ? AppText(1836) : QString())
                                     : m_call->endingText());
    notice->setVisible(!notice->text().isEmpty());
    status->setText(m_call->stateText());
    if (state == State::Incoming && window()->isVisible())
        btnAccept->setFocus();
}

void TCallPanel::showStats() {
    const CallStats &stats = m_call->stats();
    // The level is a linear amplitude: its square root follows loudness more closely.
    meter->setValue(qBound(0, int(std::sqrt(stats.microphoneLevel) * 100), 100));
    const bool talking = m_call->state() == LessonCall::State::Connected;
    const bool pictures = talking && (m_call->camera() || stats.videoFramesReceived > 0);
    if (video && video->isVisible() != pictures)
        video->setVisible(pictures);
}

void TCallPanel::chooseDevices() {
    if (m_settings)
        TCallDevicesDialog::Choose(*m_media, *m_settings, window());
}

void TCallPanel::EndLesson() {
    m_call->End();
}

void TCallPanel::fetchServers(std::function<void(const IceServers &)> done) {
    if (m_settings)
        m_call->setDevices(m_settings->callMicrophone, m_settings->callSpeaker,
                           m_settings->callCamera);
    auto *request = new QuietRequest(this);
    auto *bound = new QTimer(request);
    auto answered = std::make_shared<bool>(false);
    const auto finish = [request, done, answered](const IceServers &servers) {
        if (std::exchange(*answered, true))
            return;
        done(servers);
        request->deleteLater();
    };
    bound->setSingleShot(true);
    connect(bound, &QTimer::timeout, request, [request, finish] {
        qCInfo(lcCall) << "no call servers from the central server in time";
        request->cancel();
        finish(IceServers());
    });
    bound->start(ServersWaitMs);
    ServerRequest call;
    call.action = QString::fromLatin1(ActionNames::GetCallServers);
    request->start(call, [finish](bool completed, const QByteArray &body) {
        finish(completed ? IceServers::fromReply(body) : IceServers());
    });
}
