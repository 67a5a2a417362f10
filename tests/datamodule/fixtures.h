#pragma once

#include "data/clienttable.h"
#include "loopbackhttpserver.h"
#include "qtprinters.h"

#include <QCoreApplication>
#include <QMap>
#include <memory>

// A packet made from fields and rows, as the server would send it.
QByteArray MakePacket(const QList<TFieldDef> &fields, const QList<QList<TValue>> &rows);
TValue I(qint64 v);
TValue S(const QString &v);
TValue D(const QDateTime &v);

// A loopback server that plays the central server's table operations: fetches answer the
// packet stored for the provider ("okzip"), applies answer "ok" + the number of rows of the
// change set unless told otherwise, and every request is recorded.
class FakeCentralServer {
public:
    FakeCentralServer();
    QString url() const; // ".../client.php?PHPSESSID=abc"

    QMap<QString, QByteArray> packets;                              // by provider name
    std::function<QByteArray(const QByteArray &delta)> applyAnswer; // body for an apply
    QList<QByteArray> deltas;                                       // inflated change sets received
    LoopbackHttpServer server;

    int requestCount() const { return int(server.received.size()); }
};

// The QCoreApplication that the network classes need, created once per test program.
void EnsureApplication();
