// The lesson channel's lines once on line: the say-to-client exchange, the lesson messages
// both ways, and the partner found in the relay's lists.
#include "chatcodec.h"
#include "lessonchannel.h"
#include "wire/relay/relayprotocol.h"

#include "base/logging.h"
#include "base/sessionlost.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "seam/messagebox.h"

namespace {

// Room kept in a chat line for the status the relay appends to its echo.
constexpr qsizetype EchoStatusRoom = 16;

// A number field: its value, or the fallback when it is not a number.
int numberOr(const QByteArray &field, int fallback) {
    return ParseInteger(QString::fromLatin1(field)).value_or(fallback);
}

} // namespace

LessonChannel::SayStatus LessonChannel::SayClient(const QByteArray &payload) {
    SayStatus result;
    result.failed = true;
    if (m_state != State::Online || m_busy)
        return result;
    m_busy = true;
    BusyCursorScope cursor(Qt::WaitCursor);
    const QByteArray line = "@sayclient;" + payload;
    m_link.sendLine(line);
    for (int read = 0; read < MaxEchoLines; ++read) {
        if (m_link.waitForLine(m_replyTimeout) != RelayLink::Wait::Line)
            break;
        const QByteArray answer = m_link.takeLine();
        if (answer.startsWith(line)) {
            result.failed = false;
            result.status = answer.mid(line.size());
            break;
        }
        // The echo of a line posted before: nothing to handle, and not one of the lines
        // counted while waiting.
        if (answer.startsWith("@sayclient;")) {
            --read;
            continue;
        }
        // Another line: handled once the exchange is over, in the order it came.
        m_heldBack.enqueue(answer);
        if (read + 1 == MaxEchoLines)
            result.failed = false; // no echo among them: an empty status
    }
    m_busy = false;
    if (!m_heldBack.isEmpty() || m_link.hasLine() || m_dropPending)
        processLater();
    return result;
}

LessonChannel::SayStatus LessonChannel::sayToPartner(const QByteArray &command) {
    if (m_partnerId.isEmpty())
        return {true, {}};
    return SayClient(m_ids.PartnerClientId(m_partnerId) + ';' + command);
}

LessonChannel::SayStatus LessonChannel::SendChat(const QStringList &lines,
                                                 QList<QStringList> *sent) {
    const QByteArray target = m_ids.PartnerClientId(m_partnerId);
    const QByteArray own = m_ids.OwnClientId(m_teacherId);
    // Both the line sent and the line the partner gets must fit, and the echo with its status.
    const qsizetype head = qMax(QByteArrayView("@sayclient;").size() + target.size(),
                                QByteArrayView("@clientsaid;").size() + own.size()) +
                           QByteArrayView("@chatmsg;").size() + EchoStatusRoom;
    SayStatus status{true, {}};
    for (const QByteArray &message :
         ChatCodec::EncodeMessages(lines, RelayProtocol::MaxLineLength - head)) {
        status = sayToPartner("@chatmsg;" + message);
        if (!status.delivered())
            break;
        if (sent)
            sent->append(ChatCodec::Decode(message));
    }
    return status;
}

bool LessonChannel::SendSync(bool on, int bookNumber, int page) {
    if (isStudent())
        return false;
    const SayStatus status =
        sayToPartner("@syncpage;" + QByteArray::number(on ? 1 : 0) + ';' +
                     QByteArray::number(bookNumber) + ';' + QByteArray::number(page));
    if (status.delivered())
        SetSyncFlag(on);
    return status.delivered();
}

void LessonChannel::SendPage(int bookNumber, int page) {
    if (!isStudent() && m_sync && !m_partnerId.isEmpty())
        sayToPartner("@syncpage;1;" + QByteArray::number(bookNumber) + ';' +
                     QByteArray::number(page));
}

void LessonChannel::SendAudio(int bookNumber, int audioIndex, int action) {
    if (!isStudent() && m_sync && !m_partnerId.isEmpty())
        sayToPartner("@syncaudio;" + QByteArray::number(bookNumber) + ';' +
                     QByteArray::number(audioIndex) + ';' + QByteArray::number(action));
}

qsizetype LessonChannel::partnerRoom() const {
    if (m_partnerId.isEmpty())
        return 0;
    const qsizetype head =
        qMax(QByteArrayView("@sayclient;").size() + m_ids.PartnerClientId(m_partnerId).size(),
             QByteArrayView("@clientsaid;").size() + m_ids.OwnClientId(m_teacherId).size()) +
        1 + EchoStatusRoom;
    return RelayProtocol::MaxLineLength - head;
}

bool LessonChannel::PostToPartner(const QByteArray &command) {
    if (m_partnerId.isEmpty() || m_state != State::Online || command.size() > partnerRoom())
        return false;
    m_link.sendLine("@sayclient;" + m_ids.PartnerClientId(m_partnerId) + ';' + command);
    return true;
}

void LessonChannel::SetSyncFlag(bool on) {
    m_sync = on;
    m_host.syncChanged(on);
}

