#pragma once

#include "lesson/call/iceservers.h"

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>

// A TURN server (coturn's turnserver) of the test's own: loopback only, on a free port, with
// the TURN REST secret of the reference server's scheme, a private configuration, pid file,
// database and log in a temporary folder, no command interface, no TLS.
class TurnServerProcess {
public:
    static constexpr char Secret[] = "test-turn-secret";

    TurnServerProcess();
    ~TurnServerProcess();

    bool available() const { return !m_program.isEmpty(); }
    // Starts it and waits until it listens.
    bool start();
    quint16 port() const { return m_port; }
    // What it has written so far.
    QString log();
    // Its address with a credential for the user, signed with the secret given.
    IceServers servers(int userId, const QByteArray &secret = Secret) const;

private:
    QString m_program;
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    QByteArray m_output;
};
