#pragma once

#include "callmedia.h"
#include "callreassembler.h"
#include "lesson/relay/lessonchannel.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// A voice (and video) call between the lesson's partners. The media go through the engine it
// is given; only the signalling travels over the lesson relay as partner lines (CallWire).
// When a partner appears both sides say hello; a partner or relay that does not answer within
// the probe time leaves the call unavailable. A call ends on hang-up, a decline, the partner
// leaving or changing, the relay dropping (a new call is then offered once it is back), a
// failure of the engine or of the partner's signalling, and when the lesson ends (End).
class LessonCall : public QObject {
    Q_OBJECT
public:
    enum class State {
        NoPartner,
        Probing,
        Unavailable,
        Idle,
        Outgoing,
        Incoming,
        Connecting,
        Connected
    };
    // Why the last call ended, for the sentence shown after it.
    enum class Ending {
        None,
        HungUp,
        PartnerHungUp,
        Declined,
        NoAnswer,
        Missed,
        PartnerLeft,
        RelayDropped,
        LessonEnded,
        Failed,
        NoDevices,
        BadSignal
    };
    // Fetches the STUN/TURN servers for a call and hands them to the callback (no servers when
    // the central server has none).
    using ServerFetch = std::function<void(std::function<void(const IceServers &)>)>;

    LessonCall(LessonChannel &channel, CallMedia &media, QObject *parent = nullptr);
    ~LessonCall() override;

    // The user's actions; each does nothing where it does not apply.
    bool Call(bool camera = false);
    void Accept();
    void Decline();
    void HangUp();
    void SetMuted(bool muted);
    void SetCamera(bool on);
    // A book recording plays on this side: the microphone sends nothing meanwhile, so the
    // recording that both sides hear from their own players does not come back through the call
    // (the engine's echo cancelling knows only the call's own sound).
    void SetHeld(bool held);
    // The lesson ends (sign-out, program closing): a call is hung up, nothing is offered again.
    void End();

    void setServerFetch(ServerFetch fetch) { m_fetch = std::move(fetch); }
    void setDevices(const QString &microphone, const QString &speaker, const QString &camera);
    // Only relayed routes (TURN); for networks that must not show their addresses, and tests.
    void setRelayOnly(bool on) { m_relayOnly = on; }
    void setTimeouts(int probeMs, int ringMs, int connectMs);
    // How often the engine reports its statistics during a call (measurements want it often).
    void setStatsInterval(int milliseconds) { m_statsMs = milliseconds; }

    State state() const { return m_state; }
    Ending ending() const { return m_ending; }
    bool inCall() const;
    // The present call's id; empty without a call.
    const QByteArray &callId() const { return m_callId; }
    bool muted() const { return m_muted; }
    bool held() const { return m_held; }
    bool camera() const { return m_camera; }
    // The incoming call asks for the camera.
    bool ringWithVideo() const { return m_ringVideo; }
    // After a relay drop: the next call is offered as "call again".
    bool callAgain() const { return m_callAgain; }
    const CallStats &stats() const { return m_stats; }
    // From the accepted call to the connection (ms), -1 before.
    qint64 setupMs() const { return m_setupMs; }
    QString stateText() const;
    // The sentence about how the last call ended; empty when there is none to show.
    QString endingText() const;

signals:
    void changed();
    void statsChanged();

private:
    void partnerPresence(bool present);
    void channelState(LessonChannel::State state);
    void partnerLine(const QByteArray &command, const QByteArray &rest);
    void probe();
    void probeExpired();
    void takeHello(bool reply);
    void takeRing(const QByteArray &id, bool video);
    void takeSignal(const CallWire::Line &line);
    void fetchServers();
    void startMedia(bool offerer);
    void beginMedia();
    void sendMessage(const CallMessage &message);
    void mediaConnected();
    void mediaFailed(bool devices, const QString &reason);
    void timedOut();
    bool post(const QByteArray &command);
    void finish(Ending ending, bool tellPartner);
    void setState(State state);
    bool current(const QByteArray &id) const { return !m_callId.isEmpty() && id == m_callId; }

    LessonChannel &m_channel;
    CallMedia &m_media;
    ServerFetch m_fetch;
    State m_state = State::NoPartner;
    Ending m_ending = Ending::None;
    QByteArray m_callId;
    QString m_partner;
    bool m_available = false;
    bool m_muted = false;
    bool m_held = false;
    bool m_camera = false;
    bool m_ringVideo = false;
    bool m_callAgain = false;
    bool m_relayOnly = false;
    bool m_mediaStarted = false;
    bool m_mediaWanted = false;
    bool m_offerer = false;
    std::optional<IceServers> m_servers; // fetched for the present call
    int m_sentMessages = 0;
    quint64 m_attempt = 0; // counts calls, so that a late server answer is not taken for the next
    QString m_microphone, m_speaker, m_cameraDevice;
    QList<CallMessage> m_waiting; // partner messages that came before the engine started
    QList<CallMessage> m_outbox;  // the caller's own messages made while it rings
    CallReassembler m_pieces;
    CallStats m_stats;
    QTimer m_probeTimer;
    QTimer m_callTimer;
    int m_ringMs = 45000;
    int m_connectMs = 20000;
    int m_statsMs = 500;
    QElapsedTimer m_setup;
    qint64 m_setupMs = -1;
};
