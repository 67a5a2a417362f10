#include "app/instanceguard.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

InstanceGuard::InstanceGuard(const QString &programPath, QObject *parent)
    : QObject(parent), m_name(GuardName(programPath)) {}

InstanceGuard::~InstanceGuard() = default;

QString InstanceGuard::GuardName(const QString &programPath) {
    const QString upper = QDir::fromNativeSeparators(programPath).toUpper();
    // A "/" in a local socket name would make it a file path; the hash keeps names of
    // different installations apart while staying short enough for any platform.
    const QByteArray hash =
        QCryptographicHash::hash(upper.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("tellavo-") + QString::fromLatin1(hash);
}

bool InstanceGuard::acquire() {
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(1000))
        return false;
    QLocalServer::removeServer(m_name); // a socket left behind by a crashed instance
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &InstanceGuard::onConnection);
    return true;
}

bool InstanceGuard::send(Code code, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(QByteArray::number(int(code)) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    // The running instance answers once it has taken the code.
    return socket.waitForReadyRead(timeoutMs) && socket.readAll().startsWith("ok");
}

void InstanceGuard::onConnection() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64)
                    socket->abort();
                return;
            }
            const int code = socket->readLine(64).trimmed().toInt();
            socket->write("ok\n");
            socket->flush();
            emit received(code);
        });
    }
}
