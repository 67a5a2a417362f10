#pragma once

#include <QByteArray>
#include <QObject>
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
        std::function<void()> askServerFeatures;   // what the server offers beyond the basics
    };

    // Installs itself as the handler of a session that the server has ended.
    TSignIn(Tdm &module, Hooks hooks);
    ~TSignIn();
    TSignIn(const TSignIn &) = delete;
    TSignIn &operator=(const TSignIn &) = delete;

    // The connect button: signs in when signed out, otherwise signs out.
    void ConnectClicked();
    void SignIn();
    void SignOut();
    // Closing the main window: sign-out without messages.
    void SilentSignOut();
    // The server no longer knows the session: ends the local one as the silent sign-out
    // does, puts the window in its signed-out state and says once that the user should
    // connect again. Nothing happens when nobody is signed in.
    void SessionEnded();

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
    QObject m_queue;                // context of the queued session end
    bool m_catalogueStored = false; // the last sign-in reply brought a new catalogue
    bool m_reconnecting = false;
};
