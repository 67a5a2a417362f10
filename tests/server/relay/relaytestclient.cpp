#include "relaytestclient.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QSslSocket>
#include <QTimer>

#include <gtest/gtest.h>

void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "test_relay";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app =
        QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
}

void PrintTo(const QByteArray &bytes, std::ostream *out) {
    constexpr qsizetype Shown = 300;
    *out << '"';
    for (qsizetype i = 0; i < bytes.size() && i < Shown; ++i) {
        const auto c = static_cast<unsigned char>(bytes.at(i));
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            *out << static_cast<char>(c);
        } else {
            static const char digits[] = "0123456789ABCDEF";
            *out << "\\x" << digits[c >> 4] << digits[c & 15];
        }
    }
    *out << '"';
    if (bytes.size() > Shown)
        *out << "... (" << bytes.size() << " bytes)";
}

RelayTestClient::RelayTestClient() : m_socket(std::make_unique<QTcpSocket>()) {
    EnsureCoreApplication();
}

RelayTestClient::~RelayTestClient() = default;

bool RelayTestClient::connectTo(quint16 port, const QHostAddress &from) {
    if (!from.isNull())
        m_socket->bind(from);
    m_socket->connectToHost(QHostAddress::LocalHost, port);
    return waitFor([this] { return m_socket->state() == QAbstractSocket::ConnectedState; },
                   WaitTime);
}

bool RelayTestClient::connectTls(quint16 port) {
    auto socket = std::make_unique<QSslSocket>();
    socket->setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
    QSslSocket *tls = socket.get();
    m_socket = std::move(socket);
    return waitFor([tls] { return tls->isEncrypted(); }, WaitTime);
}

void RelayTestClient::sendRaw(const QByteArray &bytes) {
    m_socket->write(bytes);
}

QByteArray RelayTestClient::nextLine(int timeout) {
    QByteArray line;
    if (!waitFor([&] { return takeLine(line); }, timeout)) {
        ADD_FAILURE() << "no line came from the relay";
        return {};
    }
    return line;
}

QByteArray RelayTestClient::signOn(const QByteArray &id) {
    send("c;" + id + ";vorelitambu");
    return nextLine();
}

bool RelayTestClient::waitClosed(int timeout) {
    return waitFor([this] { return m_socket->state() == QAbstractSocket::UnconnectedState; },
                   timeout);
}

bool RelayTestClient::takeLine(QByteArray &line) {
    m_received += m_socket->readAll();
    const qsizetype lf = m_received.indexOf('\n');
    if (lf < 0)
        return false;
    line = m_received.left(lf);
    m_received.remove(0, lf + 1);
    if (!line.endsWith('\r'))
        ADD_FAILURE() << "a line from the relay does not end in CR LF";
    else
        line.chop(1);
    return true;
}

// Runs the event loop until done() holds or the time is up; a test never waits unbounded.
bool RelayTestClient::waitFor(const std::function<bool()> &done, int timeout) {
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer tick;
        tick.setSingleShot(true);
        QObject::connect(&tick, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QIODevice::readyRead, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
        QObject::connect(m_socket.get(), &QIODevice::bytesWritten, &loop, &QEventLoop::quit);
        tick.start(std::min<qint64>(50, std::max<qint64>(1, deadline.remainingTime())));
        loop.exec();
    }
    return true;
}
