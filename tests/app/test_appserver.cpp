#include "app/tapp.h"
#include "base/locations.h"
#include "base/session.h"
#include "data/dm.h"
#include "errors/apperror.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "net/reportresult.h"
#include "lang/textutil.h"
#include "lesson/books/bookcatalogue.h"
#include "net/settings/scramble.h"
#include "net/settings/settings.h"
#include "qtprinters.h"
#include "screens/entrancetest/entrancetest.h"
#include "scriptedseam.h"
#include "serverharness.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The real program's windows signing in and out of the reference server over HTTPS.
class ProgramAgainstServer : public testing::Test {
protected:
    void SetUp() override {
        seam.clock = QDateTime::currentDateTime(); // the server's own clock
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        SessionValues().clear();
        useAccount(QStringLiteral("klient"), QStringLiteral("klient"));
        app = std::make_unique<TApp>(StartSwitches{});
        app->createWindows();
        app->mainWindow()->show();
    }
    void TearDown() override {
        if (IsSignedIn())
            click("im_connect");
        app.reset();
        SessionValues().clear();
    }
    void useAccount(const QString &name, const QString &password) {
        QFile ini(AppLocations().settingsFile);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        const QString text =
            QStringLiteral(
                "CentralServer=127.0.0.1:%1\r\nCentralServerPath=/tellavo/"
                "client.php\r\nCentralServerSSL=1\r\n"
                "CentralServerCAFile=%2\r\nAutoConnect=0\r\nLoginName=%3\r\nLoginPass=%4\r\n")
                .arg(server.httpsPort())
                .arg(server.dataFolder() + QStringLiteral("/certs/ca.pem"), name,
                     ScrambleText(password, name));
        ini.write(ToWin1250(text));
        ini.close();
        LoadSettings();
    }
    void click(const char *button) {
        QTest::mouseClick(app->mainWindow()->findChild<QWidget *>(button), Qt::LeftButton);
    }
    bool visible(const char *button) {
        return app->mainWindow()->findChild<QWidget *>(button)->isVisible();
    }
    bool enabled(const char *button) {
        return app->mainWindow()->findChild<QWidget *>(button)->isEnabled();
    }

    ScriptedSeam seam;
    ServerHarness server;
    QTemporaryDir dir;
    std::unique_ptr<TApp> app;
};

struct Account {
    const char *name;
    int type;
    bool orders, users;
};

TEST_F(ProgramAgainstServer, EachUserTypeSignsInAndOut) {
    // Without a local catalogue the first sign-in brings the school's catalogue instead.
    click("im_connect");
    EXPECT_FALSE(IsSignedIn());
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(169)});
    EXPECT_FALSE(Settings().booksVersion.isEmpty());
    seam.boxes.clear();
    for (const Account &a : {Account{"klient", 4, true, false}, Account{"lektor", 3, false, false},
                             Account{"reditel", 1, true, true}}) {
        useAccount(QString::fromLatin1(a.name), QString::fromLatin1(a.name));
        click("im_connect");
        ASSERT_TRUE(IsSignedIn()) << a.name << " " << seam.boxTexts().join('|').toStdString();
        EXPECT_EQ(UserType(), a.type);
        EXPECT_EQ(enabled("im_order"), a.orders) << a.name;
        EXPECT_EQ(visible("im_users"), a.users) << a.name;
        EXPECT_EQ(app->mainWindow()->statusPanel(0)->text(), "Připojen");
        EXPECT_FALSE(
            app->mainWindow()->findChild<QLabel *>("lb_uservalue")->text().trimmed().isEmpty());
        EXPECT_TRUE(dm().cd_usertype.Active());
        EXPECT_FALSE(BookCatalogue::Library().isEmpty()) << a.name;
        // The signed-in user's own record comes back from the server.
        dm().RefreshUserInfo();
        EXPECT_EQ(dm().cd_user_info.RecordCount(), 1);
        click("im_connect");
        EXPECT_FALSE(IsSignedIn());
        EXPECT_EQ(app->mainWindow()->statusPanel(0)->text(), "Odpojen");
        EXPECT_FALSE(dm().cd_usertype.Active());
    }
    EXPECT_EQ(seam.boxTexts(), QStringList());
}

TEST_F(ProgramAgainstServer, ProfileEditIsSavedAtOnceAndRefusedFieldsComeBack) {
    click("im_connect"); // the catalogue
    click("im_connect");
    ASSERT_TRUE(IsSignedIn());
    TClientTable &info = dm().cd_user_info;
    dm().RefreshUserInfo();
    info.Edit();
    info.FieldByName("EMAIL").SetAsString(QStringLiteral("novy@example.org"));
    info.FieldByName("TITLE").Clear();
    info.Post(); // applied and re-read at once
    EXPECT_EQ(info.ChangeCount(), 0);
    EXPECT_EQ(server.dbValue("SELECT EMAIL FROM USERS WHERE IDUSER = ?", {UserId()}).toString(),
              "novy@example.org");
    EXPECT_TRUE(server.dbValue("SELECT TITLE FROM USERS WHERE IDUSER = ?", {UserId()}).isNull());

    // A client may not change his own user type: the server refuses, the edit is gone.
    info.Edit();
    const qint64 type = info.FieldByName("USERTYPE").AsInteger();
    info.FieldByName("USERTYPE").SetAsInteger(1);
    EXPECT_THROW(info.Post(), AppError);
    EXPECT_EQ(info.FieldByName("USERTYPE").AsInteger(), type);
    EXPECT_EQ(info.ChangeCount(), 0);
}

