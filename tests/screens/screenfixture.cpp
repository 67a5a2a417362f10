#include "screenfixture.h"

#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"

#include <QApplication>
#include <QFile>
#include <QTest>
#include <QTimer>

void ScreenFixture::SetUp() {
    seam.clock = QDateTime::currentDateTime(); // the server's own clock
    SetLanguageIndex(LangCzech);
    InitLocations(dir.path() + QStringLiteral("/tellavo"));
    SessionValues().clear();
    useAccount(QStringLiteral("klient"));
    app = std::make_unique<TApp>(StartSwitches{});
    app->createWindows();
    app->mainWindow()->show();
}

void ScreenFixture::TearDown() {
    if (IsSignedIn())
        signOut();
    app.reset();
    SessionValues().clear();
}

void ScreenFixture::useAccount(const QString &name, const QString &password) {
    const QString pass = password.isNull() ? name : password;
    QFile ini(AppLocations().settingsFile);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    const QString text = QStringLiteral("CentralServer=127.0.0.1:%1\r\nCentralServerPath=/tellavo/"
                                        "client.php\r\nCentralServerSSL=0\r\nAutoConnect=0\r\n"
                                        "LoginName=%2\r\nLoginPass=%3\r\n")
                             .arg(server.httpPort())
                             .arg(name, ScrambleText(pass, name));
    ini.write(ToWin1250(text));
    ini.close();
    LoadSettings();
}

void ScreenFixture::signIn(const QString &name, const QString &password) {
    useAccount(name, password);
    clickMain("im_connect");
    if (!IsSignedIn() && seam.boxTexts().contains(AppText(169))) {
        seam.boxes.clear();
        clickMain("im_connect");
    }
    ASSERT_TRUE(IsSignedIn()) << seam.boxTexts().join(u'|').toStdString();
}

void ScreenFixture::signOut() {
    clickMain("im_connect");
}

QString ScreenFixture::sessionId() const {
    return SessionIdParam().section(u'=', 1);
}

void ScreenFixture::clickMain(const char *objectName) {
    QWidget *button = app->mainWindow()->findChild<QWidget *>(objectName);
    ASSERT_NE(button, nullptr) << objectName;
    QTest::mouseClick(button, Qt::LeftButton);
}

void WhenModal(std::function<void(QWidget *dialog)> action) {
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}
