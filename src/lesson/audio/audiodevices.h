#pragma once

#include <QAudioDevice>
#include <QStringList>

// Chooses QtMultimedia's GStreamer backend unless QT_MEDIA_BACKEND names one; it must run
// before the first use of QtMultimedia (the player and the device list call it).
void UseGStreamerBackend();

// The system's audio outputs, listed once for the whole program (QMediaDevices::audioOutputs):
// each output's description, or its id when it has none.
QStringList AudioOutputDevices();

// The output for a device index of that list: the output now present under the listed name
// (exact comparison), or a null device when it is gone. An index outside the list (-1 among
// them) gives the system's default output, null when there is none.
QAudioDevice AudioOutputDevice(int deviceIndex);
