#include "lessonchannel.h"

#include "base/logging.h"
#include "base/sessionlost.h"
#include "base/usertypes.h"
#include "lang/programlocale.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/clienttls.h"
#include "net/settings/settings.h"
#include "seam/messagebox.h"
#include "wire/relay/relayprotocol.h"

#include <QCollator>
#include <QEventLoop>
#include <algorithm>

LessonChannel::LessonChannel(LessonChannelHost &host, QObject *parent)
    : QObject(parent), m_host(host) {
    m_replyTimer.setSingleShot(true);
    m_reconnectTimer.setSingleShot(true);
    connect(&m_link, &RelayLink::opened, this, &LessonChannel::linkOpened);
    connect(&m_link, &RelayLink::failed, this, &LessonChannel::linkFailed);
    connect(&m_link, &RelayLink::linesArrived, this, &LessonChannel::linesArrived);
    connect(&m_replyTimer, &QTimer::timeout, this, [this] { failAttempt(AppText(1642)); });
    connect(&m_keepalive, &QTimer::timeout, this, &LessonChannel::keepaliveTick);
    connect(this, &LessonChannel::stateChanged, this, [this](State state) {
        if (state != State::Online) {
            m_keepalive.stop();
            return;
        }
        m_lastHeard.start();
        m_keepalive.start(qMax(50, m_askAfter / 5));
    });
    connect(&m_reconnectTimer, &QTimer::timeout, this, [this] {
        m_interactive = false;
        startAttempt();
    });
}

LessonChannel::~LessonChannel() {
    if (m_attemptLoop)
        m_attemptLoop->quit();
}

void LessonChannel::reset() {
    m_busy = false;
    m_sync = false;
    m_partnerId.clear();
    m_teacherId.clear();
    m_teacherName.clear();
    m_partnerName.clear();
    m_resumePartner.clear();
    m_chatPartner.clear();
}

void LessonChannel::refreshIdentity() {
    m_identity = m_host.identity();
    m_ids = LessonIds(UserTypes::IsStudentSide(m_identity.userType), m_identity.jobId,
                      m_identity.userId);
}

void LessonChannel::ConnectToggle() {
    const bool idle = m_state == State::Offline;
    if (idle) {
        refreshIdentity();
        m_relayWithoutTokens = false;
    }
    if (idle && isStudent() && !chooseTeacher())
        return;
    m_host.closeOnlineTeachers();
    if (!idle) {
        DisconnectLesson();
        return;
    }
    m_host.openProgress(AppText(263),
                        isStudent() ? FormatText(AppText(265), {m_teacherName}) : AppText(264));
    m_interactive = true;
    m_outcome = Outcome::Failed;
    {
        BusyCursorScope cursor(Qt::WaitCursor);
        QEventLoop loop;
        m_attemptLoop = &loop;
        startAttempt();
        if (m_step != Step::None)
            loop.exec(QEventLoop::ExcludeUserInputEvents);
        m_attemptLoop = nullptr;
    }
    m_host.closeProgress();
    if (m_outcome == Outcome::Failed)
        AppMessageBox(AppText(270), mtWarning, mbOK);
    UpdateConnectionTexts();
}

// The student's teacher among those on line: none ends the attempt with a warning, several
// are offered sorted by name, one is taken without asking.
bool LessonChannel::chooseTeacher() {
    QList<OnlineTeacher> teachers = m_host.fetchOnlineTeachers();
    if (teachers.isEmpty()) {
        m_host.closeOnlineTeachers();
        AppMessageBox(AppText(262), mtWarning, mbOK);
        return false;
    }
    int chosen = 0;
    if (teachers.size() > 1) {
        QCollator collator(ProgramLocale());
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        std::stable_sort(teachers.begin(), teachers.end(),
                         [&](const OnlineTeacher &a, const OnlineTeacher &b) {
                             return collator.compare(a.name, b.name) < 0;
                         });
        chosen = m_host.chooseTeacher(teachers);
    }
    if (chosen < 0 || chosen >= teachers.size()) {
        m_host.closeOnlineTeachers();
        return false;
    }
    m_teacherName = teachers[chosen].name;
    m_teacherId = teachers[chosen].id;
    return true;
}

void LessonChannel::DisconnectLesson() {
    stopReconnecting();
    const bool wasOpen = m_state != State::Offline;
    m_step = Step::None;
    m_replyTimer.stop();
    m_link.close();
    m_heldBack.clear();
    m_dropPending = false;
    setState(State::Offline);
    if (m_attemptLoop) {
        m_outcome = Outcome::Cancelled;
        m_attemptLoop->quit();
    }
    // Closing runs the disconnect handling: the partner is gone.
    if (wasOpen)
        UpdatePartner({});
    // Following resumes only after a drop: losing the partner here was asked for.
    m_resumePartner.clear();
    UpdateConnectionTexts();
    m_partnerId.clear();
}

