#pragma once

#include <QString>

// The program's settings held in memory: what the settings file and its two dialogs hold.
// The connection target (CentralServer, CentralServerPath) lives in the session state.
struct AppSettings {
    // Connection dialog (group 0; LoginPass also group 2).
    bool useSsl = true;      // CentralServerSSL
    bool autoConnect = true; // AutoConnect
    QString loginName;       // LoginName
    QString loginPass;       // LoginPass, unscrambled
    int langId = 2;          // LangID: the language index selected in the dialog
    // Proxy dialog (group 1).
    bool proxyUse = false;            // ProxyUse
    QString proxyServer;              // Proxyserver
    QString proxyPort;                // ProxyPort, decimal text
    bool proxyAuthentication = false; // ProxyAuthentication
    QString proxyName;                // ProxyName
    QString proxyPass;                // ProxyPass, unscrambled
    int onlinePortType = 0;           // OnlinePortType 0..2
    // Lesson screen (group 3), entrance test (group 4), main window (group 5).
    int lastUsedBook = 0;
    int lastUsedPage = 0;
    bool runWizardOnStartup = false;
    QString mainWindow;
    // TLS trust of the central server (connection dialog): verify the server's certificate against
    // the system's trust store plus an extra CA certificate file.
    bool tlsVerify = true; // CentralServerTLSVerify
    QString caFile;        // CentralServerCAFile
    // A lesson connection that drops without being asked to signs on again (file only).
    bool relayAutoReconnect = true; // RelayAutoReconnect
    // Lesson call devices by name (group 6); empty: the system's own.
    QString callMicrophone; // CallMicrophone
    QString callSpeaker;    // CallSpeaker
    QString callCamera;     // CallCamera
    // Version text of the local book catalogue ("BooksVersion" of books.ini).
    QString booksVersion;
};

// The settings of the running program.
AppSettings &Settings();

// The groups of keys that are written together.
enum SettingsGroup {
    sgConnection = 0, // AutoConnect, CentralServerSSL, LoginName, LangID, LoginPass,
                      // CentralServerTLSVerify, CentralServerCAFile
    sgProxy = 1,      // ProxyUse ... ProxyPass, OnlinePortType
    sgLoginPass = 2,  // LoginPass
    sgLastBook = 3,   // LastUsedBook, LastUsedPage
    sgWizard = 4,     // RunWizardOnStartup
    sgMainWindow = 5, // Main Window
    sgCall = 6,       // CallMicrophone, CallSpeaker, CallCamera
};

// Reads the settings file into Settings() (every key with its default), sets the connection
// target, and reads the book catalogue version from books.ini. Never fails: a missing or
// unreadable file reads as all defaults.
void LoadSettings();

// Writes one group of keys from Settings(): re-reads the file, changes only that group's keys
// (every other line stays as it is), creates the data folder and replaces the file whole.
// Raises AppError when the file cannot be read back or written, or when a password cannot be
// stored without loss (then the file is left untouched).
void SaveSettings(int group);
// The same from the given values.
void SaveSettings(int group, const AppSettings &values);
// Raises the AppError that SaveSettings would raise for the group's values (an unknown group,
// a value with a line break, a password that cannot be stored), without touching the file.
void CheckSettingsGroup(int group, const AppSettings &values);

// Where requests go: the host of CentralServer and its port. CentralServer may carry an
// explicit port ("host:port", "[v6]:port"), which then replaces the port that the HTTPS
// option chooses (443 with HTTPS, 80 without).
struct ServerEndpoint {
    QString host;
    int port = 0;
};
ServerEndpoint CentralServerEndpoint();
ServerEndpoint ParseServerEndpoint(const QString &server, bool useSsl);
