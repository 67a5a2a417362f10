#include "app/tapp.h"
#include "base/locations.h"
#include "base/session.h"
#include "lang/texts.h"
#include "lesson/books/bookcatalogue.h"
#include "net/reportresult.h"
#include "net/runrequest.h"
#include "net/settings/settings.h"
#include "seam/guard.h"
#include "seam/messagebox.h"
#include "signin_fixture.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace {

QString sessionAt(const QDateTime &serverTime, const QString &extra = QString()) {
    return QStringLiteral("sesid=abc\r\nusertype=4\r\niduser=7\r\nidjob=2\r\nbookids=2\r\n"
                          "servertime=%1\r\n%2")
        .arg(serverTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), extra);
}

TEST_F(SignInTest, SignsInLoadsTablesAndSetsTheRemoteAddress) {
    QFile ini(AppLocations().booksIni);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("BooksVersion=3\r\nBooks=2\r\nName1=One\r\nName2=Two\r\n");
    ini.close();
    server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), AllLookups())));
    signIn->SignIn();

    EXPECT_TRUE(IsSignedIn());
    EXPECT_EQ(UserId(), 7);
    EXPECT_EQ(module.cd_ttstatus.RecordCount(), 8);
    EXPECT_EQ(module.cd_user_info.FieldByName("FULLNAME").AsString(),
              QString::fromUtf8("Jan Nový"));
    ASSERT_EQ(BookCatalogue::Library().size(), 1);
    EXPECT_EQ(BookCatalogue::Library()[0].number, 2);
    EXPECT_EQ(
        module.phpdbcon.URL,
        QStringLiteral("http://%1/tellavo/client.php?PHPSESSID=abc").arg(server.hostAndPort()));
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(seam.boxes.isEmpty());

    const LoopbackRequest login = Requests("login").value(0);
    EXPECT_FALSE(login.target.contains("PHPSESSID"));
    EXPECT_TRUE(
        login.body.startsWith("user=Jan+Nov%25C3%25BD&pass=tajne+heslo&logintype=1&loginver="));
    EXPECT_TRUE(login.body.contains("&job=2&envlang=2&ssl=0&polling=0&booksver=&skypever=&osver="));
    EXPECT_TRUE(login.body.endsWith("&proxy=0"));
}

TEST_F(SignInTest, EmptyNameAndRefusedPasswordStaySignedOut) {
    Settings().loginName.clear();
    signIn->SignIn();
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(165)});
    EXPECT_TRUE(server.received.isEmpty());

    Settings().loginName = QStringLiteral("jan");
    server.replies.enqueue(Reply(203, "error bad password"));
    signIn->SignIn();
    EXPECT_FALSE(IsSignedIn());
    ASSERT_EQ(seam.boxes.size(), 2);
    EXPECT_TRUE(seam.boxes[1].text.startsWith(AppText(141)));
    EXPECT_EQ(refreshes, 1);
}

TEST_F(SignInTest, CancelledSignInShowsTheInterruptionWithoutServerText) {
    LoopbackReply slow = Reply(200, LoginReply(sessionAt(seam.clock), AllLookups()));
    slow.delayMs = 5000;
    server.replies.enqueue(slow);
    QTimer::singleShot(300, [] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *cancel = w->findChild<QPushButton *>(); cancel && w->isVisible())
                cancel->click();
    });
    signIn->SignIn();
    EXPECT_FALSE(IsSignedIn());
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(143)});
}

TEST_F(SignInTest, ReplyEndingAfterTheUserKeepsTheOtherLookups) {
    server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), AllLookups())));
    signIn->SignIn();
    signIn->SilentSignOut();
    module.cd_usertype.LoadFromBytes(LookupPacket("IDUSERTYPE", 4));
    const QList<QByteArray> two = AllLookups().mid(0, 2);
    server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), two)));
    signIn->SignIn();
    EXPECT_TRUE(IsSignedIn());
    EXPECT_EQ(module.cd_usertype.RecordCount(), 4);
}

TEST_F(SignInTest, ClockWarningBeyondOneHour) {
    for (int offset : {3600, -3600, 3601, -3601}) {
        seam.boxes.clear();
        server.replies.enqueue(
            Reply(200, LoginReply(sessionAt(seam.clock.addSecs(offset)), AllLookups())));
        signIn->SignIn();
        EXPECT_TRUE(IsSignedIn());
        if (qAbs(offset) == 3600) {
            EXPECT_TRUE(seam.boxes.isEmpty()) << offset;
        } else {
            ASSERT_EQ(seam.boxes.size(), 1) << offset;
            EXPECT_TRUE(seam.boxes[0].text.startsWith(AppText(170) + "\r\n")) << offset;
            EXPECT_EQ(seam.boxes[0].type, mtWarning);
        }
        SessionValues().clear();
    }
}

