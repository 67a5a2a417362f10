#pragma once

#include "app/imagebutton.h"
#include "app/screenentry.h"
#include "grid/screen.h"
#include "grid/services.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QLabel;
class QStackedWidget;

// The main window: top bar of image buttons, the screens of the registry over the welcome
// page, the status bar, screen switching, state refresh and the window placement.
class Tfmain : public QMainWindow {
    Q_OBJECT
public:
    // What the buttons and the closing do outside the window itself.
    struct Actions {
        std::function<void()> connect;        // connect button: sign in or out
        std::function<void()> options;        // settings button (only while signed out)
        std::function<void()> profile;        // profile button
        std::function<void()> silentSignOut;  // closing while signed in
        std::function<QString()> userCaption; // "type name" + " " + full name of the user
        std::function<QString()> storedPlacement;
        std::function<void(const QString &)> savePlacement;
        std::function<void(const QString &)> openAddress; // web site and e-mail links
    };

    // Creates the window with a button and a screen for each entry, in the entries' order:
    // each screen is made with the services, placed in the middle panel, hidden, and
    // initialised with InitScreen.
    Tfmain(const QList<ScreenEntry> &entries, const TServices &services, Actions actions,
           QWidget *parent = nullptr);

    void ShowScreen(TScreen *screen);
    void RefreshState();
    // The screen of the entry with this id, or null.
    TScreen *screen(QStringView id) const;
    // Every screen, in the entries' order.
    QList<TScreen *> screens() const;
    // The first screen of that class, or null.
    template <class T> T *screenOf() const {
        for (const Slot &slot : m_slots)
            if (auto *found = qobject_cast<T *>(slot.screen))
                return found;
        return nullptr;
    }
    TScreen *currentScreen() const { return m_current; }
    // Status bar panels 0..3; panels 1 to 3 belong to the lesson screen.
    QLabel *statusPanel(int index) const { return m_panels[index]; }
    // Shows the window with the stored placement applied.
    void showPlaced();
    // Closes the window, signing out and saving the placement; handles the guard codes.
    void handleGuardCode(int code);

protected:
    void closeEvent(QCloseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    // A screen with its entry and its top-bar button.
    struct Slot {
        ScreenEntry entry;
        TScreen *screen = nullptr;
        TImageButton *button = nullptr;
    };

    QWidget *buildTopBar();
    QWidget *buildWelcomePage();
    void buildStatusBar();
    void setButtonLooks();
    void screenButtonClicked(const Slot &slot);
    void showAbout();
    QString currentPlacement() const;

    TServices m_services;
    Actions m_actions;
    QList<Slot> m_slots;
    TScreen *m_current = nullptr;
    QStackedWidget *m_middle = nullptr;
    QWidget *m_welcome = nullptr;
    TImageButton *m_connect = nullptr, *m_opts = nullptr, *m_profil = nullptr, *m_about = nullptr;
    QLabel *m_userLabel = nullptr, *m_userValue = nullptr, *m_lastLabel = nullptr,
           *m_lastValue = nullptr;
    std::array<QLabel *, 4> m_panels{};
};
