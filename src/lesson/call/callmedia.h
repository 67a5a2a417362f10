#pragma once

#include "callmessage.h"
#include "iceservers.h"

#include <QObject>
#include <QString>

// What the media engine measured of a running call, from its own statistics.
struct CallStats {
    qint64 audioBytesReceived = 0;
    qint64 audioBytesSent = 0;
    double audioLevel = 0;      // the partner's voice as received, 0..1
    double microphoneLevel = 0; // the own microphone, 0..1
    qint64 videoFramesReceived = 0;
    double roundTripMs = -1;    // -1 while unknown
    double jitterBufferMs = -1; // -1 while unknown
    QString route;              // the local candidate's type: host, srflx, prflx or relay
};

// A media engine for a call: captures microphone (and camera), exchanges session descriptions
// and candidates through the messages it hands out and takes in, and plays the partner. The
// call's state machine drives it; the engine reports what happens.
class CallMedia : public QObject {
    Q_OBJECT
public:
    // How a call starts: the servers, whether only relayed routes may be used, the devices
    // (labels; empty: the system's), and whether this side makes the offer.
    struct Start {
        IceServers servers;
        bool relayOnly = false;
        bool offerer = false;
        bool camera = false;
        bool muted = false;
        int statsIntervalMs = 500; // how often the statistics are reported
        QString microphone, speaker, cameraDevice;
    };

    using QObject::QObject;

    virtual void start(const Start &how) = 0;
    virtual void takeMessage(const CallMessage &message) = 0;
    virtual void setMuted(bool muted) = 0;
    virtual void setCamera(bool on) = 0;
    // Ends the call's media at once: capture released, connection closed.
    virtual void stop() = 0;

signals:
    void messageReady(const CallMessage &message);
    // Audio flows both ways (the connection is up).
    void connected();
    // The call cannot go on: no devices, the partner's description refused, the connection
    // lost. The reason is technical, for the log.
    void failed(bool devices, const QString &reason);
    void statsChanged(const CallStats &stats);
};