TEST_F(ProgramAgainstServer, WrongPasswordIsRefused) {
    useAccount(QStringLiteral("klient"), QStringLiteral("wrong"));
    click("im_connect");
    EXPECT_FALSE(IsSignedIn());
    ASSERT_EQ(seam.boxes.size(), 1);
    EXPECT_TRUE(seam.boxes[0].text.startsWith(AppText(141)));
    // An empty name asks for the settings and sends nothing.
    useAccount(QString(), QString());
    click("im_connect");
    EXPECT_EQ(seam.boxes.last().text, AppText(165));
}

TEST_F(ProgramAgainstServer, RepeatedWrongPasswordsBlockForAWhileAndSayHowLong) {
    useAccount(QStringLiteral("klient"), QStringLiteral("wrong"));
    for (int i = 0; i < 5; ++i)
        click("im_connect");
    ASSERT_EQ(seam.boxes.size(), 5);
    EXPECT_TRUE(seam.boxes[4].text.startsWith(AppText(141)));
    // Now even the right password waits, and the message says so instead of "wrong password".
    useAccount(QStringLiteral("klient"), QStringLiteral("klient"));
    click("im_connect");
    EXPECT_FALSE(IsSignedIn());
    ASSERT_EQ(seam.boxes.size(), 6);
    // The first wait is ten seconds, of which a moment may have passed.
    const auto blockedFor = [&](const QString &text) {
        for (int seconds = 10; seconds > 0; --seconds)
            if (text == SignInBlockedText(seconds))
                return seconds;
        return 0;
    };
    EXPECT_GT(blockedFor(seam.boxes[5].text), 0) << seam.boxes[5].text.toStdString();
    // The refused try did not count as a further failure: the wait did not double.
    click("im_connect");
    EXPECT_GT(blockedFor(seam.boxes.last().text), 0) << seam.boxes.last().text.toStdString();
}

// Answers the first items of the entrance test as soon as it shows, then finishes it.
void takeEntranceTestWhenShown(int rightAnswers, int &shown) {
    auto *d = qobject_cast<Tfentrancetest *>(QApplication::activeModalWidget());
    if (!d) {
        QTimer::singleShot(
            20, [rightAnswers, &shown] { takeEntranceTestWhenShown(rightAnswers, shown); });
        return;
    }
    ++shown;
    for (int n = 1; n <= rightAnswers; ++n) {
        auto *answers = d->findChild<QComboBox *>(QStringLiteral("cb_item%1").arg(n));
        for (int i = 0; i < answers->count(); ++i)
            if (answers->itemText(i).endsWith(u' '))
                answers->setCurrentIndex(i);
    }
    auto *next = d->findChild<QPushButton *>(QStringLiteral("btn_next"));
    while (d->currentPage() < Tfentrancetest::PageCount - 1)
        next->click();
    next->click(); // the confirmation is answered by the scripted seam
}

TEST_F(ProgramAgainstServer, NewStudentTakesTheEntranceTestOnceAfterSignIn) {
    for (const char *name : {"welcome2.rtf", "welcome3.rtf", "entrancetest.txt"})
        ASSERT_TRUE(QFile::copy(QStringLiteral(TELLAVO_ASSETS "/") + QString::fromLatin1(name),
                                dir.filePath(QString::fromLatin1(name))));
    useAccount(QStringLiteral("novacek"), QStringLiteral("novacek"));
    QFile ini(AppLocations().settingsFile);
    ASSERT_TRUE(ini.open(QIODevice::Append));
    ini.write("RunWizardOnStartup=1\r\n");
    ini.close();
    LoadSettings();
    ASSERT_TRUE(Settings().runWizardOnStartup);
    click("im_connect"); // the catalogue
    ASSERT_FALSE(IsSignedIn());
    seam.boxes.clear();

    int shown = 0;
    takeEntranceTestWhenShown(10, shown);
    seam.boxAnswers.enqueue(mrYes);
    click("im_connect");
    ASSERT_TRUE(IsSignedIn());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(seam.boxTexts(), (QStringList{AppText(88), Tfentrancetest::SentText(10, 40)}));
    EXPECT_EQ(server.dbValue("SELECT PROGTESTRESULT FROM USERS WHERE IDUSER = ?", {Demo::Newcomer})
                  .toString(),
              "10");
    EXPECT_TRUE(Settings().runWizardOnStartup); // the box was not ticked

    // The next sign-in carries the result and does not offer the test again.
    click("im_connect");
    ASSERT_FALSE(IsSignedIn());
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&shown] {
        if (auto *d = qobject_cast<Tfentrancetest *>(QApplication::activeModalWidget())) {
            ++shown;
            d->done(QDialog::Rejected);
        }
    });
    watch.start(20);
    click("im_connect");
    ASSERT_TRUE(IsSignedIn());
    EXPECT_EQ(SessionValues().value(u"progtestresult"), "10");
    EXPECT_EQ(shown, 1);
}

} // namespace
