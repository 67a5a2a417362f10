#pragma once

#include <QObject>
#include <QString>

// The object the call page reaches through the web channel: the program's commands go out as
// signals, the page's reports come in through the slots and are handed on as signals.
class TCallBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // To the page.
    void startRequested(const QString &json);
    void messageArrived(const QString &json);
    void muteRequested(bool on);
    void cameraRequested(bool on);
    void stopRequested();
    void devicesRequested();
    // From the page, for the program.
    void ready();
    void messageReady(const QString &json);
    void connectedReported();
    void failureReported(bool devices, const QString &reason);
    void statsReported(const QString &json);
    void devicesReported(const QString &json);

public slots:
    void pageReady() { emit ready(); }
    void localMessage(const QString &json) { emit messageReady(json); }
    void connected() { emit connectedReported(); }
    void failed(bool devices, const QString &reason) { emit failureReported(devices, reason); }
    void stats(const QString &json) { emit statsReported(json); }
    void devicesListed(const QString &json) { emit devicesReported(json); }
};
