#include "audiotestsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

QString UsePrivateSoundServer() {
    const QString folder = qEnvironmentVariable("TELLAVO_TEST_PULSE_DIR");
    if (folder.isEmpty())
        return QStringLiteral("TELLAVO_TEST_PULSE_DIR is not set (run the tests through ctest)");
    QFile skipped(folder + QStringLiteral("/skipped"));
    if (skipped.open(QIODevice::ReadOnly))
        return QString::fromUtf8(skipped.readAll()).trimmed();
    QFile server(folder + QStringLiteral("/server"));
    if (!server.open(QIODevice::ReadOnly))
        return QStringLiteral("the private sound server is not running");
    qputenv("PULSE_SERVER", server.readAll().trimmed());
    return {};
}

QString DemoRecording(const char *name) {
    return QStringLiteral(TELLAVO_ASSETS "/recordings/") + QLatin1String(name) +
           QStringLiteral(".mp3");
}

QByteArray TinyJpeg() {
    return QByteArray::fromBase64(
        "/9j/4AAQSkZJRgABAQEASABIAAD/2wBDAP//////////////////////////////////////////////////"
        "////////////////////////////////////wgALCAABAAEBAREA/8QAFBABAAAAAAAAAAAAAAAAAAAAAP/aAA"
        "gBAQABPxA=");
}

bool WaitUntil(const std::function<bool()> &condition, int milliseconds) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

void Spin(int milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}
