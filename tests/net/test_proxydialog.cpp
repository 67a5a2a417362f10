#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/settings/proxydialog.h"
#include "net/settings/settings.h"
#include "scriptedseam.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class ProxyDialogTest : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        Settings() = AppSettings();
        for (const char *name : {"https_proxy", "HTTPS_PROXY", "http_proxy", "HTTP_PROXY"})
            qunsetenv(name);
    }
    void TearDown() override {
        qunsetenv("https_proxy");
        Settings() = AppSettings();
    }
    // Shows a fresh dialog over the current settings.
    void open() {
        m_dialog = std::make_unique<Tfproxy>();
        m_dialog->show();
    }
    template <class W = QWidget> W *child(const char *name) const {
        W *w = m_dialog->findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Enabled states of host, port, sign-in check box, user, password (with their labels).
    QString enabledState() const {
        QString state;
        for (const char *name : {"edit1", "lb_proxyserver", "edit2", "lb_proxyport", "CheckBox1",
                                 "Edit3", "lb_proxyname", "Edit4", "lb_proxypass"})
            state += child(name)->isEnabled() ? u'1' : u'0';
        return state;
    }

    ScriptedSeam m_seam;
    std::unique_ptr<Tfproxy> m_dialog;
};

TEST_F(ProxyDialogTest, EnablingFollowsBothCheckBoxes) {
    const struct {
        bool proxy, signIn;
        const char *opened;
    } cases[] = {{false, false, "000000000"},
                 {false, true, "000000000"},
                 {true, false, "111110000"},
                 {true, true, "111111111"}};
    for (const auto &c : cases) {
        Settings().proxyUse = c.proxy;
        Settings().proxyAuthentication = c.signIn;
        open();
        EXPECT_EQ(enabledState(), QLatin1String(c.opened)) << c.proxy << c.signIn;
        EXPECT_EQ(m_dialog->focusWidget(), child("CheckBox2"));
    }

    Settings() = AppSettings();
    open();
    child<QCheckBox>("CheckBox2")->click();
    EXPECT_EQ(enabledState(), QStringLiteral("111110000"));
    child<QCheckBox>("CheckBox1")->click();
    EXPECT_EQ(enabledState(), QStringLiteral("111111111"));
    child<QCheckBox>("CheckBox1")->click();
    EXPECT_EQ(enabledState(), QStringLiteral("111110000"));
    child<QCheckBox>("CheckBox1")->click();
    child<QCheckBox>("CheckBox2")->click();
    EXPECT_EQ(enabledState(), QStringLiteral("000000000"));
}

TEST_F(ProxyDialogTest, ClosingNeedsAnIntegerPortWhileTheProxyIsOn) {
    open();
    child<QCheckBox>("CheckBox2")->click();
    QTest::keyClicks(child("edit1"), QStringLiteral("proxy.local"));
    QTest::keyClicks(child("edit2"), QStringLiteral("80a"));
    child<QRadioButton>("rgonlineporttype_2")->click();
    child<QPushButton>("btn_close")->click();
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_seam.boxTexts(),
              QStringList{QStringLiteral("80a není platná celočíselná hodnota")});
    EXPECT_EQ(m_dialog->focusWidget(), child("edit2"));
    EXPECT_FALSE(Settings().proxyUse); // nothing taken over yet

    // Escape and the close box go the same way.
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    m_dialog->close();
    EXPECT_TRUE(m_dialog->isVisible());
    EXPECT_EQ(m_seam.boxes.size(), 3);

    // With the proxy off the same port does not hold the dialog.
    child<QCheckBox>("CheckBox2")->click();
    child<QPushButton>("btn_close")->click();
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(Settings().proxyServer, QStringLiteral("proxy.local"));
    EXPECT_EQ(Settings().proxyPort, QStringLiteral("80a"));
    EXPECT_EQ(Settings().onlinePortType, 2);
    EXPECT_FALSE(Settings().proxyUse);
}

