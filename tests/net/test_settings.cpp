#include "base/locations.h"
#include "base/session.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"
#include "net/settings/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A program "tellavo" in a fresh folder, with its settings file and books.ini beside it.
class SettingsFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        InitLocations(m_dir.filePath(QStringLiteral("tellavo")));
        SetLanguageIndex(LangCzech);
        Settings() = AppSettings();
        CurrentConnectionTarget() = ConnectionTarget();
    }
    void TearDown() override { SetLanguageIndex(LangCzech); }

    static void writeBytes(const QString &path, const QByteArray &bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // Writes the settings file from UTF-8 lines, stored as Windows-1250 with CR LF.
    static void writeSettings(const QStringList &lines) {
        writeBytes(AppLocations().settingsFile,
                   ToWin1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    }
    static QByteArray settingsBytes() {
        QFile file(AppLocations().settingsFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    // The settings file's lines, with each scrambled password replaced by what it unscrambles
    // to with the name that the file holds ("?" when it does not).
    static QStringList settingsLines() {
        NameValueList file;
        file.setText(FromWin1250(settingsBytes()));
        QStringList lines = file.lines();
        const struct {
            QString pass, name;
        } scrambled[] = {{QStringLiteral("LoginPass"), QStringLiteral("LoginName")},
                         {QStringLiteral("ProxyPass"), QStringLiteral("ProxyName")}};
        for (const auto &s : scrambled) {
            const qsizetype i = file.indexOf(s.pass);
            QString text;
            if (i >= 0) {
                const bool ok = UnscrambleText(file.value(s.pass), file.value(s.name), text);
                lines[i] = s.pass + u'=' + (ok ? u'<' + text + u'>' : QStringLiteral("?"));
            }
        }
        return lines;
    }

    QTemporaryDir m_dir;
};

TEST_F(SettingsFileTest, LoadReadsEveryKeyByTheFileRules) {
    writeSettings({
        QStringLiteral("; a comment line"),
        QStringLiteral("centralserver=school.example:8443"),
        QStringLiteral("CentralServerPath=/tellavo/client.php"),
        QStringLiteral("CentralServerSSL=abc"),
        QStringLiteral("autoconnect=0"),
        QStringLiteral("AutoConnect=1"),
        QStringLiteral("LoginName=Jiří"),
        QStringLiteral("LoginPass=") +
            ScrambleText(QStringLiteral("heslo žluť"), QStringLiteral("Jiří")),
        QStringLiteral("ProxyUse=2"),
        QStringLiteral("Proxyserver=proxy.local"),
        QStringLiteral("ProxyPort=80a"),
        QStringLiteral("ProxyAuthentication= 1"),
        QStringLiteral("ProxyName=pn"),
        QStringLiteral("ProxyPass=") + ScrambleText(QStringLiteral("pp"), QStringLiteral("PN")),
        QStringLiteral("OnlinePortType=2"),
        QStringLiteral("LastUsedBook=12"),
        QStringLiteral("LastUsedPage=x"),
        QStringLiteral("RunWizardOnStartup=-1"),
        QStringLiteral("Main Window=0;10;20;800;600"),
        QStringLiteral("CentralServerTLSVerify=0"),
        QStringLiteral("CentralServerCAFile=/etc/school-ca.pem"),
    });
    writeBytes(AppLocations().booksIni, "Books=1\r\nBooksVersion=2026.3\r\n");

    LoadSettings();
    const AppSettings &s = Settings();
    EXPECT_EQ(CurrentConnectionTarget().server, QStringLiteral("school.example:8443"));
    EXPECT_EQ(CurrentConnectionTarget().path, QStringLiteral("/tellavo/client.php"));
    EXPECT_TRUE(s.useSsl);       // not a number: the default
    EXPECT_FALSE(s.autoConnect); // the first, lower-case line wins
    EXPECT_EQ(s.loginName, QStringLiteral("Jiří"));
    EXPECT_EQ(s.loginPass, QStringLiteral("heslo žluť"));
    EXPECT_TRUE(s.proxyUse);
    EXPECT_EQ(s.proxyServer, QStringLiteral("proxy.local"));
    EXPECT_EQ(s.proxyPort, QStringLiteral("80a"));
    EXPECT_TRUE(s.proxyAuthentication);
    EXPECT_EQ(s.proxyName, QStringLiteral("pn"));
    EXPECT_EQ(s.proxyPass, QString()); // scrambled with "PN", not "pn"
    EXPECT_EQ(s.onlinePortType, 2);
    EXPECT_EQ(s.lastUsedBook, 12);
    EXPECT_EQ(s.lastUsedPage, 0);
    EXPECT_TRUE(s.runWizardOnStartup);
    EXPECT_EQ(s.mainWindow, QStringLiteral("0;10;20;800;600"));
    EXPECT_FALSE(s.tlsVerify);
    EXPECT_EQ(s.caFile, QStringLiteral("/etc/school-ca.pem"));
    EXPECT_EQ(s.booksVersion, QStringLiteral("2026.3"));
}

TEST_F(SettingsFileTest, MissingFilesGiveDefaultsAndClearEarlierValues) {
    Settings().loginName = QStringLiteral("old");
    Settings().booksVersion = QStringLiteral("old");
    CurrentConnectionTarget().server = QStringLiteral("old");
    LoadSettings();
    const AppSettings &s = Settings();
    EXPECT_TRUE(s.useSsl && s.autoConnect && s.tlsVerify);
    EXPECT_FALSE(s.proxyUse || s.proxyAuthentication || s.runWizardOnStartup);
    EXPECT_TRUE(s.loginName.isEmpty() && s.loginPass.isEmpty() && s.booksVersion.isEmpty());
    EXPECT_EQ(s.langId, LangCzech);
    EXPECT_EQ(s.onlinePortType, 0);
    EXPECT_TRUE(CurrentConnectionTarget().server.isEmpty());
}

TEST(SettingsValues, FlagsAndIntegersFallBackToTheirDefaults) {
    const struct {
        const char *value;
        bool flagWhenDefaultOff;
        bool flagWhenDefaultOn;
        int integer; // default 7
    } cases[] = {
        {"", false, true, 7},   {"0", false, false, 0},  {"1", true, true, 1},
        {"-3", true, true, -3}, {"abc", false, true, 7}, {" 2", true, true, 2},
        {"2 ", false, true, 7}, {"1.0", false, true, 7}, {"0x1", false, true, 7},
    };
    for (const auto &c : cases) {
        NameValueList values({QStringLiteral("Key=") + QLatin1String(c.value)});
        EXPECT_EQ(ReadFlag(values, u"key", false), c.flagWhenDefaultOff) << c.value;
        EXPECT_EQ(ReadFlag(values, u"KEY", true), c.flagWhenDefaultOn) << c.value;
        EXPECT_EQ(ReadInteger(values, u"Key", 7), c.integer) << c.value;
    }
}

TEST_F(SettingsFileTest, LanguageListShowsTheStoredLanguageOrTheRunningOne) {
    const struct {
        const char *stored;
        int running;
        int listed;
    } cases[] = {{"3", LangCzech, LangSlovak},  {"2", LangSlovak, LangCzech},
                 {"1", LangSlovak, LangSlovak}, {"4", LangCzech, LangCzech},
                 {"x", LangSlovak, LangSlovak}, {nullptr, LangSlovak, LangSlovak}};
    for (const auto &c : cases) {
        SetLanguageIndex(c.running);
        writeSettings(c.stored ? QStringList{QStringLiteral("LangID=") + QLatin1String(c.stored)}
                               : QStringList{QStringLiteral("Other=1")});
        LoadSettings();
        EXPECT_EQ(Settings().langId, c.listed) << (c.stored ? c.stored : "none");
    }
}

// Every group rewrites only its own keys; all other lines, unknown ones included, stay in
// their order, an empty value removes its line and a missing key is appended.
TEST_F(SettingsFileTest, EachGroupWritesOnlyItsKeys) {
    const QStringList original = {
        QStringLiteral("Unknown=kept"),
        QStringLiteral("autoconnect=0"),
        QStringLiteral("LoginName=old"),
        QStringLiteral("LoginPass=") +
            ScrambleText(QStringLiteral("oldpass"), QStringLiteral("old")),
        QStringLiteral("ProxyUse=0"),
        QStringLiteral("Proxyserver=old.proxy"),
        QStringLiteral("ProxyName=pn"),
        QStringLiteral("LastUsedBook=1"),
        QStringLiteral("Main Window=old"),
        QStringLiteral("; trailing comment"),
    };
    AppSettings values;
    values.useSsl = false;
    values.autoConnect = true;
    values.loginName = QStringLiteral("Žofie");
    values.loginPass = QStringLiteral("nové heslo");
    values.langId = LangSlovak;
    values.proxyUse = true;
    values.proxyServer = QString();
    values.proxyPort = QStringLiteral("3128");
    values.proxyAuthentication = true;
    values.proxyName = QStringLiteral("pu");
    values.proxyPass = QStringLiteral("pp");
    values.onlinePortType = 1;
    values.lastUsedBook = 4;
    values.lastUsedPage = 17;
    values.runWizardOnStartup = true;
    values.mainWindow = QString();
    values.callMicrophone = QStringLiteral("Mikrofon (USB) č. 2");
    values.callCamera = QStringLiteral("Kamera");

    const struct {
        int group;
        QStringList expected;
    } cases[] = {
        {sgConnection,
         {"Unknown=kept", "AutoConnect=1", "LoginName=Žofie", "LoginPass=<nové heslo>",
          "ProxyUse=0", "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=1",
          "Main Window=old", "; trailing comment", "CentralServerSSL=0", "LangID=3"}},
        {sgProxy,
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=<oldpass>", "ProxyUse=1",
          "ProxyName=pu", "LastUsedBook=1", "Main Window=old", "; trailing comment",
          "ProxyPort=3128", "ProxyAuthentication=1", "ProxyPass=<pp>", "OnlinePortType=1"}},
        {sgLoginPass,
         // Scrambled with the name in memory, which the file does not hold yet.
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=?", "ProxyUse=0",
          "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=1", "Main Window=old",
          "; trailing comment"}},
        {sgLastBook,
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=<oldpass>", "ProxyUse=0",
          "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=4", "Main Window=old",
          "; trailing comment", "LastUsedPage=17"}},
        {sgWizard,
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=<oldpass>", "ProxyUse=0",
          "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=1", "Main Window=old",
          "; trailing comment", "RunWizardOnStartup=1"}},
        {sgMainWindow,
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=<oldpass>", "ProxyUse=0",
          "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=1", "; trailing comment"}},
        {sgCall,
         {"Unknown=kept", "autoconnect=0", "LoginName=old", "LoginPass=<oldpass>", "ProxyUse=0",
          "Proxyserver=old.proxy", "ProxyName=pn", "LastUsedBook=1", "Main Window=old",
          "; trailing comment", "CallMicrophone=Mikrofon (USB) č. 2", "CallCamera=Kamera"}},
    };
    for (const auto &c : cases) {
        writeSettings(original);
        SaveSettings(c.group, values);
        EXPECT_EQ(settingsLines(), c.expected) << "group " << c.group;
    }
    // The password written by group 2 belongs to the name in memory.
    NameValueList file;
    writeSettings(original);
    SaveSettings(sgLoginPass, values);
    file.setText(FromWin1250(settingsBytes()));
    QString text;
    EXPECT_TRUE(UnscrambleText(file.value(u"LoginPass"), values.loginName, text));
    EXPECT_EQ(text, values.loginPass);
}

