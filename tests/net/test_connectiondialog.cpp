#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/connectiondialog.h"
#include "net/settings/proxydialog.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QString kRestartNotice =
    QStringLiteral("Změna nastavení jazyka se projeví až po restartu programu.");

class ConnectionDialogTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        InitLocations(m_dir.filePath(QStringLiteral("tellavo")));
        SetLanguageIndex(LangCzech);
        writeSettings("Unknown=kept\r\nLoginName=jan\r\nLoginPass=" +
                      ScrambleText(QStringLiteral("heslo"), QStringLiteral("jan")).toLatin1() +
                      "\r\nCentralServer=school.example\r\n");
        LoadSettings();
    }
    void TearDown() override {
        SetLanguageIndex(LangCzech);
        Settings() = AppSettings();
    }

    static void writeSettings(const QByteArray &bytes) {
        QFile file(AppLocations().settingsFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static NameValueList settingsFile() {
        QFile file(AppLocations().settingsFile);
        NameValueList values;
        if (file.open(QIODevice::ReadOnly))
            values.setText(FromWin1250(file.readAll()));
        return values;
    }
    void open(bool installMode = false) {
        m_dialog = std::make_unique<Tfconnection>(installMode);
        m_dialog->show();
    }
    template <class W = QWidget> W *child(const char *name) const {
        W *w = m_dialog->findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    QTemporaryDir m_dir;
    ScriptedSeam m_seam;
    std::unique_ptr<Tfconnection> m_dialog;
};

TEST_F(ConnectionDialogTest, OpensOnTheSettingsInMemory) {
    Settings().useSsl = false;
    Settings().langId = LangSlovak;
    open();
    EXPECT_EQ(child<QLineEdit>("edloginname")->text(), QStringLiteral("jan"));
    EXPECT_EQ(child<QLineEdit>("edloginpass")->text(), QStringLiteral("heslo"));
    EXPECT_EQ(child<QLineEdit>("edloginpass")->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(child<QCheckBox>("chbssl")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("chbautoconnect")->isChecked());
    auto *languages = child<QComboBox>("cb_lang");
    EXPECT_FALSE(languages->isEditable());
    ASSERT_EQ(languages->count(), 2);
    EXPECT_EQ(languages->itemData(0).toInt(), LangCzech);
    EXPECT_EQ(languages->itemData(1).toInt(), LangSlovak);
    EXPECT_EQ(languages->itemText(0).toLower(), QLocale(QLocale::Czech).nativeLanguageName());
    EXPECT_EQ(languages->itemText(1).toLower(), QLocale(QLocale::Slovak).nativeLanguageName());
    EXPECT_EQ(languages->currentData().toInt(), LangSlovak);
    EXPECT_EQ(m_dialog->focusWidget(), m_dialog.get()); // a name is there: no control focused
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("Nastavení připojení"));
    m_dialog->reject();

    Settings().loginName.clear();
    open(true);
    EXPECT_EQ(m_dialog->focusWidget(), child("edloginname"));
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("Tellavo - Nastavení připojení"));
}

TEST_F(ConnectionDialogTest, OkWritesTheConnectionGroupAndNoticesALanguageChange) {
    const struct {
        bool installMode;
        int language; // row of the list to select
        bool notice;
    } cases[] = {{false, 1, true}, {false, 0, false}, {true, 1, false}};
    for (const auto &c : cases) {
        SetUp();
        m_seam.boxes.clear();
        open(c.installMode);
        child<QLineEdit>("edloginname")->setText(QStringLiteral("Šimon"));
        child<QLineEdit>("edloginpass")->setText(QStringLiteral("nové"));
        child<QCheckBox>("chbssl")->click();
        child<QComboBox>("cb_lang")->setCurrentIndex(c.language);
        child<QPushButton>("btn_ok")->click();

        EXPECT_FALSE(m_dialog->isVisible());
        EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
        EXPECT_EQ(m_seam.boxTexts(), c.notice ? QStringList{kRestartNotice} : QStringList{});
        const NameValueList file = settingsFile();
        EXPECT_EQ(file.lines().value(0), QStringLiteral("Unknown=kept"));
        EXPECT_EQ(file.value(u"LoginName"), QStringLiteral("Šimon"));
        EXPECT_EQ(file.value(u"CentralServerSSL"), QStringLiteral("0"));
        EXPECT_EQ(file.value(u"AutoConnect"), QStringLiteral("1"));
        EXPECT_EQ(file.value(u"LangID"), QString::number(c.language ? LangSlovak : LangCzech));
        QString pass;
        EXPECT_TRUE(UnscrambleText(file.value(u"LoginPass"), QStringLiteral("Šimon"), pass));
        EXPECT_EQ(pass, QStringLiteral("nové"));
        // Reloaded from the file, the new language shows when the dialog opens again.
        EXPECT_EQ(Settings().loginName, QStringLiteral("Šimon"));
        EXPECT_EQ(Settings().langId, c.language ? LangSlovak : LangCzech);
        EXPECT_EQ(LanguageIndex(), LangCzech);
    }
}

TEST_F(ConnectionDialogTest, CancelAndCloseDiscardEditsAndReloadTheFile) {
    const QByteArray before = [] {
        QFile f(AppLocations().settingsFile);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    for (int way = 0; way < 3; ++way) {
        open();
        QTest::keyClicks(child("edloginname"), QStringLiteral("xyz"));
        child<QCheckBox>("chbautoconnect")->click();
        Settings().autoConnect = false; // a value in memory that the file does not hold
        if (way == 0)
            child<QPushButton>("btn_cancel")->click();
        else if (way == 1)
            m_dialog->close();
        else
            QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
        EXPECT_FALSE(m_dialog->isVisible()) << way;
        EXPECT_EQ(m_dialog->result(), QDialog::Rejected) << way;
        EXPECT_EQ(Settings().loginName, QStringLiteral("jan")) << way;
        EXPECT_TRUE(Settings().autoConnect) << way;
        EXPECT_EQ(CurrentConnectionTarget().server, QStringLiteral("school.example"));
    }
    QFile f(AppLocations().settingsFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
}

TEST_F(ConnectionDialogTest, PasswordThatCannotBeStoredKeepsTheDialogOpen) {
    open();
    child<QLineEdit>("edloginpass")->setText(QString(256, u'x'));
    child<QPushButton>("btn_ok")->click();
    EXPECT_TRUE(m_dialog->isVisible());
    ASSERT_EQ(m_seam.boxes.size(), 1);
    EXPECT_EQ(m_seam.boxes[0].type, 1); // an error box
    EXPECT_EQ(settingsFile().value(u"LoginName"), QStringLiteral("jan"));
    EXPECT_EQ(Settings().loginPass, QStringLiteral("heslo"));
}

// Closes the proxy dialog, once it is shown, after letting the test change it.
void whenProxyDialogShows(const std::function<void(Tfproxy *)> &change) {
    QTimer::singleShot(0, [change] {
        auto *proxy = qobject_cast<Tfproxy *>(QApplication::activeModalWidget());
        ASSERT_NE(proxy, nullptr);
        change(proxy);
        proxy->findChild<QPushButton *>(QStringLiteral("btn_close"))->click();
    });
}

TEST_F(ConnectionDialogTest, ProxyDialogWritesItsGroupWheneverItCloses) {
    open();
    QTest::keyClicks(child("edloginname"), QStringLiteral("-edited"));

    // Unchanged: the proxy keys are written with their current values.
    whenProxyDialogShows([](Tfproxy *) {});
    child<QPushButton>("btn_proxy")->click();
    NameValueList file = settingsFile();
    EXPECT_EQ(file.value(u"ProxyUse"), QStringLiteral("0"));
    EXPECT_EQ(file.value(u"ProxyAuthentication"), QStringLiteral("0"));
    EXPECT_EQ(file.value(u"OnlinePortType"), QStringLiteral("0"));
    EXPECT_FALSE(file.value(u"ProxyPass").isEmpty());

    whenProxyDialogShows([](Tfproxy *proxy) {
        proxy->findChild<QCheckBox *>(QStringLiteral("CheckBox2"))->click();
        QTest::keyClicks(proxy->findChild<QLineEdit *>(QStringLiteral("edit1")),
                         QStringLiteral("proxy.local"));
        QTest::keyClicks(proxy->findChild<QLineEdit *>(QStringLiteral("edit2")),
                         QStringLiteral("3128"));
    });
    child<QPushButton>("btn_proxy")->click();
    EXPECT_TRUE(m_dialog->isVisible());
    file = settingsFile();
    EXPECT_EQ(file.value(u"ProxyUse"), QStringLiteral("1"));
    EXPECT_EQ(file.value(u"Proxyserver"), QStringLiteral("proxy.local"));
    EXPECT_EQ(file.value(u"ProxyPort"), QStringLiteral("3128"));

    // Cancelling the connection dialog keeps the proxy but drops the other edits.
    child<QPushButton>("btn_cancel")->click();
    EXPECT_EQ(settingsFile().value(u"LoginName"), QStringLiteral("jan"));
    EXPECT_TRUE(Settings().proxyUse);
    EXPECT_EQ(Settings().proxyServer, QStringLiteral("proxy.local"));
}

TEST_F(ConnectionDialogTest, InstallModeShowsTheDialogAlone) {
    QString title;
    QTimer::singleShot(0, [&title] {
        auto *dialog = qobject_cast<Tfconnection *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->findChild<QPushButton *>(QStringLiteral("btn_cancel"))->click();
    });
    Settings() = AppSettings();
    EXPECT_EQ(RunInstallMode(), 0);
    EXPECT_EQ(title, QStringLiteral("Tellavo - Nastavení připojení"));
    EXPECT_EQ(Settings().loginName, QStringLiteral("jan"));
}

TEST_F(ConnectionDialogTest, TlsTrustIsEditedAndSavedWithTheConnection) {
    writeSettings("LoginName=jan\r\nCentralServerCAFile=old.pem\r\n");
    LoadSettings();
    open();
    auto *verify = child<QCheckBox>("chbtlsverify");
    auto *caFile = child<QLineEdit>("edcafile");
    EXPECT_TRUE(verify->isChecked());
    EXPECT_EQ(caFile->text(), QStringLiteral("old.pem"));
    child<QCheckBox>("chbssl")->click(); // without HTTPS there is nothing to trust
    EXPECT_FALSE(verify->isEnabled());
    EXPECT_FALSE(caFile->isEnabled());
    child<QCheckBox>("chbssl")->click();
    EXPECT_TRUE(caFile->isEnabled());

    m_seam.fileAnswers.enqueue(QStringLiteral("/etc/school/ca.pem"));
    child<QPushButton>("btn_cafile")->click();
    ASSERT_EQ(m_seam.fileDialogs.size(), 1);
    EXPECT_EQ(m_seam.fileDialogs[0].caption, AppText(1009));
    EXPECT_EQ(caFile->text(), QStringLiteral("/etc/school/ca.pem"));
    verify->click();
    EXPECT_FALSE(caFile->isEnabled());
    child<QPushButton>("btn_ok")->click();

    const NameValueList file = settingsFile();
    EXPECT_EQ(file.value(u"CentralServerTLSVerify"), QStringLiteral("0"));
    EXPECT_EQ(file.value(u"CentralServerCAFile"), QStringLiteral("/etc/school/ca.pem"));
    EXPECT_FALSE(Settings().tlsVerify);

    // Back to the defaults: no trust lines are left in the file.
    open();
    child<QCheckBox>("chbtlsverify")->click();
    child<QLineEdit>("edcafile")->clear();
    child<QPushButton>("btn_ok")->click();
    const QString text = settingsFile().lines().join(u'\n');
    EXPECT_FALSE(text.contains(QStringLiteral("CentralServerTLSVerify"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("CentralServerCAFile"))) << text.toStdString();
}

TEST_F(ConnectionDialogTest, CaptionsComeFromTheLanguageTables) {
    SetLanguageIndex(LangSlovak);
    open();
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("Nastavenie pripojenia"));
    const struct {
        const char *name;
        QString text;
    } buttons[] = {{"chbautoconnect", AppText(184)},
                   {"chbssl", AppText(185)},
                   {"chbtlsverify", QStringLiteral("&Overovať certifikát servera")},
                   {"btn_cafile", AppText(1008)},
                   {"btn_proxy", AppText(186)},
                   {"btn_ok", CommonText(1)},
                   {"btn_cancel", CommonText(2)}};
    for (const auto &b : buttons)
        EXPECT_EQ(child<QAbstractButton>(b.name)->text(), b.text) << b.name;
    EXPECT_EQ(child<QAbstractButton>("btn_cancel")->text(), QStringLiteral("&Zrušiť"));
    EXPECT_TRUE(child<QPushButton>("btn_ok")->isDefault());
}

} // namespace
