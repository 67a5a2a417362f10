#include "lesson/audio/audiodevices.h"

#include <QMediaDevices>

namespace {

QString deviceName(const QAudioDevice &device) {
    return device.description().isEmpty() ? QString::fromUtf8(device.id()) : device.description();
}

} // namespace

void UseGStreamerBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

QStringList AudioOutputDevices() {
    UseGStreamerBackend();
    static const QStringList devices = [] {
        QStringList names;
        for (const QAudioDevice &device : QMediaDevices::audioOutputs())
            names.append(deviceName(device));
        return names;
    }();
    return devices;
}

QAudioDevice AudioOutputDevice(int deviceIndex) {
    const QStringList listed = AudioOutputDevices();
    if (deviceIndex < 0 || deviceIndex >= listed.size())
        return QMediaDevices::defaultAudioOutput();
    for (const QAudioDevice &device : QMediaDevices::audioOutputs()) {
        if (deviceName(device) == listed[deviceIndex])
            return device;
    }
    return {};
}
