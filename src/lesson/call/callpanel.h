#pragma once

#include <QWidget>
#include <functional>

class LessonCall;
class LessonChannel;
class QFrame;
class QLabel;
class QProgressBar;
class QTimer;
class QVBoxLayout;
class QToolButton;
class QWebEngineView;
class TCallPage;
struct AppSettings;

// The lesson call beside the page: the partner's picture with one's own preview (only while a
// camera is on), the incoming-call prompt, the buttons to call, hang up, mute the microphone
// and switch the camera, a meter of one's own microphone, the call devices, the sentence about
// how the last call ended and the call's state in a status panel of its own.
class TCallPanel : public QWidget {
    Q_OBJECT
public:
    TCallPanel(LessonChannel &channel, AppSettings *settings, QWidget *parent = nullptr);
    ~TCallPanel() override;

    LessonCall &call() { return *m_call; }
    TCallPage &media() { return *m_media; }
    // The lesson ends (sign-out): a call is hung up.
    void EndLesson();
    // Tells whether a book recording plays on this side (asked during a call).
    void setRecordingPlaying(std::function<bool()> playing) {
        m_recordingPlaying = std::move(playing);
    }

    QWebEngineView *video; // made with the call page, once there is a partner
    QFrame *prompt;
    QLabel *promptText;
    QToolButton *btnAccept, *btnDecline, *btnCall, *btnHangUp, *btnMicrophone, *btnCamera,
        *btnDevices;
    QProgressBar *meter;
    QLabel *notice;
    QLabel *status;

private:
    QWidget *buildButtons();
    void makeVideo(QVBoxLayout *layout);
    void setCaptions();
    void refresh();
    void showStats();
    void chooseDevices();
    void fetchServers(std::function<void(const struct IceServers &)> done);

    TCallPage *m_media;
    LessonCall *m_call;
    AppSettings *m_settings;
    std::function<bool()> m_recordingPlaying;
    QTimer *m_recordingWatch;
};
