#include "net/settings/settings.h"

#include "base/locations.h"
#include "base/session.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/httpexchange.h"
#include "net/settings/scramble.h"
#include "net/settings/settingsfile.h"

namespace {

// A stored password, or empty when it does not unscramble with the name.
QString storedPassword(const NameValueList &file, QStringView key, const QString &name) {
    QString text;
    UnscrambleText(file.value(key), name, text);
    return text;
}

// The language the dialog's list shows: a usable stored LangID, otherwise the language of
// the running program. Taking the stored one keeps a language chosen earlier in this run
// when the dialog is confirmed again before the restart.
int listedLanguage(const NameValueList &file) {
    const std::optional<int> stored = ParseInteger(file.value(u"LangID"));
    if (stored && *stored >= 1 && *stored <= 3 && LanguageIdentifier(*stored) != 0)
        return *stored;
    return LanguageIndex();
}

void writeGroup(NameValueList &file, int group, const AppSettings &s) {
    switch (group) {
    case sgConnection:
        file.setValue(QStringLiteral("AutoConnect"), FlagText(s.autoConnect));
        file.setValue(QStringLiteral("CentralServerSSL"), FlagText(s.useSsl));
        file.setValue(QStringLiteral("LoginName"), s.loginName);
        file.setValue(QStringLiteral("LangID"), QString::number(s.langId));
        file.setValue(QStringLiteral("LoginPass"), ScrambleText(s.loginPass, s.loginName));
        // The TLS trust: a line only where it differs from the default (verify, no file).
        file.setValue(QStringLiteral("CentralServerTLSVerify"),
                      s.tlsVerify ? QString() : QStringLiteral("0"));
        file.setValue(QStringLiteral("CentralServerCAFile"), s.caFile);
        break;
    case sgProxy:
        file.setValue(QStringLiteral("ProxyUse"), FlagText(s.proxyUse));
        file.setValue(QStringLiteral("Proxyserver"), s.proxyServer);
        file.setValue(QStringLiteral("ProxyPort"), s.proxyPort);
        file.setValue(QStringLiteral("ProxyAuthentication"), FlagText(s.proxyAuthentication));
        file.setValue(QStringLiteral("ProxyName"), s.proxyName);
        file.setValue(QStringLiteral("ProxyPass"), ScrambleText(s.proxyPass, s.proxyName));
        file.setValue(QStringLiteral("OnlinePortType"), QString::number(s.onlinePortType));
        break;
    case sgLoginPass:
        file.setValue(QStringLiteral("LoginPass"), ScrambleText(s.loginPass, s.loginName));
        break;
    case sgLastBook:
        file.setValue(QStringLiteral("LastUsedBook"), QString::number(s.lastUsedBook));
        file.setValue(QStringLiteral("LastUsedPage"), QString::number(s.lastUsedPage));
        break;
    case sgWizard:
        file.setValue(QStringLiteral("RunWizardOnStartup"), FlagText(s.runWizardOnStartup));
        break;
    case sgMainWindow:
        file.setValue(QStringLiteral("Main Window"), s.mainWindow);
        break;
    case sgCall:
        file.setValue(QStringLiteral("CallMicrophone"), s.callMicrophone);
        file.setValue(QStringLiteral("CallSpeaker"), s.callSpeaker);
        file.setValue(QStringLiteral("CallCamera"), s.callCamera);
        break;
    }
}

QString lineBreakRefusal() {
    return AppText(1056);
}

// Every key is one line of the file: a value with a line break would come back cut, and its
// rest would read as lines of their own.
void checkSingleLine(std::initializer_list<const QString *> values) {
    for (const QString *value : values) {
        if (value->contains(u'\r') || value->contains(u'\n'))
            throw AppError(lineBreakRefusal());
    }
}

} // namespace

void CheckSettingsGroup(int group, const AppSettings &s) {
    if (group < sgConnection || group > sgCall)
        throw AppError(QStringLiteral("Settings group %1error").arg(group));
    if (group == sgConnection) {
        checkSingleLine({&s.loginName, &s.caFile});
        CheckScramble(s.loginPass, s.loginName);
    }
    if (group == sgLoginPass)
        CheckScramble(s.loginPass, s.loginName);
    if (group == sgProxy) {
        checkSingleLine({&s.proxyServer, &s.proxyPort, &s.proxyName});
        CheckScramble(s.proxyPass, s.proxyName);
    }
    if (group == sgMainWindow)
        checkSingleLine({&s.mainWindow});
    if (group == sgCall)
        checkSingleLine({&s.callMicrophone, &s.callSpeaker, &s.callCamera});
}

