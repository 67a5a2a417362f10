#include "lesson/audio/tcbaudioplay.h"

#include "base/logging.h"
#include "lang/texts.h"
#include "lesson/audio/audiodevices.h"
#include "lesson/audio/audioplayerror.h"
#include "lesson/audio/boundedwait.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QUrl>

namespace {

constexpr int kDefaultWaitBound = 5000;
int g_waitBound = kDefaultWaitBound;

// Result codes of the nearest DirectShow failures.
constexpr quint32 kClassNotRegistered = 0x80040154; // no multimedia backend
constexpr quint32 kFileNotFound = 0x80070002;       // the file cannot be read
constexpr quint32 kAccessDenied = 0x80070005;
constexpr quint32 kUnsupportedStream = 0x80040265; // no decoder for the file's streams
constexpr quint32 kUnspecified = 0x80004005;
constexpr quint32 kTimeout = 0x800705B4;

// The player's own texts, kept in English as the lesson has always shown them.
const char kNoAudio[] = "Specified file doesn't have any audio stream.";
const char kNotConnected[] = "Selected audio device not connected";

} // namespace

TcbAudioPlay::TcbAudioPlay(QObject *owner, int deviceIndex, const QString &fileName)
    : QObject(owner), m_fileName(fileName) {
    UseGStreamerBackend();
    m_player = new QMediaPlayer(this);
    if (!m_player->isAvailable())
        throw EcbAudioPlayError::CallFailed(kClassNotRegistered);
    const QAudioDevice device = AudioOutputDevice(deviceIndex);
    if (device.isNull())
        throw EcbAudioPlayError(EcbAudioPlayError::DeviceNotConnected,
                                QLatin1String(kNotConnected));
    m_output = new QAudioOutput(device, this);
    m_player->setAudioOutput(m_output);
    connect(m_player, &QMediaPlayer::mediaStatusChanged, this, &TcbAudioPlay::statusChanged);
    m_player->setSource(QUrl::fromLocalFile(fileName));
    waitFor([this] {
        const QMediaPlayer::MediaStatus status = m_player->mediaStatus();
        return status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::InvalidMedia;
    });
    if (!m_player->hasAudio())
        throw EcbAudioPlayError(EcbAudioPlayError::NoAudioStream, QLatin1String(kNoAudio));
}

TcbAudioPlay::~TcbAudioPlay() {
    // Stopping first lets the backend release the output before the objects go.
    disconnect(m_player, nullptr, this, nullptr);
    m_player->stop();
}

void TcbAudioPlay::Play() {
    m_player->play();
    waitFor([this] { return m_player->playbackState() == QMediaPlayer::PlayingState; });
}

void TcbAudioPlay::Pause() {
    m_player->pause();
    waitFor([this] { return m_player->playbackState() == QMediaPlayer::PausedState; });
}

void TcbAudioPlay::Stop() {
    m_player->stop();
    waitFor([this] { return m_player->playbackState() == QMediaPlayer::StoppedState; });
}

int TcbAudioPlay::State() const {
    switch (m_player->playbackState()) {
    case QMediaPlayer::PlayingState:
        return psPlaying;
    case QMediaPlayer::PausedState:
        return psPaused;
    default:
        return psStopped;
    }
}

qint64 TcbAudioPlay::duration() const {
    return qMax<qint64>(m_player->duration(), 0);
}

qint64 TcbAudioPlay::position() const {
    return m_player->position();
}

bool TcbAudioPlay::canSeek() const {
    return m_player->isSeekable();
}

void TcbAudioPlay::setPosition(qint64 milliseconds) {
    m_player->setPosition(milliseconds);
}

void TcbAudioPlay::setWaitBound(int milliseconds) {
    g_waitBound = milliseconds > 0 ? milliseconds : kDefaultWaitBound;
}

int TcbAudioPlay::waitBound() {
    return g_waitBound;
}

// Lets the backend work until the condition holds; an error of the backend or the bound
// passing raises.
void TcbAudioPlay::waitFor(const std::function<bool()> &reached) {
    const bool done = WaitBounded(
        [&] { return m_player->error() != QMediaPlayer::NoError || reached(); }, g_waitBound);
    if (m_player->error() != QMediaPlayer::NoError)
        raiseBackendError();
    if (!done) {
        qCWarning(lcLesson) << "audio player: no state change within" << g_waitBound << "ms"
                            << m_player->mediaStatus() << m_player->playbackState();
        throw EcbAudioPlayError(int(kTimeout), AppText(1600));
    }
}

void TcbAudioPlay::raiseBackendError() const {
    const QString text = m_player->errorString();
    qCWarning(lcLesson) << "audio player:" << m_player->error() << text << m_fileName;
    const QFileInfo file(m_fileName);
    switch (m_player->error()) {
    case QMediaPlayer::ResourceError:
        // The backend says the same of a missing file and of one it cannot make sense of.
        if (!file.exists())
            throw EcbAudioPlayError::CallFailed(kFileNotFound, text);
        if (!file.isReadable())
            throw EcbAudioPlayError::CallFailed(kAccessDenied, text);
        throw EcbAudioPlayError::CallFailed(kUnsupportedStream, text);
    case QMediaPlayer::FormatError:
        throw EcbAudioPlayError::CallFailed(kUnsupportedStream, text);
    case QMediaPlayer::AccessDeniedError:
        throw EcbAudioPlayError::CallFailed(kAccessDenied, text);
    default:
        throw EcbAudioPlayError::CallFailed(kUnspecified, text);
    }
}

void TcbAudioPlay::statusChanged(QMediaPlayer::MediaStatus status) {
    if (status != QMediaPlayer::EndOfMedia)
        return;
    if (m_loop) {
        m_player->setPosition(0);
        m_player->play();
    } else if (m_player->playbackState() != QMediaPlayer::StoppedState) {
        m_player->stop();
    }
    if (m_onComplete)
        m_onComplete();
}
