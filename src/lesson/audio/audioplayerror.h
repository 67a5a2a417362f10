#pragma once

#include "errors/apperror.h"

#include <QString>

// An error of the audio player: the message the user sees and an integer code.
class EcbAudioPlayError : public AppError {
public:
    // Codes of the player's own errors.
    static constexpr int NoAudioStream = 1000; // "Specified file doesn't have any audio stream."
    static constexpr int DeviceNotConnected = 1001; // "Selected audio device not connected"

    EcbAudioPlayError(int code, const QString &message) : AppError(message), m_code(code) {}
    int code() const { return m_code; }

    // "DirectShow call failed: " with the code in upper-case hexadecimal, a carriage return and
    // the code's description: the fixed one for the known codes, otherwise the backend's own
    // text, or "Unrecognized error value." when it has none.
    static EcbAudioPlayError CallFailed(quint32 code, const QString &backendText = {});
    // The fixed description of a result code; empty for codes without one.
    static QString Description(quint32 code);

private:
    int m_code;
};
