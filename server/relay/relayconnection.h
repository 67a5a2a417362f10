#pragma once

#include "wire/relay/relaylinebuffer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

class QSslSocket;
class QTcpSocket;

// One client connection of the relay: reads its lines, writes lines ending in CR LF, bounds
// what it buffers in both directions, and holds the client id it signed on with. A connection
// that is closing reads nothing more; closed() is emitted once, when the socket has gone.
class RelayConnection : public QObject {
    Q_OBJECT
public:
    // Bytes waiting to be sent beyond which the peer counts as not reading and is dropped.
    static constexpr qint64 DefaultMaxPendingOutput = 1024 * 1024;

    // Takes over the connected socket (clear or TLS).
    RelayConnection(QTcpSocket *socket, int signOnTimeout, qint64 maxPendingOutput,
                    QObject *parent = nullptr);
    ~RelayConnection() override;

    const QByteArray &clientId() const { return m_clientId; }
    bool isSignedOn() const { return !m_clientId.isEmpty(); }
    void markSignedOn(const QByteArray &clientId);
    // The sign-in (session family) that proved the sign-on; 0 when none is known.
    qint64 sessionFamily() const { return m_family; }
    void setSessionFamily(qint64 family) { m_family = family; }
    bool isClosing() const { return m_closing; }
    // The client's address, taken when the connection came in.
    const QHostAddress &peerAddress() const { return m_peer; }

    void sendLine(QByteArrayView line);
    // Whether a line of that many bytes fits in what may wait to be sent.
    bool hasRoomFor(qint64 bytes) const { return pendingOutput() + bytes <= m_maxPendingOutput; }
    // Sends "@error;" reason, then closes once that line is out (or after a grace time).
    void refuse(QByteArrayView reason);
    // Drops the connection without sending anything more.
    void abort();

signals:
    void lineReceived(const QByteArray &line);
    void closed();

private:
    void readAvailable();
    void processLines();
    void startClosing();
    void finish();
    qint64 pendingOutput() const;

    QTcpSocket *m_socket;
    QSslSocket *m_tlsSocket;
    RelayLineBuffer m_lines;
    QByteArray m_clientId;
    QHostAddress m_peer;
    QTimer m_deadline;
    qint64 m_maxPendingOutput;
    qint64 m_family = 0;
    bool m_closing = false;
    bool m_finished = false;
};
