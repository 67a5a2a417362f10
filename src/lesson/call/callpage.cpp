#include "callpage.h"

#include "callbridge.h"
#include "calllog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

namespace {

// The page of the call: it stays where it is and opens nothing.
class CallWebPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override {
        return !isMainFrame || url == TCallPage::PageUrl();
    }
    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString &message, int line,
                                  const QString &) override {
        qCDebug(lcCall).noquote() << "call page:" << line << message;
    }
};

} // namespace

const QUrl &TCallPage::PageUrl() {
    static const QUrl url(QStringLiteral("qrc:/call/call.html"));
    return url;
}

TCallPage::TCallPage(QObject *parent)
    : CallMedia(parent), m_channel(new QWebChannel(this)), m_bridge(new TCallBridge(this)) {
    m_channel->registerObject(QStringLiteral("bridge"), m_bridge);
    connect(m_bridge, &TCallBridge::ready, this, [this] {
        m_ready = true;
        for (const auto &command : std::exchange(m_waiting, {}))
            command();
    });
    connect(m_bridge, &TCallBridge::messageReady, this, [this](const QString &json) {
        QString why;
        if (const auto message = CallMessage::fromJson(json.toUtf8(), &why))
            emit messageReady(*message);
        else
            qCWarning(lcCall).noquote() << "own engine's message not sent:" << why;
    });
    connect(m_bridge, &TCallBridge::connectedReported, this, &TCallPage::connected);
    connect(m_bridge, &TCallBridge::failureReported, this, &TCallPage::failed);
    connect(m_bridge, &TCallBridge::statsReported, this, &TCallPage::takeStats);
    connect(m_bridge, &TCallBridge::devicesReported, this, &TCallPage::takeDevices);
}

void TCallPage::prepare() {
    if (m_page)
        return;
    m_profile = new QWebEngineProfile(this);
    QWebEngineSettings *settings = m_profile->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    // Host candidates carry the machine's own addresses: they are what a call on one network
    // (and on loopback) needs.
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, false);
    m_page = new CallWebPage(m_profile, this);
    m_page->setWebChannel(m_channel);
    connect(m_page, &QWebEnginePage::featurePermissionRequested, this, &TCallPage::permission);
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this, [this] {
        m_ready = false;
        emit failed(false, QStringLiteral("the call page's process ended"));
        m_page->load(PageUrl());
    });
    m_page->load(PageUrl());
    emit prepared();
}

TCallPage::~TCallPage() {
    m_inCall = m_listing = false;
    // The page goes before its profile.
    delete m_page;
}

bool TCallPage::grants(const QUrl &origin, QWebEnginePage::Feature feature, bool capturing) {
    const bool media = feature == QWebEnginePage::MediaAudioCapture ||
                       feature == QWebEnginePage::MediaVideoCapture ||
                       feature == QWebEnginePage::MediaAudioVideoCapture;
    return media && capturing && origin.scheme() == PageUrl().scheme() && origin.host().isEmpty();
}

void TCallPage::permission(const QUrl &origin, QWebEnginePage::Feature feature) {
    const bool granted = grants(origin, feature, capturing()) &&
                         m_page->url().adjusted(QUrl::RemoveFragment) == PageUrl();
    qCInfo(lcCall) << "permission" << feature << "for" << origin
                   << (granted ? "granted" : "denied");
    m_page->setFeaturePermission(origin, feature,
                                 granted ? QWebEnginePage::PermissionGrantedByUser
                                         : QWebEnginePage::PermissionDeniedByUser);
}

void TCallPage::whenReady(std::function<void()> command) {
    prepare();
    if (m_ready)
        command();
    else
        m_waiting.append(std::move(command));
}

void TCallPage::start(const Start &how) {
    m_inCall = true;
    const QJsonObject options{
        {QStringLiteral("servers"), QJsonDocument::fromJson(how.servers.toJson()).array()},
        {QStringLiteral("relayOnly"), how.relayOnly},
        {QStringLiteral("offerer"), how.offerer},
        {QStringLiteral("camera"), how.camera},
        {QStringLiteral("muted"), how.muted},
        {QStringLiteral("statsMs"), qBound(20, how.statsIntervalMs, 10000)},
        {QStringLiteral("microphone"), how.microphone},
        {QStringLiteral("speaker"), how.speaker},
        {QStringLiteral("cameraDevice"), how.cameraDevice}};
    const QString json = QString::fromUtf8(QJsonDocument(options).toJson(QJsonDocument::Compact));
    whenReady([this, json] { emit m_bridge->startRequested(json); });
}

void TCallPage::takeMessage(const CallMessage &message) {
    const QString json = QString::fromUtf8(message.toJson());
    whenReady([this, json] { emit m_bridge->messageArrived(json); });
}

void TCallPage::setMuted(bool muted) {
    whenReady([this, muted] { emit m_bridge->muteRequested(muted); });
}

void TCallPage::setCamera(bool on) {
    whenReady([this, on] { emit m_bridge->cameraRequested(on); });
}

void TCallPage::stop() {
    m_inCall = false;
    if (!m_page)
        return;
    whenReady([this] { emit m_bridge->stopRequested(); });
}

void TCallPage::listDevices() {
    m_listing = true;
    whenReady([this] { emit m_bridge->devicesRequested(); });
}

void TCallPage::takeStats(const QString &json) {
    const QJsonObject s = QJsonDocument::fromJson(json.toUtf8()).object();
    CallStats stats;
    stats.audioBytesReceived = qint64(s.value(QLatin1String("audioIn")).toDouble());
    stats.audioBytesSent = qint64(s.value(QLatin1String("audioOut")).toDouble());
    stats.audioLevel = s.value(QLatin1String("level")).toDouble();
    stats.microphoneLevel = s.value(QLatin1String("mic")).toDouble();
    stats.videoFramesReceived = qint64(s.value(QLatin1String("frames")).toDouble());
    stats.roundTripMs = s.value(QLatin1String("rtt")).toDouble(-1);
    stats.jitterBufferMs = s.value(QLatin1String("jitter")).toDouble(-1);
    stats.route = s.value(QLatin1String("route")).toString().left(16);
    emit statsChanged(stats);
}

void TCallPage::takeDevices(const QString &json) {
    QList<Device> devices;
    for (const QJsonValue &value : QJsonDocument::fromJson(json.toUtf8()).array()) {
        const QJsonObject object = value.toObject();
        devices.append({object.value(QLatin1String("kind")).toString(),
                        object.value(QLatin1String("label")).toString()});
    }
    m_listing = false;
    emit devicesListed(devices);
}