TEST_F(SettingsFileTest, WritesWindows1250WithCrLfAndCreatesTheDataFolder) {
    InitLocations(m_dir.filePath(QStringLiteral("new/folder/tellavo")));
    Settings().lastUsedBook = 3;
    Settings().mainWindow = QStringLiteral("2;0;0;640;480");
    SaveSettings(sgMainWindow);
    SaveSettings(sgLastBook);
    EXPECT_EQ(settingsBytes(), QByteArray("Main Window=2;0;0;640;480\r\nLastUsedBook=3\r\n"
                                          "LastUsedPage=0\r\n"));

    Settings().loginName = QStringLiteral("Řehoř");
    SaveSettings(sgConnection);
    EXPECT_TRUE(settingsBytes().contains("LoginName=\xD8\x65ho\xF8\r\n"));
}

TEST_F(SettingsFileTest, EmptyNameRemovesItsLineAndKeysThePassword) {
    writeSettings({QStringLiteral("LoginName=jan")});
    Settings().loginName.clear();
    Settings().loginPass = QStringLiteral("tajne");
    SaveSettings(sgConnection);
    NameValueList file;
    file.setText(FromWin1250(settingsBytes()));
    EXPECT_EQ(file.indexOf(u"LoginName"), -1);
    QString text;
    EXPECT_TRUE(UnscrambleText(file.value(u"LoginPass"), QString(), text));
    EXPECT_EQ(text, QStringLiteral("tajne"));
    EXPECT_FALSE(UnscrambleText(file.value(u"LoginPass"), QStringLiteral("jan"), text));

    // Saved with jan, the password no longer unscrambles once the file says Jan.
    Settings().loginName = QStringLiteral("jan");
    SaveSettings(sgConnection);
    writeBytes(AppLocations().settingsFile,
               settingsBytes().replace("LoginName=jan", "LoginName=Jan"));
    LoadSettings();
    EXPECT_EQ(Settings().loginName, QStringLiteral("Jan"));
    EXPECT_TRUE(Settings().loginPass.isEmpty());
}

