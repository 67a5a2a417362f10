#pragma once

#include "lessonchannelhost.h"
#include "lessonids.h"
#include "relaylink.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class QEventLoop;

// The lesson's channel to the relay: connecting and signing on, the partner found in the
// relay's lists, the say-to-client exchange with its echo, and the chat, page and recording
// messages between teacher and student. Incoming lines are handled as they arrive, one at a
// time and in order, never inside the handling of another line and never while an exchange
// waits for its echo (they are handled right after it). A connection that drops without being
// asked to is signed on again after growing pauses, when the RelayAutoReconnect setting is on.
// The owning screen shows what the channel reports through its host.
class LessonChannel : public QObject {
    Q_OBJECT
public:
    enum class State { Offline, Connecting, Online, Reconnecting };

    // The outcome of a say-to-client exchange.
    struct SayStatus {
        bool failed = false; // not on line, the connection went down, or no answer in time
        QByteArray status;   // what the relay wrote after the echo: "OK" when delivered
        bool delivered() const { return !failed && status == "OK"; }
    };

    static constexpr int ReplyTimeout = 30000;
    static constexpr int MaxEchoLines = 20;

    explicit LessonChannel(LessonChannelHost &host, QObject *parent = nullptr);
    ~LessonChannel() override;

    // The connect button: disconnects when connected (or waiting to reconnect), otherwise
    // connects and signs on with the progress window, waiting for the outcome.
    void ConnectToggle();
    // Closes the connection (also stops reconnecting), refreshes the texts, clears the partner.
    void DisconnectLesson();
    // Sends "@sayclient;" payload and waits for the relay's echo of that line.
    SayStatus SayClient(const QByteArray &payload);
    // Dispatches one line received from the relay.
    void HandleIncoming(const QByteArray &line);
    // Works out the partner from the client ids of a list (";" between them).
    void UpdatePartner(const QByteArray &list);
    // Status panel 1 and the connect button's caption from the connection state.
    void UpdateConnectionTexts();

    // A chat message to the partner, cleaned for the wire and cut into messages that fit a
    // line. Stops at the first message not delivered; sent receives the lines of each message
    // that was delivered, as they went.
    SayStatus SendChat(const QStringList &lines, QList<QStringList> *sent = nullptr);
    // Teacher: asks the student to follow (or stop following) at the page; following takes the
    // new value only when the relay delivered it.
    bool SendSync(bool on, int bookNumber, int page);
    // Teacher with a partner while following: the page now shown, and recording commands.
    void SendPage(int bookNumber, int page);
    void SendAudio(int bookNumber, int audioIndex, int action);
    // A line of a lesson feature beyond chat, pages and recordings ("@name;fields") sent to the
    // partner without waiting for the echo (the echo is ignored when it comes). False when
    // there is no partner, the channel is not on line, or the line would not fit.
    bool PostToPartner(const QByteArray &command);
    // The longest command PostToPartner takes for the present partner.
    qsizetype partnerRoom() const;

    // Sets following and lets the screen show it.
    void SetSyncFlag(bool on);
    bool syncOn() const { return m_sync; }

    State state() const { return m_state; }
    bool isConnected() const { return m_state == State::Online; }
    bool isStudent() const { return m_ids.student(); }
    bool isBusy() const { return m_busy; }
    const QString &partnerId() const { return m_partnerId; }
    const QString &teacherId() const { return m_teacherId; }
    const QString &teacherName() const { return m_teacherName; }
    const QString &partnerName() const { return m_partnerName; }
    // The name that heads the partner's chat messages.
    QString partnerWriter() const { return isStudent() ? m_teacherName : m_partnerName; }
    const RelayEndpoint &endpoint() const { return m_endpoint; }

    // Clears the partner, names and following (screen start).
    void reset();
    // Waits for the relay's answers during connecting and for echoes.
    void setReplyTimeout(int milliseconds) { m_replyTimeout = milliseconds; }
    // Pauses before each new sign-on after a drop; off line after the last one.
    void setReconnectPauses(const QList<int> &milliseconds) { m_pauses = milliseconds; }
    // On line and silent for the first time, the relay is asked for its list (which every relay
    // answers); silent for the second, the link counts as dead and is handled as a drop.
    void setKeepalive(int askAfterMs, int deadAfterMs);
    RelayLink &link() { return m_link; }

signals:
    void stateChanged(LessonChannel::State state);
    // The partner came or went (after the screen was told through the host).
    void partnerPresenceChanged(bool present);
    // A line from the partner that chat, pages and recordings do not know: the command
    // ("@name") and what follows its ";". Features beyond those listen here; a partner or relay
    // without them simply never sends such lines.
    void partnerLine(const QByteArray &command, const QByteArray &rest);

private:
    enum class Step { None, Opening, SigningOn, Listing };
    enum class Outcome { Connected, Refused, Failed, Cancelled };

    bool chooseTeacher();
    void refreshIdentity();
    void setState(State state);
    void setStatus(const QString &text);
    void startAttempt();
    void takeRelayToken();
    void linkOpened();
    void linkFailed();
    void linesArrived();
    void takeAttemptLines();
    void attemptLine(const QByteArray &line);
    void failAttempt(const QString &text);
    void finishAttempt(Outcome outcome);
    void processPending();
    void processLater();
    void handleDrop();
    void scheduleReconnect();
    void keepaliveTick();
    void stopReconnecting();
    void resumeFollowing();
    QString failureText() const;
    QString partnerStatusText();
    void handleClientSaid(QByteArray rest);
    void handleSyncPage(QByteArray rest);
    void handleSyncAudio(QByteArray rest);
    SayStatus sayToPartner(const QByteArray &command);

    LessonChannelHost &m_host;
    RelayLink m_link;
    LessonIdentity m_identity;
    LessonIds m_ids;
    RelayEndpoint m_endpoint;
    State m_state = State::Offline;
    Step m_step = Step::None;
    Outcome m_outcome = Outcome::Failed;
    bool m_interactive = false;
    QEventLoop *m_attemptLoop = nullptr;
    QTimer m_replyTimer;
    QTimer m_reconnectTimer;
    QTimer m_keepalive;
    QElapsedTimer m_lastHeard;
    int m_askAfter = 5000;
    int m_deadAfter = 15000;
    bool m_asked = false; // the list was asked for during this silence
    int m_replyTimeout = ReplyTimeout;
    QList<int> m_pauses{500, 1000, 2000, 4000, 8000, 16000, 30000};
    int m_round = 0;
    QQueue<QByteArray> m_heldBack;
    bool m_busy = false;
    bool m_handling = false;
    bool m_dropPending = false;
    bool m_relayError = false;
    QByteArray m_token;          // proves this attempt's sign-on; empty: the sign-on goes without
    bool m_relayWithoutTokens = false; // the relay refused a sign-on with a token as malformed
    bool m_sync = false;
    QString m_partnerId;
    QString m_teacherId;
    QString m_teacherName;
    QString m_partnerName;
    // Teacher: the student that was lost while following was on, to be followed again.
    QString m_resumePartner;
    // Teacher: the student whose chat is on screen (kept across his drops).
    QString m_chatPartner;
};
