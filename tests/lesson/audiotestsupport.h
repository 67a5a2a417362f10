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

// The demo school's course books 1 and 2 as a catalogue file in the data folder, with a
// picture for every page, so that the lesson screen shows them without the server.
void WriteDemoLibrary();
// Copies a demo recording to where the library keeps recording index of book.
void StoreDemoRecording(int book, int index, const char *name);

// Processes events until the condition holds or the time has passed; whether it held.
bool WaitUntil(const std::function<bool()> &condition, int milliseconds);
// Processes events for that long.
void Spin(int milliseconds);
