#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The private sound server of the audio tests (started by a test fixture, see audio.cmake):
// points this process at it. Gives the reason why the audio tests cannot run, empty when they
// can.
QString UsePrivateSoundServer();

// The demo school's recording of that name (assets/recordings).
QString DemoRecording(const char *name);

// A one-pixel JPEG picture: a file with no sound in it.
QByteArray TinyJpeg();

// Processes events until the condition holds or the time has passed; whether it held.
bool WaitUntil(const std::function<bool()> &condition, int milliseconds);
// Processes events for that long.
void Spin(int milliseconds);
