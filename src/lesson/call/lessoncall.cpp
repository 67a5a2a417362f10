#include "lessoncall.h"

#include "calllog.h"
#include "lang/texts.h"

namespace {

// The call texts: states from 1807, endings from 1815.
QString text(int number) {
    return AppText(number);
}

} // namespace

LessonCall::LessonCall(LessonChannel &channel, CallMedia &media, QObject *parent)
    : QObject(parent), m_channel(channel), m_media(media) {
    m_probeTimer.setSingleShot(true);
    m_probeTimer.setInterval(8000);
    m_callTimer.setSingleShot(true);
    connect(&m_probeTimer, &QTimer::timeout, this, &LessonCall::probeExpired);
    connect(&m_callTimer, &QTimer::timeout, this, &LessonCall::timedOut);
    connect(&channel, &LessonChannel::partnerPresenceChanged, this, &LessonCall::partnerPresence);
    connect(&channel, &LessonChannel::stateChanged, this, &LessonCall::channelState);
    connect(&channel, &LessonChannel::partnerLine, this, &LessonCall::partnerLine);
    connect(&media, &CallMedia::messageReady, this, &LessonCall::sendMessage);
    connect(&media, &CallMedia::connected, this, &LessonCall::mediaConnected);
    connect(&media, &CallMedia::failed, this, &LessonCall::mediaFailed);
    connect(&media, &CallMedia::statsChanged, this, [this](const CallStats &stats) {
        // A late report of a call that has ended is not the next call's.
        if (!m_mediaStarted)
            return;
        m_stats = stats;
        emit statsChanged();
    });
    if (channel.isConnected() && !channel.partnerId().isEmpty())
        partnerPresence(true);
}

LessonCall::~LessonCall() {
    if (inCall()) {
        post(CallWire::bye(m_callId));
        m_media.stop();
    }
}

void LessonCall::setDevices(const QString &microphone, const QString &speaker,
                            const QString &camera) {
    m_microphone = microphone;
    m_speaker = speaker;
    m_cameraDevice = camera;
}

void LessonCall::setTimeouts(int probeMs, int ringMs, int connectMs) {
    m_probeTimer.setInterval(probeMs);
    m_ringMs = ringMs;
    m_connectMs = connectMs;
}

bool LessonCall::inCall() const {
    return m_state == State::Outgoing || m_state == State::Incoming ||
           m_state == State::Connecting || m_state == State::Connected;
}

// The partner and the relay.

void LessonCall::partnerPresence(bool present) {
    if (inCall())
        finish(m_channel.isConnected() ? Ending::PartnerLeft : Ending::RelayDropped, false);
    const QString partner = present ? m_channel.partnerId() : QString();
    if (partner != m_partner && !m_partner.isEmpty() && !partner.isEmpty())
        m_callAgain = false; // another partner: nothing to call again
    m_partner = partner;
    m_available = false;
    if (present)
        probe();
    else
        setState(State::NoPartner);
}

void LessonCall::channelState(LessonChannel::State state) {
    if (state == LessonChannel::State::Online)
        return;
    if (inCall())
        finish(state == LessonChannel::State::Reconnecting ? Ending::RelayDropped
                                                           : Ending::LessonEnded,
               false);
    m_available = false;
    m_probeTimer.stop();
    setState(State::NoPartner);
}

void LessonCall::probe() {
    setState(State::Probing);
    m_probeTimer.start();
    post(CallWire::hello(false));
}

void LessonCall::probeExpired() {
    if (m_state == State::Probing) {
        qCInfo(lcCall) << "no call hello from the partner: the call is unavailable";
        setState(State::Unavailable);
    }
}

// Lines from the partner.

void LessonCall::partnerLine(const QByteArray &command, const QByteArray &rest) {
    if (!CallWire::isCallCommand(command))
        return;
    const std::optional<CallWire::Line> line = CallWire::parse(command, rest);
    if (!line) {
        qCWarning(lcCall).noquote() << "malformed call line:" << command << rest.left(80);
        if (m_state == State::Connecting || m_state == State::Connected)
            finish(Ending::BadSignal, true);
        return;
    }
    switch (line->kind) {
    case CallWire::Kind::Hello:
        takeHello(line->reply);
        break;
    case CallWire::Kind::Ring:
        takeRing(line->callId, line->video);
        break;
    case CallWire::Kind::Accept:
        if (m_state == State::Outgoing && current(line->callId)) {
            m_setup.start();
            setState(State::Connecting);
            m_callTimer.start(m_connectMs);
            // The offer made while it rang goes out now.
            for (const CallMessage &message : std::exchange(m_outbox, {}))
                sendMessage(message);
        }
        break;
    case CallWire::Kind::Decline:
        if (m_state == State::Outgoing && current(line->callId))
            finish(Ending::Declined, false);
        break;
    case CallWire::Kind::Bye:
        if (inCall() && current(line->callId))
            finish(m_state == State::Incoming ? Ending::Missed : Ending::PartnerHungUp, false);
        break;
    case CallWire::Kind::Signal:
        takeSignal(*line);
        break;
    }
}

