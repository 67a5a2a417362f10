#include "relayconnection.h"

#include "server/ops/servermetrics.h"

#include <QSslSocket>
#include <QTcpSocket>

namespace {

constexpr qint64 ReadChunk = 16 * 1024;
constexpr int CloseGraceTime = 5000;

} // namespace

RelayConnection::RelayConnection(QTcpSocket *socket, int signOnTimeout, qint64 maxPendingOutput,
                                 QObject *parent)
    : QObject(parent), m_socket(socket), m_tlsSocket(qobject_cast<QSslSocket *>(socket)),
      m_maxPendingOutput(maxPendingOutput) {
    m_peer = m_socket->peerAddress();
    ServerMetrics::instance().relayConnectionOpened();
    m_socket->setParent(this);
    // Bounds what the socket itself holds when the hub falls behind in reading.
    m_socket->setReadBufferSize(4 * ReadChunk);
    m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    connect(m_socket, &QTcpSocket::readyRead, this, &RelayConnection::readAvailable);
    connect(m_socket, &QTcpSocket::disconnected, this, &RelayConnection::finish);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() == QAbstractSocket::UnconnectedState)
            finish();
    });
    // One timer serves first as the sign-on deadline, later as the grace time of a close.
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_closing)
            abort();
        else
            refuse("signontimeout");
    });
    m_deadline.start(signOnTimeout);
}

RelayConnection::~RelayConnection() {
    ServerMetrics::instance().relayConnectionClosed();
    m_socket->disconnect(this);
    m_socket->abort();
}

void RelayConnection::markSignedOn(const QByteArray &clientId) {
    m_clientId = clientId;
    m_deadline.stop();
}

void RelayConnection::sendLine(QByteArrayView line) {
    if (m_closing)
        return;
    m_socket->write(line.data(), line.size());
    m_socket->write("\r\n", 2);
    if (pendingOutput() > m_maxPendingOutput)
        abort();
}

// A TLS socket holds what it has not encrypted yet and, apart, what it has encrypted but
// not yet sent.
qint64 RelayConnection::pendingOutput() const {
    qint64 pending = m_socket->bytesToWrite();
    if (m_tlsSocket)
        pending += m_tlsSocket->encryptedBytesToWrite();
    return pending;
}

void RelayConnection::refuse(QByteArrayView reason) {
    if (m_closing)
        return;
    m_socket->write("@error;");
    m_socket->write(reason.data(), reason.size());
    m_socket->write("\r\n", 2);
    startClosing();
    m_deadline.start(CloseGraceTime);
    m_socket->disconnectFromHost();
}

void RelayConnection::abort() {
    startClosing();
    // Aborting emits disconnected at once; callers may be walking a list of connections, so
    // the socket goes from the event loop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_socket->abort();
            finish();
        },
        Qt::QueuedConnection);
}

void RelayConnection::readAvailable() {
    if (m_closing) {
        m_socket->skip(m_socket->bytesAvailable());
        return;
    }
    while (!m_closing && m_socket->bytesAvailable() > 0) {
        m_lines.append(m_socket->read(ReadChunk));
        processLines();
    }
}

void RelayConnection::processLines() {
    QByteArray line;
    while (!m_closing) {
        switch (m_lines.next(line)) {
        case RelayLineBuffer::Result::Line:
            ServerMetrics::instance().countRelayLine();
            emit lineReceived(line);
            break;
        case RelayLineBuffer::Result::TooLong:
            refuse("linetoolong");
            return;
        case RelayLineBuffer::Result::NeedMore:
            return;
        }
    }
}

void RelayConnection::startClosing() {
    m_closing = true;
    m_deadline.stop();
}

void RelayConnection::finish() {
    if (m_finished)
        return;
    m_finished = true;
    m_closing = true;
    m_deadline.stop();
    emit closed();
}
