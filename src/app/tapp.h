#pragma once

#include "app/signin.h"
#include "app/tfmain.h"
#include "base/switches.h"

#include <QObject>
#include <memory>

class InstanceGuard;
class RelayLink;
class TLessonBanner;
class TSignIn;
class Tfconnection;

// Runs the program: the start-up sequence with its switches and the instance guard, the main
// window's actions (connect, settings, profile, links), and the start message.
class TApp : public QObject {
    Q_OBJECT
public:
    explicit TApp(const StartSwitches &switches);
    ~TApp() override;

    // Start-up from the guard on; returns the program's exit code.
    int run();

    Tfmain *mainWindow() const { return m_main.get(); }
    // The services handed to the screens (filled by createWindows).
    const TServices &services() const { return m_services; }
    // Creates the main window and everything it needs without showing it (also for tests).
    void createWindows();
    // The start message handled once the event loop runs: update notice and AutoConnect.
    void startMessage();

private:
    // Builds the shared services the screens are given.
    void createServices();
    Tfmain::Actions mainWindowActions();
    void guardCode(int code);
    void connectClicked();
    void optionsClicked();
    void openAddress(const QString &address);
    void profileClicked();
    QString userCaption() const;
    TSignIn::Hooks signInHooks();
    void addLessonBanner();

    StartSwitches m_switches;
    TServices m_services;
    std::unique_ptr<InstanceGuard> m_guard;
    std::unique_ptr<RelayLink> m_relay;
    std::unique_ptr<Tfmain> m_main;
    std::unique_ptr<Tfconnection> m_connection;
    std::unique_ptr<TSignIn> m_signIn;
    TLessonBanner *m_banner = nullptr; // owned by the main window
};