TEST_F(SignInTest, UpdateDemandLeavesTheUserSignedOut) {
    const QString demand =
        sessionAt(seam.clock, QStringLiteral("updatever=2.0\r\nupdatelink=/files/update.bin\r\n"
                                             "updateexecparams=/silent\r\nBooksVersion=9\r\n"));
    server.replies.enqueue(Reply(200, LoginReply(demand, {})));
    seam.boxAnswers.enqueue(mrNo);
    signIn->SignIn();
    EXPECT_FALSE(IsSignedIn());
    EXPECT_TRUE(seam.started.isEmpty());
    EXPECT_EQ(seam.boxes.size(), 1); // only the update question, no catalogue notice
    EXPECT_TRUE(seam.boxes[0].text.contains("Tellavo 2.0"));

    server.replies.enqueue(Reply(200, LoginReply(demand, {})));
    server.replies.enqueue(Reply(200, "#!/bin/sh\nexit 0\n")); // the update program, not "ok..."
    seam.boxAnswers.enqueue(mrYes);
    signIn->SignIn();
    EXPECT_FALSE(IsSignedIn());
    EXPECT_TRUE(server.received.last().target.endsWith("/files/update.bin"));
    QFile update(UpdateFilePath());
    ASSERT_TRUE(update.open(QIODevice::ReadOnly));
    EXPECT_EQ(update.readAll(), "#!/bin/sh\nexit 0\n");
    ASSERT_EQ(seam.started.size(), 1);
    EXPECT_EQ(seam.started[0],
              (QStringList{UpdateFilePath(), "/silent", "/dir=" + AppLocations().programFolder}));
    EXPECT_EQ(refreshes, 0);
}

TEST_F(SignInTest, NewCatalogueIsStoredAndTheUserSignsInAgain) {
    const QByteArray catalogue = LoginReply(
        QStringLiteral("BooksVersion=12\r\nDeleteBooks=3\r\nBooks=1\r\nName1=Nová\r\n"), {});
    // With AutoConnect on, the second sign-in follows the notice at once, with the new
    // catalogue's version.
    server.replies.enqueue(Reply(200, catalogue));
    server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), AllLookups())));
    signIn->SignIn();
    EXPECT_TRUE(IsSignedIn());
    ASSERT_EQ(Requests("login").size(), 2);
    EXPECT_TRUE(Requests("login")[1].body.contains("&booksver=12&"));
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(169)});
    SessionValues().clear();
    seam.boxes.clear();

    Settings().autoConnect = false;
    server.replies.enqueue(Reply(200, catalogue));
    signIn->SignIn();
    EXPECT_FALSE(IsSignedIn());
    EXPECT_EQ(Requests("login").size(), 3);
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(169)});
    EXPECT_EQ(Settings().booksVersion, "12");
    EXPECT_EQ(BookCatalogue::CatalogueVersion(), "12");
    QFile ini(AppLocations().booksIni);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ini.readAll().contains("DeleteBooks"));
    ini.close();

    // A catalogue that cannot be written keeps the old version, so the next sign-in asks again.
    ASSERT_TRUE(QFile::remove(AppLocations().booksIni));
    ASSERT_TRUE(QDir().mkpath(AppLocations().booksIni));
    server.replies.enqueue(
        Reply(200, LoginReply(QStringLiteral("BooksVersion=13\r\nBooks=0\r\n"), {})));
    try {
        signIn->SignIn();
    } catch (const std::exception &) {
    }
    EXPECT_FALSE(IsSignedIn());
    EXPECT_EQ(Settings().booksVersion, "12");
}

TEST_F(SignInTest, UpdateThatIsARefusalOrEmptyOrCannotStartIsReported) {
    const QString demand =
        sessionAt(seam.clock, QStringLiteral("updatever=2.0\r\nupdatelink=/files/update.bin\r\n"));
    struct Case {
        QByteArray body;
        bool starts;
        QString box;
        bool written;
    } const cases[] = {
        {"errorNo update today", true, AppText(144) + QChar(13) + "No update today", false},
        {"", true, AppText(144), false},
        {"#!/bin/sh\n", false, AppText(1011).replace("%s", UpdateFilePath()), true},
    };
    // A responder whose program starts may fail.
    struct StartSeam : ScriptedSeam {
        bool starts = true;
        bool startProcess(const QString &program, const QStringList &arguments) override {
            ScriptedSeam::startProcess(program, arguments);
            return starts;
        }
    } seam;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.body.toStdString());
        QFile::remove(UpdateFilePath());
        seam.starts = c.starts;
        seam.boxes.clear();
        seam.started.clear();
        server.replies.enqueue(Reply(200, LoginReply(demand, {})));
        server.replies.enqueue(Reply(200, c.body));
        seam.boxAnswers.enqueue(mrYes);
        signIn->SignIn();
        ASSERT_EQ(seam.boxes.size(), 2); // the question, then the outcome
        EXPECT_EQ(seam.boxes[1].text, c.box);
        EXPECT_EQ(seam.boxes[1].type, mtError);
        EXPECT_EQ(QFile::exists(UpdateFilePath()), c.written);
        EXPECT_EQ(seam.started.size(), c.written ? 1 : 0);
    }
}

