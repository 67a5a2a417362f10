#include "relaylink.h"

#include "base/logging.h"

#include <QEventLoop>
#include <QNetworkProxy>
#include <QSslSocket>

namespace {

RelayLink::Failure classify(QAbstractSocket::SocketError error, bool sslErrors) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return RelayLink::Failure::Refused;
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::NetworkError:
        return RelayLink::Failure::Unreachable;
    case QAbstractSocket::SocketTimeoutError:
        return RelayLink::Failure::TimedOut;
    case QAbstractSocket::RemoteHostClosedError:
        return RelayLink::Failure::Lost;
    case QAbstractSocket::SslHandshakeFailedError:
        return sslErrors ? RelayLink::Failure::Certificate : RelayLink::Failure::Other;
    default:
        return RelayLink::Failure::Other;
    }
}

} // namespace

RelayLink::RelayLink(QObject *parent) : QObject(parent) {
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, [this] {
        fail(Failure::TimedOut, QStringLiteral("no connection within %1 ms").arg(m_openTimeout));
    });
}

RelayLink::~RelayLink() {
    dropSocket();
}

void RelayLink::open(const RelayEndpoint &endpoint, const QSslConfiguration &tls) {
    close();
    m_endpoint = endpoint;
    m_failure = Failure::None;
    m_detail.clear();
    m_sslErrors = false;
    auto *socket = new QSslSocket(this);
    m_socket = socket;
    // The relay is reached directly, never through the proxy of the web requests.
    socket->setProxy(QNetworkProxy::NoProxy);
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QSslSocket::readyRead, this, &RelayLink::readAvailable);
    connect(socket, &QAbstractSocket::errorOccurred, this, &RelayLink::socketError);
    connect(socket, &QAbstractSocket::disconnected, this, &RelayLink::socketGone);
    connect(socket, &QSslSocket::sslErrors, this, [this] { m_sslErrors = true; });
    m_openTimer.start(m_openTimeout);
    if (endpoint.tls) {
        socket->setSslConfiguration(tls);
        connect(socket, &QSslSocket::encrypted, this, &RelayLink::socketReady);
        socket->connectToHostEncrypted(endpoint.host, quint16(endpoint.port));
    } else {
        connect(socket, &QAbstractSocket::connected, this, &RelayLink::socketReady);
        socket->connectToHost(endpoint.host, quint16(endpoint.port));
    }
}

void RelayLink::close() {
    m_openTimer.stop();
    dropSocket();
    m_open = false;
    m_lines.clear();
    m_buffer = RelayLineBuffer();
    if (m_waitLoop)
        m_waitLoop->quit();
}

void RelayLink::dropSocket() {
    if (!m_socket)
        return;
    QSslSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

void RelayLink::sendLine(const QByteArray &line) {
    if (m_open && m_socket)
        m_socket->write(line + "\r\n");
}

RelayLink::Wait RelayLink::waitForLine(int milliseconds) {
    if (hasLine())
        return Wait::Line;
    if (!m_open)
        return Wait::Closed;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(this, &RelayLink::linesArrived, &loop, &QEventLoop::quit);
    connect(this, &RelayLink::failed, &loop, &QEventLoop::quit);
    timer.start(milliseconds);
    // Closing the link while waiting ends the wait at once.
    QEventLoop *outer = m_waitLoop;
    m_waitLoop = &loop;
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    m_waitLoop = outer;
    if (!m_open && outer)
        outer->quit();
    if (hasLine())
        return Wait::Line;
    return m_open ? Wait::TimedOut : Wait::Closed;
}

void RelayLink::socketReady() {
    m_openTimer.stop();
    m_open = true;
    qCDebug(lcLesson) << "relay link open to" << m_endpoint.text() << (m_endpoint.tls ? "TLS" : "");
    emit opened();
    // Bytes that came with the handshake are read now that the owner listens.
    readAvailable();
}

void RelayLink::socketError() {
    if (!m_socket)
        return;
    fail(classify(m_socket->error(), m_sslErrors), m_socket->errorString());
}

void RelayLink::socketGone() {
    fail(Failure::Lost, QStringLiteral("the relay closed the connection"));
}

void RelayLink::readAvailable() {
    if (m_open && takeBytes())
        emit linesArrived();
}

// Moves what the socket holds into the line queue; true when a line was added.
bool RelayLink::takeBytes() {
    if (!m_socket)
        return false;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return false;
    m_buffer.append(bytes);
    const qsizetype before = m_lines.size();
    QByteArray line;
    while (true) {
        const auto result = m_buffer.next(line);
        if (result == RelayLineBuffer::Result::NeedMore)
            break;
        if (result == RelayLineBuffer::Result::Line)
            m_lines.enqueue(line);
        else
            qCWarning(lcLesson) << "relay line longer than" << RelayProtocol::MaxLineLength
                                << "bytes skipped";
    }
    return m_lines.size() > before;
}

// Reports the first failure of an opening or open link once. The socket is dropped; what the
// relay wrote before it went is still read, and those lines stay to be taken.
void RelayLink::fail(Failure failure, const QString &detail) {
    if (!m_socket)
        return;
    const bool lines = m_open && takeBytes();
    m_openTimer.stop();
    m_failure = failure;
    m_detail = detail;
    qCInfo(lcLesson) << "relay link to" << m_endpoint.text() << "down:" << detail;
    dropSocket();
    m_open = false;
    if (lines)
        emit linesArrived();
    emit failed();
}
