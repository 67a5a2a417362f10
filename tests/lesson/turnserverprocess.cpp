#include "turnserverprocess.h"

#include <QDateTime>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

TurnServerProcess::TurnServerProcess()
    : m_program(QStandardPaths::findExecutable(QStringLiteral("turnserver"))) {}

TurnServerProcess::~TurnServerProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool TurnServerProcess::start() {
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
    }
    const QString config = m_dir.filePath(QStringLiteral("turnserver.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        "listening-ip=127.0.0.1\nrelay-ip=127.0.0.1\nlistening-port=" + QByteArray::number(m_port) +
        "\nuse-auth-secret\nstatic-auth-secret=" + QByteArray(Secret) +
        "\nrealm=tellavo.test\nallow-loopback-peers\nno-cli\nno-tls\nno-dtls\n"
        "no-multicast-peers\nfingerprint\nverbose\nno-stdout-log\nsimple-log\n"
        "log-file=" +
        m_dir.filePath(QStringLiteral("turn.log")).toUtf8() +
        "\npidfile=" + m_dir.filePath(QStringLiteral("turnserver.pid")).toUtf8() +
        "\nuserdb=" + m_dir.filePath(QStringLiteral("turndb")).toUtf8() + "\n");
    file.close();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(m_program, {QStringLiteral("-c"), config});
    if (!m_process.waitForStarted(5000))
        return false;
    return QTest::qWaitFor(
               [&] {
                   if (m_process.state() == QProcess::NotRunning)
                       return true;
                   QTcpSocket socket;
                   socket.connectToHost(QHostAddress::LocalHost, m_port);
                   return socket.waitForConnected(200);
               },
               10000) &&
           m_process.state() == QProcess::Running;
}

QString TurnServerProcess::log() {
    m_output += m_process.readAll();
    QFile file(m_dir.filePath(QStringLiteral("turn.log")));
    QByteArray written;
    if (file.open(QIODevice::ReadOnly))
        written = file.readAll();
    return QString::fromUtf8(m_output + written);
}

IceServers TurnServerProcess::servers(int userId, const QByteArray &secret) const {
    IceServers servers;
    const QString address = QStringLiteral("127.0.0.1:%1").arg(m_port);
    servers.stun = QStringList{QStringLiteral("stun:") + address};
    servers.turn =
        QStringList{QStringLiteral("turn:") + address + QStringLiteral("?transport=udp")};
    const qint64 expiry = QDateTime::currentSecsSinceEpoch() + 600;
    servers.username = QStringLiteral("%1:%2").arg(expiry).arg(userId);
    servers.credential =
        QString::fromLatin1(QMessageAuthenticationCode::hash(servers.username.toLatin1(), secret,
                                                             QCryptographicHash::Sha1)
                                .toBase64());
    servers.ttl = 600;
    return servers;
}