void LessonChannel::HandleIncoming(const QByteArray &line) {
    if (line.isEmpty())
        return;
    QByteArray rest = line;
    const QByteArray command = RelayProtocol::TakeField(rest);
    if (command == "@listactiveusers") {
        UpdatePartner(rest);
    } else if (command == "@clientsaid") {
        handleClientSaid(rest);
    } else if (command == "@error") {
        // The relay closes the connection after an error: that close is meant, not a drop.
        qCInfo(lcLesson) << "relay error:" << line;
        m_relayError = true;
        // The central session ended while on line: signed out once, like any lost session.
        if (rest == "nosession")
            QMetaObject::invokeMethod(this, [] { NotifySessionLost(); }, Qt::QueuedConnection);
    }
}

void LessonChannel::handleClientSaid(QByteArray rest) {
    const QByteArray sender = RelayProtocol::TakeField(rest);
    if (m_partnerId.isEmpty() || sender != m_ids.PartnerClientId(m_partnerId))
        return;
    const QByteArray inner = RelayProtocol::TakeField(rest);
    if (inner == "@chatmsg")
        m_host.chatReceived(partnerWriter(), ChatCodec::Decode(rest));
    else if (inner == "@syncpage")
        handleSyncPage(rest);
    else if (inner == "@syncaudio")
        handleSyncAudio(rest);
    else if (inner.startsWith('@'))
        emit partnerLine(inner, rest);
}

void LessonChannel::handleSyncPage(QByteArray rest) {
    const bool on = numberOr(RelayProtocol::TakeField(rest), 0) != 0;
    if (on != m_sync)
        SetSyncFlag(on);
    if (!m_sync)
        return;
    const int book = numberOr(RelayProtocol::TakeField(rest), -1);
    const std::optional<int> page =
        ParseInteger(QString::fromLatin1(RelayProtocol::TakeField(rest)));
    // The page is shown after this line's handling and the interface events before it.
    if (m_host.followBook(book, page))
        QMetaObject::invokeMethod(
            this, [this] { m_host.showFollowedPage(); }, Qt::QueuedConnection);
}

void LessonChannel::handleSyncAudio(QByteArray rest) {
    const int book = numberOr(RelayProtocol::TakeField(rest), 0);
    const int audio = numberOr(RelayProtocol::TakeField(rest), 0);
    const int action = numberOr(RelayProtocol::TakeField(rest), 0);
    int current = 0, page = 0;
    if (m_host.currentPage(current, page) && current == book)
        m_host.followAudio(audio, action);
}

void LessonChannel::UpdatePartner(const QByteArray &list) {
    const QString old = m_partnerId;
    m_partnerId.clear();
    const QByteArray listed = ';' + list + ';';
    if (isStudent()) {
        if (listed.contains(';' + m_ids.ClientId(m_teacherId) + ';'))
            m_partnerId = m_teacherId;
    } else if (!old.isEmpty()) {
        if (listed.contains(';' + m_ids.PartnerClientId(old) + ';')) {
            m_partnerId = old;
            return;
        }
    } else {
        QByteArray rest = list;
        while (!rest.isEmpty() && m_partnerId.isEmpty())
            m_partnerId = m_ids.StudentOf(RelayProtocol::TakeField(rest));
    }
    const bool changed = old != m_partnerId;
    const bool present = !m_partnerId.isEmpty();
    if (!old.isEmpty() && changed && isStudent())
        m_host.saveChatHistory();
    if (!present)
        m_partnerName.clear();
    // The teacher's chat stays on screen while the student is away (a drop, a relay restart)
    // and is replaced only when another student comes: the same student coming back finds
    // the conversation as it was, his own lines and colours included.
    if (present && changed && !isStudent() && m_partnerId != m_chatPartner) {
        if (!m_chatPartner.isEmpty())
            m_host.forgetChatHistory();
        m_host.loadChatHistory(m_partnerId.toInt());
        m_chatPartner = m_partnerId;
    }
    m_host.partnerChanged(present);
    if (changed)
        emit partnerPresenceChanged(present);
    if (!present) {
        // A student lost while following is followed again when it comes back.
        if (!isStudent() && !old.isEmpty() && m_sync)
            m_resumePartner = old;
        SetSyncFlag(false);
    }
    setStatus(partnerStatusText());
    if (isStudent() && !present && m_state == State::Online)
        DisconnectLesson();
    if (!isStudent() && present && changed && m_partnerId == m_resumePartner)
        QMetaObject::invokeMethod(this, &LessonChannel::resumeFollowing, Qt::QueuedConnection);
}

QString LessonChannel::partnerStatusText() {
    if (m_partnerId.isEmpty())
        return {};
    if (isStudent())
        return FormatText(AppText(272), {m_teacherName});
    if (m_partnerName.isEmpty()) {
        m_partnerName = m_host.userName(m_partnerId);
        if (m_partnerName.isEmpty())
            m_partnerName = QStringLiteral("ID #") + m_partnerId;
    }
    return FormatText(AppText(271), {m_partnerName});
}

// The page and following go to a student who came back after being lost while following.
void LessonChannel::resumeFollowing() {
    if (m_resumePartner.isEmpty() || m_partnerId != m_resumePartner || !isConnected())
        return;
    int book = 0, page = 0;
    if (!m_host.currentPage(book, page))
        return;
    if (SendSync(true, book, page))
        m_resumePartner.clear();
}