// What the settings file could not hold keeps the dialog open, before anything is taken over.
TEST_F(ProxyDialogTest, ValuesThatCannotBeStoredKeepTheDialogOpen) {
    const struct {
        const char *field;
        QString text;
    } cases[] = {
        {"edit1", QStringLiteral("proxy\nProxyUse=0")},
        {"Edit3", QStringLiteral("user\r\n")},
        {"Edit4", QString(256, u'x')},
        {"Edit4", QStringLiteral("пароль")},
    };
    for (const auto &c : cases) {
        m_seam.boxes.clear();
        Settings() = AppSettings();
        open();
        child<QCheckBox>("CheckBox2")->click();
        child<QCheckBox>("CheckBox1")->click();
        child<QLineEdit>("edit2")->setText(QStringLiteral("3128"));
        child<QLineEdit>(c.field)->setText(c.text);
        child<QPushButton>("btn_close")->click();
        EXPECT_TRUE(m_dialog->isVisible()) << c.field;
        ASSERT_EQ(m_seam.boxes.size(), 1) << c.field;
        EXPECT_EQ(m_seam.boxes[0].type, mtError) << c.field;
        EXPECT_FALSE(Settings().proxyUse) << c.field;
        EXPECT_TRUE(Settings().proxyPort.isEmpty()) << c.field;
        m_dialog->hide();
    }
}

TEST_F(ProxyDialogTest, LeavingAWrongPortReturnsToIt) {
    Settings().proxyUse = true;
    open();
    m_dialog->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_dialog.get()));
    auto *port = child<QLineEdit>("edit2");
    port->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(port, QStringLiteral("x1"));
    child("edit1")->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(m_seam.boxes.size(), 1);
    EXPECT_EQ(m_seam.boxTexts().value(0), QStringLiteral("x1 není platná celočíselná hodnota"));
    EXPECT_TRUE(port->hasFocus());

    port->setText(QStringLiteral("8080"));
    child("edit1")->setFocus(Qt::TabFocusReason);
    QTest::qWait(20);
    EXPECT_EQ(m_seam.boxes.size(), 1);
}

TEST_F(ProxyDialogTest, DetectTakesTheSystemProxyOrReportsNone) {
    open();
    child<QPushButton>("btn_detect")->click();
    EXPECT_EQ(m_seam.boxTexts(),
              QStringList{QStringLiteral("Žádné připojení přes proxy server nebylo nalezeno.")});
    EXPECT_FALSE(child<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_TRUE(child<QLineEdit>("edit1")->text().isEmpty());

    qputenv("https_proxy", "http://proxy:8080/");
    child<QPushButton>("btn_detect")->click();
    EXPECT_EQ(m_seam.boxTexts().value(1),
              QStringLiteral("Bylo nalezeno toto připojení přes proxy server: proxy:8080"));
    EXPECT_EQ(child<QLineEdit>("edit1")->text(), QStringLiteral("proxy"));
    EXPECT_EQ(child<QLineEdit>("edit2")->text(), QStringLiteral("8080"));
    EXPECT_TRUE(child<QCheckBox>("CheckBox2")->isChecked());
    EXPECT_TRUE(child("edit1")->isEnabled());
}

TEST_F(ProxyDialogTest, CaptionsComeFromTheLanguageTables) {
    for (int lang : {int(LangCzech), int(LangSlovak)}) {
        SetLanguageIndex(lang);
        open();
        EXPECT_EQ(m_dialog->windowTitle(), AppText(216));
        EXPECT_EQ(child<QCheckBox>("CheckBox2")->text(), AppText(217));
        EXPECT_EQ(child<QGroupBox>("rgonlineporttype")->title(), AppText(224));
        QStringList radios;
        for (const char *name : {"rgonlineporttype_0", "rgonlineporttype_1", "rgonlineporttype_2"})
            radios.append(child<QRadioButton>(name)->text());
        EXPECT_EQ(radios.join(u';'), AppText(225));
        EXPECT_EQ(child<QPushButton>("btn_close")->text(), CommonText(15));
        EXPECT_EQ(child<QLineEdit>("Edit4")->echoMode(), QLineEdit::Password);
    }
    EXPECT_EQ(m_dialog->windowTitle(), QStringLiteral("Nastavenie HTTP proxy"));
}

} // namespace