void LessonChannel::UpdateConnectionTexts() {
    if (m_state == State::Offline)
        refreshIdentity();
    const bool connected = m_state == State::Online;
    const bool holding = connected || m_state == State::Reconnecting;
    const int button = isStudent() ? (holding ? 260 : 261) : (holding ? 258 : 259);
    m_host.connectionTextsChanged(AppText(connected ? 256 : 257), AppText(button));
}

void LessonChannel::setState(State state) {
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void LessonChannel::setStatus(const QString &text) {
    m_host.statusTextChanged(text);
}

// Opens the connection and signs on; the steps follow from the link's signals and the
// relay's answers, each answer awaited for at most the reply time.
void LessonChannel::startAttempt() {
    m_endpoint =
        RelayEndpoint::For(m_identity.relayServer, Settings().useSsl, Settings().onlinePortType);
    m_relayError = false;
    m_heldBack.clear();
    m_dropPending = false;
    m_step = Step::Opening;
    if (m_interactive) {
        setState(State::Connecting);
        setStatus(FormatText(AppText(266), {m_endpoint.text()}));
    } else {
        setStatus(AppText(1646).arg(m_endpoint.text()));
    }
    takeRelayToken();
    m_link.setOpenTimeout(m_replyTimeout);
    m_link.open(m_endpoint, ClientTlsConfiguration(Settings()));
}

// Each sign-on is proved by a fresh token from the central server, unless the server issues
// none or the relay does not know them. Without one (the central server could not be asked)
// the sign-on goes without: a relay that requires tokens refuses it with its own answer.
void LessonChannel::takeRelayToken() {
    m_token.clear();
    if (m_relayWithoutTokens)
        return;
    const std::optional<QByteArray> token = m_host.relayToken();
    if (!token)
        qCInfo(lcLesson) << "no relay token: the central server could not be asked";
    m_token = token.value_or(QByteArray());
}

void LessonChannel::linkOpened() {
    if (m_step != Step::Opening)
        return;
    m_step = Step::SigningOn;
    QByteArray signOn =
        "c;" + m_ids.OwnClientId(m_teacherId) + ';' + RelayProtocol::SignOnKey.toByteArray();
    if (!m_token.isEmpty())
        signOn += ';' + m_token;
    m_link.sendLine(signOn);
    m_replyTimer.start(m_replyTimeout);
}

void LessonChannel::linesArrived() {
    m_lastHeard.start();
    m_asked = false;
    if (m_step != Step::None)
        takeAttemptLines();
    else
        processPending();
}

void LessonChannel::takeAttemptLines() {
    while ((m_step == Step::SigningOn || m_step == Step::Listing) && m_link.hasLine())
        attemptLine(m_link.takeLine());
}

void LessonChannel::attemptLine(const QByteArray &line) {
    QByteArray rest = line;
    if (m_step == Step::SigningOn) {
        if (line == "@error;badkey" && !m_token.isEmpty()) {
            // A relay from before tokens reads the token as a wrong key: sign on without.
            qCInfo(lcLesson) << "relay takes no tokens: signing on without one";
            m_relayWithoutTokens = true;
            m_link.close();
            m_step = Step::None;
            startAttempt();
            return;
        }
        if (line == "@error;nosession") {
            // The relay found no sign-in of this user at the central server: the session is
            // over, which the program says once and signs out (not a raw relay line).
            qCInfo(lcLesson) << "relay: the central session is gone";
            m_link.close();
            setStatus(QString());
            finishAttempt(Outcome::Refused);
            QMetaObject::invokeMethod(this, [] { NotifySessionLost(); }, Qt::QueuedConnection);
            return;
        }
        if (RelayProtocol::TakeField(rest) != "@loginok") {
            qCInfo(lcLesson) << "relay refused the sign-on:" << line;
            m_link.close();
            setStatus(FormatText(AppText(269), {QString::fromLatin1(line)}));
            finishAttempt(Outcome::Refused);
            return;
        }
        setStatus(FormatText(AppText(267), {m_endpoint.host}));
        if (!isStudent()) {
            finishAttempt(Outcome::Connected);
            return;
        }
        m_step = Step::Listing;
        m_link.sendLine("@listactiveusers");
        m_replyTimer.start(m_replyTimeout);
        return;
    }
    // The list's first field goes: up to the first "|" when there is one, else up to ";".
    const qsizetype bar = line.indexOf('|');
    const qsizetype cut = bar >= 0 ? bar : line.indexOf(';');
    const QByteArray list = cut >= 0 ? line.mid(cut + 1) : QByteArray();
    if (!(';' + list + ';').contains(';' + m_ids.ClientId(m_teacherId) + ';')) {
        failAttempt(AppText(268));
        return;
    }
    m_partnerId.clear();
    UpdatePartner(list);
    finishAttempt(Outcome::Connected);
}

void LessonChannel::failAttempt(const QString &text) {
    if (m_step == Step::None)
        return;
    m_link.close();
    setStatus(text);
    finishAttempt(Outcome::Failed);
}

void LessonChannel::finishAttempt(Outcome outcome) {
    m_step = Step::None;
    m_replyTimer.stop();
    m_outcome = outcome;
    if (outcome == Outcome::Connected) {
        m_round = 0;
        setState(State::Online);
        // The student's teacher (or nothing yet for the teacher) rather than the relay's host.
        setStatus(partnerStatusText());
        processLater();
    } else if (m_interactive || outcome == Outcome::Refused) {
        setState(State::Offline);
    } else {
        scheduleReconnect();
    }
    if (!m_interactive)
        UpdateConnectionTexts();
    if (m_attemptLoop)
        m_attemptLoop->quit();
}

void LessonChannel::linkFailed() {
    if (m_step != Step::None) {
        failAttempt(failureText());
        return;
    }
    if (m_state != State::Online)
        return;
    m_dropPending = true;
    processPending();
}

QString LessonChannel::failureText() const {
    switch (m_link.failure()) {
    case RelayLink::Failure::Refused:
        return AppText(1640);
    case RelayLink::Failure::Unreachable:
        return AppText(1641);
    case RelayLink::Failure::TimedOut:
        return AppText(1642);
    case RelayLink::Failure::Certificate:
        return AppText(1643);
    default:
        return AppText(1644);
    }
}

// Handles the waiting lines in order, each after the one before; a drop of the connection is
// handled after the lines that came before it.
void LessonChannel::processPending() {
    if (m_busy || m_handling || m_step != Step::None)
        return;
    m_handling = true;
    while (m_state == State::Online && (!m_heldBack.isEmpty() || m_link.hasLine())) {
        const QByteArray line = m_heldBack.isEmpty() ? m_link.takeLine() : m_heldBack.dequeue();
        HandleIncoming(line);
    }
    m_handling = false;
    if (m_dropPending && m_state == State::Online)
        handleDrop();
    m_dropPending = false;
}

void LessonChannel::processLater() {
    QMetaObject::invokeMethod(this, &LessonChannel::processPending, Qt::QueuedConnection);
}

// The relay went away without being asked: the partner is gone, and unless the relay sent
// an error first (a refusal, or this id signed on elsewhere) the channel signs on again.
void LessonChannel::handleDrop() {
    m_link.close();
    const bool again = Settings().relayAutoReconnect && !m_relayError;
    setState(again ? State::Reconnecting : State::Offline);
    UpdatePartner({});
    if (again) {
        m_round = 0;
        scheduleReconnect();
    } else {
        setStatus(AppText(1644));
    }
    UpdateConnectionTexts();
}

void LessonChannel::scheduleReconnect() {
    if (m_round >= m_pauses.size()) {
        m_round = 0;
        setState(State::Offline);
        setStatus(AppText(1647));
        return;
    }
    const int pause = m_pauses[m_round++];
    setState(State::Reconnecting);
    setStatus(AppText(1645).arg(ProgramLocale().toString(pause / 1000.0, 'g', 3)));
    m_reconnectTimer.start(pause);
}

void LessonChannel::setKeepalive(int askAfterMs, int deadAfterMs) {
    m_askAfter = askAfterMs;
    m_deadAfter = deadAfterMs;
}

// A link that stopped carrying data is noticed within the dead time: the relay's list, asked
// for after a silence, proves it alive.
void LessonChannel::keepaliveTick() {
    if (m_state != State::Online || !m_lastHeard.isValid())
        return;
    const qint64 silent = m_lastHeard.elapsed();
    if (silent >= m_deadAfter) {
        qCWarning(lcLesson) << "relay link silent for" << silent << "ms: counted as dropped";
        m_dropPending = true;
        processPending();
        return;
    }
    if (silent >= m_askAfter && !m_busy && !m_asked) {
        m_asked = true;
        m_link.sendLine("@listactiveusers");
    }
}

void LessonChannel::stopReconnecting() {
    m_reconnectTimer.stop();
    m_round = 0;
}
