#include "testhttp.h"

#include <QElapsedTimer>
#include <QSslSocket>
#include <memory>

namespace {

constexpr int kWaitMs = 15000;

// Parses the head; returns the body start or -1 while the head is incomplete.
qsizetype ParseHead(const QByteArray &data, int &status, qint64 &length) {
    const qsizetype end = data.indexOf("\r\n\r\n");
    if (end < 0)
        return -1;
    const QList<QByteArray> lines = data.left(end).split('\n');
    status = lines.value(0).split(' ').value(1).toInt();
    length = -1;
    for (const QByteArray &line : lines) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0 && line.left(colon).trimmed().toLower() == "content-length")
            length = line.mid(colon + 1).trimmed().toLongLong();
    }
    return end + 4;
}

} // namespace

HttpReply SendHttp(quint16 port, bool tls, const QByteArray &method, const QByteArray &target,
                   const QList<QPair<QByteArray, QByteArray>> &headers, const QByteArray &body) {
    std::unique_ptr<QSslSocket> socket(new QSslSocket);
    if (tls) {
        socket->setPeerVerifyMode(QSslSocket::VerifyNone);
        socket->connectToHostEncrypted(QStringLiteral("127.0.0.1"), port);
        if (!socket->waitForEncrypted(kWaitMs))
            return {};
    } else {
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!socket->waitForConnected(kWaitMs))
            return {};
    }
    QByteArray request = method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n";
    for (const auto &h : headers)
        request += h.first + ": " + h.second + "\r\n";
    if (method == "POST")
        request += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    request += "Connection: close\r\n\r\n" + body;
    socket->write(request);
    QByteArray data;
    QElapsedTimer timer;
    timer.start();
    int status = 0;
    qint64 length = -1;
    while (timer.elapsed() < kWaitMs) {
        const qsizetype start = ParseHead(data, status, length);
        if (start >= 0 && length >= 0 && data.size() - start >= length)
            return {status, data.mid(start, length)};
        if (socket->state() == QAbstractSocket::UnconnectedState && !socket->bytesAvailable())
            return start >= 0 ? HttpReply{status, data.mid(start)} : HttpReply{};
        socket->waitForReadyRead(200);
        data += socket->readAll();
    }
    return {};
}

QByteArray SendRaw(quint16 port, const QByteArray &bytes, int quietMs) {
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(kWaitMs))
        return {};
    socket.write(bytes);
    QByteArray data;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(quietMs))
        data += socket.readAll();
    return data + socket.readAll();
}
