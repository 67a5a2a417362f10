#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class Tdm;
struct RequestOutcome;
struct ServerRequest;

// Signs the user in and out: the "login" exchange and what its reply carries (session
// values, a demanded program update, a new book catalogue, the lookup tables), the book
// library, the clock check, the remote-data address, and the "logout" exchange.
class TSignIn {
public:
    // What the sign-in needs from the rest of the program.
    struct Hooks {
        std::function<RequestOutcome(const ServerRequest &)> runRequest;
        std::function<void()> placeProgressDialog; // over the middle of the main window
        std::function<void()> refreshState;        // main window state
        std::function<void()> hideScreens;         // no screen selected
        std::function<void()> signOutScreens;      // every screen's sign-out hook
        std::function<void()> reloadBookMenus;     // lesson screen's book list
        std::function<void()> runEntranceTest;     // modal entrance test window
    };

    TSignIn(Tdm &module, Hooks hooks);

    // The connect button: signs in when signed out, otherwise signs out.
    void ConnectClicked();
    void SignIn();
    void SignOut();
    // Closing the main window: sign-out without messages.
    void SilentSignOut();

    // The "login" data text from the settings, language and versions.
    static QByteArray LoginData();
    // The operating system in the form "name b<build> further text".
    static QString OsDescription();

private:
    bool handleReply(const QByteArray &reply);
    void programUpdate();
    void catalogueRefresh();
    void finishSignIn(QByteArray rest);
    void checkClock();
    void setRemoteAddress();
    void endSession();

    Tdm &m_dm;
    Hooks m_hooks;
};
