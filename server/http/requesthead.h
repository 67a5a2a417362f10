#pragma once

#include "server/http/guardedlisteners.h"

#include <QByteArray>
#include <QObject>

class QTcpSocket;

// Follows the requests on one connection byte by byte, heads and bodies, and judges each head
// as soon as it is whole, before the HTTP layer has seen its end and so before any byte of its
// body is read: a body larger than allowed (413), a chunked body (411), a large body without a
// live session in the address (203, as for an unknown session) and an over-long head (431)
// are refused and the connection closed. The HTTP layer reads a request's head as it comes,
// so the judgement cannot wait for a whole head in the socket's buffer; this guard keeps the
// head itself. It sees each byte once: before the HTTP layer reads (look) it takes what came
// since the layer last read (what the layer left is noted in settle).
class RequestHead : public QObject {
    Q_OBJECT
public:
    RequestHead(QTcpSocket *socket, const RequestLimits &limits);

    // Connected to readyRead before the HTTP layer's own reading.
    void look();
    // Connected to readyRead after the HTTP layer's own reading.
    void settle();

private:
    void take(const QByteArray &fresh);
    bool judge(const QByteArray &head);
    void refuse(const QByteArray &status, const QByteArray &reason);

    QTcpSocket *m_socket;
    RequestLimits m_limits;
    QByteArray m_head;     // the head of the request being received, as far as it came
    qint64 m_bodyLeft = 0; // body bytes of the current request still to come
    qint64 m_unread = 0;   // bytes the HTTP layer left in the buffer at its last read
    bool m_refused = false;
};
