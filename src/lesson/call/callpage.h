#pragma once

#include "callmedia.h"

#include <QList>
#include <QUrl>
#include <QWebEnginePage>
#include <functional>

class QWebChannel;
class QWebEngineProfile;
class TCallBridge;

// The call's media engine: a local page (qrc:/call/call.html) in a profile of its own, kept in
// memory, that runs the browser engine's real-time media and is driven through a web channel.
// The page is made on first use (prepare), so that a program without a lesson partner never
// starts the browser engine for it.
// Only this page, and only while a call or the device list wants them, is given microphone and
// camera; it may not navigate anywhere else or open windows. Commands given before the page has
// loaded wait for it.
class TCallPage : public CallMedia {
    Q_OBJECT
public:
    struct Device {
        QString kind; // audioinput, audiooutput, videoinput
        QString label;
    };

    static const QUrl &PageUrl();

    explicit TCallPage(QObject *parent = nullptr);
    ~TCallPage() override;

    // Makes and loads the page, once.
    void prepare();
    // The page; null before prepare.
    QWebEnginePage *page() const { return m_page; }
    bool isReady() const { return m_ready; }
    // Whether capture is allowed now (a call runs, or the devices are being listed).
    bool capturing() const { return m_inCall || m_listing; }

    void start(const Start &how) override;
    void takeMessage(const CallMessage &message) override;
    void setMuted(bool muted) override;
    void setCamera(bool on) override;
    void stop() override;

    // Lists the devices by name; the answer comes through devicesListed.
    void listDevices();
    // The permission decision for a page's request (public for the tests of other pages).
    static bool grants(const QUrl &origin, QWebEnginePage::Feature feature, bool capturing);

signals:
    void devicesListed(const QList<TCallPage::Device> &devices);
    // The page was made (a view may show it now).
    void prepared();

private:
    void whenReady(std::function<void()> command);
    void permission(const QUrl &origin, QWebEnginePage::Feature feature);
    void takeStats(const QString &json);
    void takeDevices(const QString &json);

    QWebEngineProfile *m_profile = nullptr;
    QWebEnginePage *m_page = nullptr;
    QWebChannel *m_channel;
    TCallBridge *m_bridge;
    bool m_ready = false;
    bool m_inCall = false;
    bool m_listing = false;
    QList<std::function<void()>> m_waiting;
};