// A password or name that would not unscramble to itself is refused before the file changes.
TEST_F(SettingsFileTest, PasswordsThatCannotBeStoredLeaveTheFileUntouched) {
    const QString limit(255, u'x');
    const QString over(256, u'x');
    const struct {
        int group;
        QString name, pass;
        bool stored;
    } cases[] = {
        {sgConnection, limit, limit, true},
        {sgConnection, QStringLiteral("jan"), over, false},
        {sgConnection, over, QStringLiteral("p"), false},
        {sgLoginPass, QStringLiteral("jan"), over, false},
        {sgConnection, QStringLiteral("jan"), QStringLiteral("пароль"), false},
        {sgProxy, QStringLiteral("proxyuser"), over, false},
        {sgProxy, QStringLiteral("€ŠŽ"), QStringLiteral("ąčę"), true},
    };
    for (const auto &c : cases) {
        writeSettings({QStringLiteral("Unknown=kept")});
        const QByteArray before = settingsBytes();
        AppSettings values;
        (c.group == sgProxy ? values.proxyName : values.loginName) = c.name;
        (c.group == sgProxy ? values.proxyPass : values.loginPass) = c.pass;
        bool refused = false;
        try {
            SaveSettings(c.group, values);
        } catch (const AppError &e) {
            refused = true;
            EXPECT_FALSE(e.message().isEmpty());
        }
        EXPECT_EQ(refused, !c.stored) << c.group << " " << c.pass.size();
        if (refused) {
            EXPECT_EQ(settingsBytes(), before);
            continue;
        }
        LoadSettings();
        EXPECT_EQ(c.group == sgProxy ? Settings().proxyPass : Settings().loginPass, c.pass);
    }
}

