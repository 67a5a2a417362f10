#pragma once

#include <QMediaPlayer>
#include <QObject>
#include <QString>
#include <functional>

class QAudioOutput;

// Plays one recording on an audio output through QtMultimedia: built on a file, started,
// paused and stopped, and reports the end of the stream. Video streams of the file are decoded
// and discarded (no video output is attached), so a file with video plays only its sound.
class TcbAudioPlay : public QObject {
    Q_OBJECT
public:
    // The values of State.
    enum PlayState { psStopped = 0, psPaused = 1, psPlaying = 2 };

    // Builds the player on the file for the output of that index in AudioOutputDevices()
    // (-1: the system's default output); the state is stopped. Raises EcbAudioPlayError:
    // 1000 for a file without sound, 1001 for an output that cannot be used, and the
    // "DirectShow call failed" form for other failures of the backend.
    TcbAudioPlay(QObject *owner, int deviceIndex, const QString &fileName);
    ~TcbAudioPlay() override;

    // Starts or resumes, pauses, stops (back to the beginning); each returns when the player
    // has reached that state and raises EcbAudioPlayError when it has not within the bound.
    void Play();
    void Pause();
    void Stop();
    // psStopped, psPaused or psPlaying; a recording that reached its end is stopped.
    int State() const;

    QString fileName() const { return m_fileName; }
    // In milliseconds; 0 while the backend reports no duration.
    qint64 duration() const;
    qint64 position() const;
    bool canSeek() const;
    // Moves to an absolute position in milliseconds.
    void setPosition(qint64 milliseconds);
    // With the loop flag a recording that ends starts again from its beginning.
    void setLoop(bool loop) { m_loop = loop; }
    bool loop() const { return m_loop; }
    // Called after the end of the stream.
    void setOnComplete(std::function<void()> onComplete) { m_onComplete = std::move(onComplete); }

    // The bound on each wait for the backend (loading the file, reaching a state), 5 s
    // unless set; a bound of 0 or less restores the default.
    static void setWaitBound(int milliseconds);
    static int waitBound();

private:
    void waitFor(const std::function<bool()> &reached);
    [[noreturn]] void raiseBackendError() const;
    void statusChanged(QMediaPlayer::MediaStatus status);

    QString m_fileName;
    QMediaPlayer *m_player = nullptr;
    QAudioOutput *m_output = nullptr;
    bool m_loop = false;
    std::function<void()> m_onComplete;
};