void LessonCall::takeHello(bool reply) {
    if (!reply)
        post(CallWire::hello(true));
    m_available = true;
    m_probeTimer.stop();
    if (m_state == State::Probing || m_state == State::Unavailable)
        setState(State::Idle);
}

void LessonCall::takeRing(const QByteArray &id, bool video) {
    m_available = true;
    m_probeTimer.stop();
    if (m_state == State::Outgoing && !m_channel.isStudent())
        return; // both rang at once: the teacher's call goes on, the student takes it
    if (m_state == State::Incoming && current(id))
        return;
    if (inCall() && m_state != State::Outgoing) {
        post(CallWire::decline(id));
        return;
    }
    m_callTimer.stop();
    if (m_mediaStarted) {
        // The student's own call, ready while it rang, gives way to the teacher's.
        m_media.stop();
        m_mediaStarted = false;
    }
    m_mediaWanted = false;
    m_servers.reset();
    m_outbox.clear();
    m_callId = id;
    m_ringVideo = video;
    m_ending = Ending::None;
    m_pieces.reset();
    m_waiting.clear();
    m_sentMessages = 0;
    ++m_attempt;
    setState(State::Incoming);
    m_callTimer.start(m_ringMs);
    // The servers are fetched while it rings, so that accepting starts at once.
    fetchServers();
}

void LessonCall::takeSignal(const CallWire::Line &line) {
    if (!(m_state == State::Connecting || m_state == State::Connected) || !current(line.callId))
        return;
    const CallReassembler::Result result = m_pieces.add(line);
    if (result == CallReassembler::Result::Incomplete)
        return;
    QString why = m_pieces.error();
    std::optional<CallMessage> message;
    if (result == CallReassembler::Result::Complete)
        message = CallMessage::fromJson(m_pieces.message(), &why);
    if (!message) {
        qCWarning(lcCall).noquote() << "partner's signalling refused:" << why;
        finish(Ending::BadSignal, true);
        return;
    }
    if (m_mediaStarted)
        m_media.takeMessage(*message);
    else
        m_waiting.append(*message);
}

// The user's actions.

bool LessonCall::Call(bool camera) {
    if (m_state != State::Idle)
        return false;
    m_callId = CallWire::newCallId();
    m_camera = camera;
    m_muted = false;
    m_ending = Ending::None;
    m_callAgain = false;
    m_pieces.reset();
    m_waiting.clear();
    m_sentMessages = 0;
    if (!post(CallWire::ring(m_callId, camera))) {
        m_callId.clear();
        return false;
    }
    ++m_attempt;
    setState(State::Outgoing);
    m_callTimer.start(m_ringMs);
    // The caller's side gets ready while it rings: servers, microphone and the offer, which
    // waits for the partner's accepting.
    fetchServers();
    startMedia(true);
    return true;
}

void LessonCall::Accept() {
    if (m_state != State::Incoming)
        return;
    m_setup.start();
    m_camera = false; // audio only until one switches the own camera on
    m_muted = false;
    m_callAgain = false;
    setState(State::Connecting);
    m_callTimer.start(m_connectMs);
    startMedia(false);
    post(CallWire::accept(m_callId));
}

void LessonCall::Decline() {
    if (m_state != State::Incoming)
        return;
    post(CallWire::decline(m_callId));
    m_callTimer.stop();
    m_callId.clear();
    m_servers.reset();
    ++m_attempt;
    m_ending = Ending::None;
    setState(m_available ? State::Idle : State::Probing);
}

void LessonCall::HangUp() {
    if (m_state == State::Incoming)
        Decline();
    else if (inCall())
        finish(Ending::HungUp, true);
}

void LessonCall::SetMuted(bool muted) {
    m_muted = muted;
    if (m_mediaStarted)
        m_media.setMuted(m_muted || m_held);
    emit changed();
}

void LessonCall::SetHeld(bool held) {
    if (held == m_held)
        return;
    m_held = held;
    if (m_mediaStarted)
        m_media.setMuted(m_muted || m_held);
    emit changed();
}

void LessonCall::SetCamera(bool on) {
    m_camera = on;
    if (m_mediaStarted)
        m_media.setCamera(on);
    emit changed();
}

void LessonCall::End() {
    if (inCall())
        finish(Ending::HungUp, true);
    m_callAgain = false;
    m_ending = Ending::None;
    emit changed();
}

// The engine.

void LessonCall::fetchServers() {
    m_servers.reset();
    const quint64 attempt = m_attempt;
    auto take = [this, attempt](const IceServers &servers) {
        if (attempt != m_attempt || !inCall())
            return;
        m_servers = servers;
        if (m_mediaWanted)
            beginMedia();
    };
    if (m_fetch)
        m_fetch(take);
    else
        take(IceServers());
}