AppSettings &Settings() {
    static AppSettings settings;
    return settings;
}

void LoadSettings() {
    const NameValueList file = ReadNameValueFile(AppLocations().settingsFile);
    AppSettings s;
    s.useSsl = ReadFlag(file, u"CentralServerSSL", true);
    s.autoConnect = ReadFlag(file, u"AutoConnect", true);
    s.loginName = file.value(u"LoginName");
    s.loginPass = storedPassword(file, u"LoginPass", s.loginName);
    s.langId = listedLanguage(file);
    s.proxyUse = ReadFlag(file, u"ProxyUse", false);
    s.proxyServer = file.value(u"Proxyserver");
    s.proxyPort = file.value(u"ProxyPort");
    s.proxyAuthentication = ReadFlag(file, u"ProxyAuthentication", false);
    s.proxyName = file.value(u"ProxyName");
    s.proxyPass = storedPassword(file, u"ProxyPass", s.proxyName);
    s.onlinePortType = ReadInteger(file, u"OnlinePortType", 0);
    if (s.onlinePortType < 0 || s.onlinePortType > 2)
        s.onlinePortType = 0;
    s.lastUsedBook = ReadInteger(file, u"LastUsedBook", 0);
    s.lastUsedPage = ReadInteger(file, u"LastUsedPage", 0);
    s.runWizardOnStartup = ReadFlag(file, u"RunWizardOnStartup", false);
    s.mainWindow = file.value(u"Main Window");
    s.tlsVerify = ReadFlag(file, u"CentralServerTLSVerify", true);
    s.caFile = file.value(u"CentralServerCAFile");
    s.relayAutoReconnect = ReadFlag(file, u"RelayAutoReconnect", true);
    s.callMicrophone = file.value(u"CallMicrophone");
    s.callSpeaker = file.value(u"CallSpeaker");
    s.callCamera = file.value(u"CallCamera");
    // RequestTimeout (file only): seconds a request may go without any sign of progress.
    HttpExchange::setRequestTimeout(ReadInteger(file, u"RequestTimeout", 0));
    s.booksVersion = ReadNameValueFile(AppLocations().booksIni).value(u"BooksVersion");
    Settings() = s;

    ConnectionTarget &target = CurrentConnectionTarget();
    target.server = file.value(u"CentralServer");
    target.path = file.value(u"CentralServerPath");
}

void SaveSettings(int group) {
    SaveSettings(group, Settings());
}

void SaveSettings(int group, const AppSettings &values) {
    // Refused before anything is read or written.
    CheckSettingsGroup(group, values);
    const QString path = AppLocations().settingsFile;
    NameValueList file = ReadNameValueFileForUpdate(path);
    writeGroup(file, group, values);
    EnsureDataFolder();
    WriteNameValueFile(path, file);
}

ServerEndpoint ParseServerEndpoint(const QString &server, bool useSsl) {
    ServerEndpoint endpoint{server, useSsl ? 443 : 80};
    QString host;
    QStringView portText;
    if (server.startsWith(u'[')) {
        const qsizetype close = server.indexOf(u']');
        if (close < 0)
            return endpoint;
        host = server.mid(1, close - 1);
        if (close + 1 == server.size()) {
            endpoint.host = host;
            return endpoint;
        }
        if (server[close + 1] != u':')
            return endpoint;
        portText = QStringView(server).mid(close + 2);
    } else {
        const qsizetype colon = server.indexOf(u':');
        // No colon: a plain host; more than one: a bare IPv6 address.
        if (colon < 0 || server.indexOf(u':', colon + 1) >= 0)
            return endpoint;
        host = server.left(colon);
        portText = QStringView(server).mid(colon + 1);
    }
    const std::optional<int> port = ParseInteger(portText);
    if (port && *port >= 1 && *port <= 65535 && !portText.startsWith(u' ')) {
        endpoint.host = host;
        endpoint.port = *port;
    }
    return endpoint;
}

ServerEndpoint CentralServerEndpoint() {
    return ParseServerEndpoint(CurrentConnectionTarget().server, Settings().useSsl);
}