// A value with a line break would split into lines of its own: the name would come back cut
// (and its password no longer unscramble), the rest would read as other keys.
TEST_F(SettingsFileTest, ValuesWithLineBreaksAreRefusedBeforeTheFileChanges) {
    const struct {
        int group;
        QString AppSettings::*field;
        const char *value;
    } cases[] = {
        {sgConnection, &AppSettings::loginName, "jan\n"},
        {sgConnection, &AppSettings::loginName, "jan\r\nCentralServer=elsewhere"},
        {sgProxy, &AppSettings::proxyServer, "proxy\rProxyUse=0"},
        {sgProxy, &AppSettings::proxyPort, "3128\n"},
        {sgProxy, &AppSettings::proxyName, "\npu"},
        {sgMainWindow, &AppSettings::mainWindow, "0;0;0;640;480\r\n"},
    };
    for (const auto &c : cases) {
        writeSettings(
            {QStringLiteral("CentralServer=school.example"), QStringLiteral("LoginName=old")});
        const QByteArray before = settingsBytes();
        AppSettings values;
        values.*c.field = QString::fromLatin1(c.value);
        EXPECT_THROW(SaveSettings(c.group, values), AppError) << c.value;
        EXPECT_EQ(settingsBytes(), before) << c.value;
    }
    // A line break inside a password is harmless: it is stored scrambled.
    AppSettings values;
    values.loginName = QStringLiteral("jan");
    values.loginPass = QStringLiteral("two\nlines");
    SaveSettings(sgConnection, values);
    LoadSettings();
    EXPECT_EQ(Settings().loginPass, values.loginPass);
}

