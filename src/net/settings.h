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
    bool proxyUse = false;        // ProxyUse
    QString proxyServer;          // Proxyserver
    QString proxyPort;            // ProxyPort, decimal text
    bool proxyAuthentication = false; // ProxyAuthentication
    QString proxyName;            // ProxyName
    QString proxyPass;            // ProxyPass, unscrambled
    int onlinePortType = 0;       // OnlinePortType 0..2
    // Lesson screen (group 3), entrance test (group 4), main window (group 5).
    int lastUsedBook = 0;
    int lastUsedPage = 0;
    bool runWizardOnStartup = false;
    QString mainWindow;
    // TLS trust of the central server (read only): verify the server's certificate against
    // the system's trust store plus an extra CA certificate file.
    bool tlsVerify = true; // CentralServerTLSVerify
    QString caFile;        // CentralServerCAFile
    // Version text of the local book catalogue ("BooksVersion" of books.ini).
    QString booksVersion;
};

// The settings of the running program.
AppSettings &Settings();