TEST_F(SignInTest, DamagedReplyIsReportedInOurWords) {
    const QByteArray replies[] = {
        "okzip" + QByteArray("not a zlib stream"),
        "oksesid=abc\r\nusertype=4\r\n", // a session but none of the tables
    };
    for (const QByteArray &reply : replies) {
        SCOPED_TRACE(reply.toStdString());
        seam.boxes.clear();
        server.replies.enqueue(Reply(200, reply));
        RunGuarded([this] { signIn->SignIn(); });
        EXPECT_FALSE(IsSignedIn());
        EXPECT_EQ(seam.boxTexts(), QStringList{AppText(1012)});
    }
}

TEST_F(SignInTest, SessionEndedByTheServerEndsTheLocalOneWithOneMessage) {
    const std::function<void()> ways[] = {
        [] { ReportResult(RunRequest(QString(), "changepass", "old=a&new=b", false, false)); },
        [this] { RunGuarded([this] { module.RefreshUserInfo(); }); },
        [this] { signIn->SignOut(); }, // nobody to tell: the user signed out anyway
    };
    for (size_t i = 0; i < std::size(ways); ++i) {
        SCOPED_TRACE(i);
        server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), AllLookups())));
        signIn->SignIn();
        ASSERT_TRUE(IsSignedIn());
        seam.boxes.clear();
        const int before = refreshes;
        server.replies.enqueue(Reply(203, "error invalid session"));
        ways[i]();
        QCoreApplication::processEvents();
        EXPECT_FALSE(IsSignedIn());
        EXPECT_TRUE(module.phpdbcon.URL.isEmpty());
        EXPECT_FALSE(module.cd_usertype.Active());
        EXPECT_EQ(refreshes, before + 1);
        EXPECT_EQ(seam.boxTexts(), i == 2 ? QStringList() : QStringList{AppText(1005)});
    }
}

TEST_F(SignInTest, EntranceTestOnlyForAStudentWithoutResultWhenAsked) {
    struct Case {
        const char *session; // after the session id
        bool asked;          // RunWizardOnStartup
        int offered;
    };
    const Case cases[] = {
        {"usertype=4\r\n", true, 1},
        {"", true, 1}, // a missing type counts as a student
        {"usertype=4\r\nprogtestresult=55\r\n", true, 0},
        {"usertype=4\r\n", false, 0},
        {"usertype=3\r\n", true, 0},
        {"usertype=2\r\n", true, 0},
        {"usertype=1\r\n", true, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.session);
        SessionValues().clear();
        entranceTests = 0;
        Settings().runWizardOnStartup = c.asked;
        const QString session = QStringLiteral("sesid=abc\r\niduser=7\r\nservertime=%1\r\n%2")
                                    .arg(seam.clock.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
                                         QString::fromLatin1(c.session));
        server.replies.enqueue(Reply(200, LoginReply(session, AllLookups())));
        signIn->SignIn();
        ASSERT_TRUE(IsSignedIn());
        EXPECT_EQ(entranceTests, c.offered);
    }
}

TEST_F(SignInTest, SignOutClosesTablesAndSendsLogout) {
    server.replies.enqueue(Reply(200, LoginReply(sessionAt(seam.clock), AllLookups())));
    signIn->SignIn();
    server.replies.enqueue(Reply(200, "ok"));
    signIn->SignOut();
    EXPECT_FALSE(IsSignedIn());
    EXPECT_FALSE(module.cd_usertype.Active());
    EXPECT_TRUE(module.phpdbcon.URL.isEmpty());
    const QList<LoopbackRequest> logout = Requests("logout");
    ASSERT_EQ(logout.size(), 1);
    EXPECT_TRUE(logout[0].target.contains("PHPSESSID=abc"));
    EXPECT_TRUE(seam.boxes.isEmpty());
}

} // namespace

namespace {

// The start message once the event loop runs: the update notice and the automatic sign-in.
class StartMessage : public testing::Test {
protected:
    void SetUp() override {
        SetLanguageIndex(LangCzech);
        InitLocations(dir.path() + QStringLiteral("/tellavo"));
        SessionValues().clear();
    }
    void writeSettings(const QByteArray &text) {
        QFile ini(AppLocations().settingsFile);
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text);
    }
    QTemporaryDir dir;
    ScriptedSeam seam;
};

TEST_F(StartMessage, UpdatedSwitchDeletesTheUpdateFileAndAutoConnectSignsIn) {
    QFile update(UpdateFilePath());
    ASSERT_TRUE(update.open(QIODevice::WriteOnly));
    update.close();
    writeSettings("AutoConnect=0\r\n");
    StartSwitches switches;
    switches.updated = true;
    TApp app(switches);
    app.createWindows();
    app.startMessage();
    EXPECT_FALSE(QFile::exists(UpdateFilePath()));
    EXPECT_EQ(seam.boxTexts(), QStringList{AppText(162)});

    // With AutoConnect on (the default) the sign-in runs: without a name it asks for one.
    writeSettings("LoginName=\r\n");
    TApp second(StartSwitches{});
    second.createWindows();
    second.startMessage();
    EXPECT_EQ(seam.boxTexts().last(), AppText(165));
}

} // namespace
