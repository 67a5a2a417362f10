#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// One HTTP exchange as a test sees it.
struct HttpReply {
    int status = 0; // 0 when the exchange failed
    QByteArray body;
};

// A blocking HTTP/1.1 client on loopback for black-box tests: one connection per request,
// clear or TLS (certificate not checked, as the client does), bounded waits.
HttpReply SendHttp(quint16 port, bool tls, const QByteArray &method, const QByteArray &target,
                   const QList<QPair<QByteArray, QByteArray>> &headers, const QByteArray &body);
// Sends raw bytes and returns whatever came back until the server closed or went quiet.
QByteArray SendRaw(quint16 port, const QByteArray &bytes, int quietMs = 1500);