void LessonCall::startMedia(bool offerer) {
    m_offerer = offerer;
    m_mediaWanted = true;
    if (m_servers)
        beginMedia();
}

void LessonCall::beginMedia() {
    if (m_mediaStarted)
        return;
    qCInfo(lcCall) << "call starts with" << m_servers->stun.size() << "STUN and"
                   << m_servers->turn.size() << "TURN addresses";
    CallMedia::Start how;
    how.servers = *m_servers;
    how.relayOnly = m_relayOnly;
    how.offerer = m_offerer;
    how.camera = m_camera;
    how.muted = m_muted || m_held;
    how.statsIntervalMs = m_statsMs;
    how.microphone = m_microphone;
    how.speaker = m_speaker;
    how.cameraDevice = m_cameraDevice;
    m_mediaStarted = true;
    m_media.start(how);
    for (const CallMessage &message : std::exchange(m_waiting, {}))
        m_media.takeMessage(message);
}

void LessonCall::sendMessage(const CallMessage &message) {
    if (m_state == State::Outgoing)
        m_outbox.append(message);
    if (!(m_state == State::Connecting || m_state == State::Connected))
        return;
    const QList<QByteArray> lines = CallWire::signalLines(
        m_callId, ++m_sentMessages, message.toJson(), m_channel.partnerRoom());
    if (lines.isEmpty()) {
        mediaFailed(false, QStringLiteral("a signalling message does not fit the relay's lines"));
        return;
    }
    for (const QByteArray &line : lines) {
        if (!post(line)) {
            mediaFailed(false, QStringLiteral("the relay took no more signalling lines"));
            return;
        }
    }
}

void LessonCall::mediaConnected() {
    if (m_state != State::Connecting)
        return;
    m_callTimer.stop();
    m_setupMs = m_setup.isValid() ? m_setup.elapsed() : -1;
    qCInfo(lcCall) << "call connected after" << m_setupMs << "ms";
    setState(State::Connected);
}

void LessonCall::mediaFailed(bool devices, const QString &reason) {
    if (!inCall())
        return;
    qCWarning(lcCall).noquote() << "call failed:" << reason;
    finish(devices ? Ending::NoDevices : Ending::Failed, true);
}

void LessonCall::timedOut() {
    if (m_state == State::Outgoing)
        finish(Ending::NoAnswer, true);
    else if (m_state == State::Incoming)
        finish(Ending::Missed, false);
    else if (m_state == State::Connecting)
        mediaFailed(false, QStringLiteral("no connection within %1 ms").arg(m_connectMs));
}

bool LessonCall::post(const QByteArray &command) {
    return m_channel.PostToPartner(command);
}

void LessonCall::finish(Ending ending, bool tellPartner) {
    if (tellPartner && !m_callId.isEmpty())
        post(CallWire::bye(m_callId));
    m_callTimer.stop();
    if (m_mediaStarted)
        m_media.stop();
    m_mediaStarted = false;
    m_mediaWanted = false;
    m_servers.reset();
    ++m_attempt;
    m_callId.clear();
    m_waiting.clear();
    m_outbox.clear();
    m_pieces.reset();
    m_stats = CallStats();
    m_ending = ending;
    m_callAgain = ending == Ending::RelayDropped;
    m_muted = false;
    m_held = false;
    m_camera = false;
    const bool partnerHere = m_channel.isConnected() && !m_channel.partnerId().isEmpty();
    setState(!partnerHere ? State::NoPartner : m_available ? State::Idle : State::Probing);
    emit statsChanged();
}

void LessonCall::setState(State state) {
    m_state = state;
    emit changed();
}

QString LessonCall::stateText() const {
    switch (m_state) {
    case State::NoPartner:
        return text(1807);
    case State::Probing:
        return text(1808);
    case State::Unavailable:
        return text(1809);
    case State::Idle:
        return text(1810);
    case State::Outgoing:
        return text(1811);
    case State::Incoming:
        return text(1812);
    case State::Connecting:
        return text(1813);
    case State::Connected:
        break;
    }
    return text(1814);
}

QString LessonCall::endingText() const {
    static const QHash<Ending, int> texts{
        {Ending::HungUp, 1823},       {Ending::PartnerHungUp, 1816}, {Ending::Declined, 1815},
        {Ending::NoAnswer, 1817},     {Ending::Missed, 1826},        {Ending::PartnerLeft, 1819},
        {Ending::RelayDropped, 1818}, {Ending::LessonEnded, 1827},   {Ending::Failed, 1820},
        {Ending::NoDevices, 1824},    {Ending::BadSignal, 1821}};
    const int number = texts.value(m_ending, 0);
    return number ? text(number) : QString();
}
