#include "server/http/requesthead.h"

#include "server/ops/servermetrics.h"
#include "server/http/httplog.h"

#include <QTcpSocket>
#include <QTimer>

namespace {

constexpr qsizetype kMaxHead = 65536;
constexpr char kCloseProperty[] = "tellavoCloseAfterReply";

// The value of a header in the head of a request, or empty.
QByteArray HeaderValue(const QByteArray &head, const QByteArray &name) {
    for (const QByteArray &line : head.split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == name)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

// Whether the request asks to end the connection after its reply: "Connection: close", or
// HTTP/1.0 without "keep-alive".
bool WantsClose(const QByteArray &requestLine, const QByteArray &head) {
    const QByteArray connection = HeaderValue(head, "connection").toLower();
    if (connection.contains("close"))
        return true;
    return requestLine.trimmed().endsWith("HTTP/1.0") && !connection.contains("keep-alive");
}

} // namespace

RequestHead::RequestHead(QTcpSocket *socket, const RequestLimits &limits)
    : QObject(socket), m_socket(socket), m_limits(limits) {}

void RequestHead::look() {
    if (m_refused) {
        m_socket->skip(m_socket->bytesAvailable()); // nothing more reaches the HTTP layer
        return;
    }
    const qint64 available = m_socket->bytesAvailable();
    if (available <= m_unread)
        return;
    // Body bytes are only counted; the bytes a head may lie in are looked at.
    const qint64 fresh = available - m_unread;
    const qint64 skipBody = qMin(m_bodyLeft, fresh);
    m_bodyLeft -= skipBody;
    if (skipBody < fresh)
        take(m_socket->peek(available).mid(m_unread + skipBody));
    if (m_refused)
        m_socket->skip(m_socket->bytesAvailable());
}

void RequestHead::settle() {
    m_unread = m_socket->bytesAvailable();
}

// Walks fresh bytes that begin outside a body: heads are gathered and judged, the bodies
// they announce skipped.
void RequestHead::take(const QByteArray &fresh) {
    qsizetype pos = 0;
    while (pos < fresh.size() && !m_refused) {
        if (m_bodyLeft > 0) {
            const qsizetype step = qsizetype(qMin<qint64>(m_bodyLeft, fresh.size() - pos));
            m_bodyLeft -= step;
            pos += step;
            continue;
        }
        if (m_head.isEmpty())
            while (pos < fresh.size() && (fresh[pos] == '\r' || fresh[pos] == '\n'))
                ++pos; // blank lines between requests
        if (pos == fresh.size())
            break;
        const qsizetype before = m_head.size();
        const qsizetype from = qMax<qsizetype>(0, before - 3);
        const QByteArray piece = fresh.mid(pos, kMaxHead + 4);
        m_head += piece;
        const qsizetype end = m_head.indexOf("\r\n\r\n", from);
        if (end < 0) {
            pos += piece.size();
            if (m_head.size() > kMaxHead)
                refuse("431 Request Header Fields Too Large", "head too long");
            continue;
        }
        pos += end + 4 - before; // the head's end, where its body begins
        const QByteArray head = m_head.left(end);
        m_head.clear();
        judge(head);
    }
}

// Decides on a whole head; false when the request is refused.
bool RequestHead::judge(const QByteArray &head) {
    const qsizetype lineEnd = head.indexOf("\r\n");
    const QByteArray requestLine = lineEnd < 0 ? head : head.left(lineEnd);
    if (!requestLine.contains(" HTTP/1."))
        return true; // not a request the HTTP layer takes; it answers for itself
    m_socket->setProperty(kCloseProperty, WantsClose(requestLine, head));
    if (!HeaderValue(head, "transfer-encoding").isEmpty()) {
        refuse("411 Length Required", "chunked body");
        return false;
    }
    bool ok = true;
    const QByteArray length = HeaderValue(head, "content-length");
    const qint64 declared = length.isEmpty() ? 0 : length.toLongLong(&ok);
    if (!ok || declared < 0 || declared > m_limits.maxRequestBytes) {
        refuse("413 Payload Too Large", "body too large");
        return false;
    }
    // Only a signed-in user sends large bodies: nobody else makes the server read them.
    const QList<QByteArray> parts = requestLine.split(' ');
    if (declared > m_limits.maxAnonymousBodyBytes &&
        (parts.size() < 2 || !m_limits.liveSession || !m_limits.liveSession(parts[1]))) {
        refuse("203 Non-Authoritative Information", "large body without a session");
        return false;
    }
    m_bodyLeft = declared;
    return true;
}

void RequestHead::refuse(const QByteArray &status, const QByteArray &reason) {
    ServerMetrics::instance().countEarlyRefusal();
    qCInfo(lcRefusal).noquote() << "refused" << m_socket->peerAddress().toString() << status.left(3)
                                << reason;
    m_refused = true;
    const QByteArray body = "error";
    m_socket->write("HTTP/1.1 " + status +
                    "\r\nContent-Type: text/plain; charset=windows-1250\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
    m_socket->flush();
    m_socket->setReadBufferSize(kMaxHead);
    m_socket->disconnectFromHost();
    QTimer::singleShot(2000, m_socket, [socket = m_socket] { socket->abort(); });
}

bool ClosesAfterReply(const QTcpSocket *socket) {
    return socket->property(kCloseProperty).toBool();
}
