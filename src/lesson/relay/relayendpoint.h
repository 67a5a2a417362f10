#pragma once

#include <QString>

// Where the lesson relay is reached and whether through TLS.
struct RelayEndpoint {
    QString host;
    int port = 0;
    bool tls = false;

    // "host:port" as the status bar shows it.
    QString text() const;

    // The relay of a relay host (the session's p2pserver) under the connection settings: TLS
    // with the HTTPS option on port type 0 (443, or 80 in clear) and always on type 1 (7443);
    // type 2 is clear on 7080. A host given with a port ("host:port", "[v6]:port") keeps that
    // port, with TLS chosen the same way.
    static RelayEndpoint For(const QString &relayServer, bool useSsl, int onlinePortType);
};
