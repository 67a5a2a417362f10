#pragma once

#include "server/store/passwordhash.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// A host address and port to listen on, written "host:port" (port 0 picks a free port).
struct ListenAddress {
    QHostAddress host;
    quint16 port = 0;
    QString text() const;
};

// Everything the server is told on its command line, with the defaults used by the tests.
struct ServerOptions {
    QString databaseFile;           // empty: "school.sqlite" in the data folder
    QString seed;                   // "", "demo" or "large"
    QList<ListenAddress> listen;    // clear HTTP listeners
    QList<ListenAddress> tlsListen; // HTTPS listeners
    QList<ListenAddress> relay;     // clear relay listener
    QList<ListenAddress> relayTls;  // TLS relay listener
    QList<ListenAddress> metrics;   // the operators' listener (metrics, health); none: off
    bool jsonLog = false;           // the log as JSON lines instead of text lines
    QString backupFile;             // copy the SQLite school to this file and end
    QString restoreFile;            // put this copy back as the school and end

    // The SQLite database file: --db, or "school.sqlite" in the data folder.
    QString sqliteFile() const;
    QString dataFolder = QStringLiteral("tellavo-data");
    QString scriptPath = QStringLiteral("/tellavo/client.php");
    QString certificateFile; // server certificate (PEM); empty: created in the data folder
    QString keyFile;         // its private key (PEM)
    QString relayHost;       // the relay host handed out as p2pserver
    QString minVersion;      // clients below it must update; empty: no demand
    QString updateParams = QStringLiteral("/SILENT");
    QString mailFrom = QStringLiteral("noreply@localhost"); // sender of the outbox messages
    qint64 renewAfterSeconds = 3600; // session age that hands out a renewed id
    qint64 renewIdleSeconds = 1260;  // quiet time the client needs before it reads a renewal
    qint64 sessionTimeoutSeconds = 7200;
    qint64 maxRequestBytes = 32 * 1024 * 1024;
    qint64 maxAnonymousBodyBytes = 64 * 1024; // a body sent without a live session
    int maxFormFields = 256;
    qint64 maxChangeSetBytes = 4 * 1024 * 1024; // a change set once inflated
    int maxChangeSetRows = 5000;
    int maxChangeSetFields = 200;      // fields a change set may declare
    qint64 maxChangeSetCells = 500000; // declared fields times rows
    int passwordIterations = 600000;   // the older hash form: dummy hashes, cheap seeds
    HashCost hashCost;                 // Argon2id of new and upgraded password hashes
    int requestDeadlineSeconds = 60; // a connection must send a whole request within it
    int maxConnectionsPerAddress = 128;
    int signInThreads = 0; // threads of the sign-in lane; 0: sign-ins in the request threads
    int signInFailuresPerName = 5;     // failures before a name waits
    int signInFailuresPerAddress = 30; // failures before an address waits
    int relayMaxPerGroup = 60;         // relay sign-ons of one lesson group
    int relayMaxPerAddress = 200;      // relay sign-ons from one address
    // Relay sign-ons without a token are proved by a live session from the same address (the
    // clients before relay tokens); otherwise only a token proves a sign-on.
    bool relaySignOnByAddress = false;
    int relaySessionCheckMs = 30000; // how often the relay looks for ended sign-ins
    int threads = 0;            // request threads; 0: one per core for SQLite, two for PostgreSQL
    int freeSlotPieceRows = 32; // rows per deflated piece of the shared free slots; 0: none kept
    bool bookingFeatures = true; // reminders, deadline, repeats, feeds, waits; off: an older server
    // Lesson calls: STUN and TURN addresses handed out, the secret shared with the TURN server
    // (read from --turn-secret-file) and how long a TURN credential lasts.
    QStringList stunAddresses;
    QStringList turnAddresses;
    QByteArray turnSecret;
    qint64 turnTtlSeconds = 3600;

    // The server-relative address of the update program, beside the script.
    QString updateLink() const;
};

// Reads the command line (arguments without the program name); raises AppError with a
// message for an unknown option or a malformed value.
ServerOptions ParseServerOptions(const QStringList &arguments);
ListenAddress ParseListenAddress(const QString &text);
// The relay host handed to clients when none is given: the relay's address, or the
// loopback address when it listens on every address (or there is no relay).
QString DefaultRelayHost(const ServerOptions &options);
// The usage text printed for --help and after an error.
QString ServerUsage();
