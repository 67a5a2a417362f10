#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The STUN and TURN servers a call may use, as the central server hands them out with
// short-lived TURN credentials ("getcallservers"). The reply is "ok" followed by lines
// name=value: "stun" and "turn" (one address each, repeatable), "username", "credential",
// "ttl" (seconds the credential lasts). Unknown names are skipped.
struct IceServers {
    QStringList stun;
    QStringList turn;
    QString username;
    QString credential;
    int ttl = 0;

    bool hasTurn() const { return !turn.isEmpty() && !username.isEmpty(); }
    // The servers as the engine's configuration expects them (a JSON array).
    QByteArray toJson() const;
    // Reads a reply; a reply that is not "ok" (a server without the action answers with an
    // error) or holds nothing usable gives no servers. Addresses that are not stun:, turn: or
    // turns: addresses of printable characters are dropped.
    static IceServers fromReply(const QByteArray &reply);
};