TEST_F(SettingsFileTest, WriteFailuresRaiseAndNeverReplaceAnUnreadableFile) {
    // A settings file without read permission is never replaced by the group alone (root
    // reads it anyway, so this part only has something to check for other users).
    writeSettings({QStringLiteral("AutoConnect=0"), QStringLiteral("Unknown=kept")});
    const QByteArray before = settingsBytes();
    QFile::setPermissions(AppLocations().settingsFile, QFileDevice::WriteOwner);
    if (!QFile(AppLocations().settingsFile).open(QIODevice::ReadOnly)) {
        EXPECT_THROW(SaveSettings(sgWizard), AppError);
        LoadSettings(); // reads as defaults without raising
        EXPECT_TRUE(Settings().autoConnect);
    }
    QFile::setPermissions(AppLocations().settingsFile,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(settingsBytes(), before);

    // The same for a settings file that cannot be read for another reason.
    const QString folder = m_dir.filePath(QStringLiteral("folder.ini"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_THROW(ReadNameValueFileForUpdate(folder), AppError);
    EXPECT_TRUE(ReadNameValueFile(folder).isEmpty());
    EXPECT_TRUE(ReadNameValueFileForUpdate(m_dir.filePath(QStringLiteral("none.ini"))).isEmpty());

    // The data folder cannot be created (a file is in the way).
    writeBytes(m_dir.filePath(QStringLiteral("blocker")), "x");
    InitLocations(m_dir.filePath(QStringLiteral("blocker/tellavo")));
    EXPECT_THROW(SaveSettings(sgWizard), AppError);
    EXPECT_THROW(SaveSettings(sgCall + 1), AppError);
}

TEST(ServerEndpoint, PortComesFromTheServerOrTheHttpsOption) {
    const struct {
        const char *server;
        bool ssl;
        const char *host;
        int port;
    } cases[] = {
        {"school.example", true, "school.example", 443},
        {"school.example", false, "school.example", 80},
        {"127.0.0.1:8443", true, "127.0.0.1", 8443},
        {"localhost:8080", true, "localhost", 8080},
        {"[::1]:9000", false, "::1", 9000},
        {"[::1]", true, "::1", 443},
        {"::1", false, "::1", 80},
        {"host:0", true, "host:0", 443},
        {"host:70000", true, "host:70000", 443},
        {"host:abc", false, "host:abc", 80},
        {"", true, "", 443},
    };
    for (const auto &c : cases) {
        const ServerEndpoint e = ParseServerEndpoint(QLatin1String(c.server), c.ssl);
        EXPECT_EQ(e.host, QLatin1String(c.host)) << c.server;
        EXPECT_EQ(e.port, c.port) << c.server;
    }
}

} // namespace
