#pragma once

#include "app/imagebutton.h"
#include "grid/screen.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QLabel;
class QStackedWidget;

// The main window: top bar of image buttons, the four screens over the welcome page,
// the status bar, screen switching, state refresh and the window placement.
class Tfmain : public QMainWindow {
    Q_OBJECT
public:
    enum ScreenIndex { Orders = 0, Timetable = 1, Users = 2, Learn = 3 };

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

    // Creates the window with its screens (orders, timetable, users, lesson), placing each in
    // the middle panel, hidden, and calling InitScreen.
    Tfmain(const std::array<TScreen *, 4> &screens, Actions actions, QWidget *parent = nullptr);

    void ShowScreen(TScreen *screen);
    void RefreshState();
    TScreen *screen(ScreenIndex index) const { return m_screens[index]; }
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
    QWidget *buildTopBar();
    QWidget *buildWelcomePage();
    void buildStatusBar();
    TImageButton *button(ScreenIndex index) const;
    void setButtonLooks();
    void screenButtonClicked(ScreenIndex index);
    void showAbout();
    QString currentPlacement() const;

    Actions m_actions;
    std::array<TScreen *, 4> m_screens{};
    TScreen *m_current = nullptr;
    QStackedWidget *m_middle = nullptr;
    QWidget *m_welcome = nullptr;
    TImageButton *m_connect = nullptr, *m_order = nullptr, *m_timetable = nullptr,
                 *m_learn = nullptr, *m_users = nullptr, *m_opts = nullptr, *m_profil = nullptr,
                 *m_about = nullptr;
    QLabel *m_userLabel = nullptr, *m_userValue = nullptr, *m_lastLabel = nullptr,
           *m_lastValue = nullptr;
    std::array<QLabel *, 4> m_panels{};
};
