#include "base/locations.h"
#include "base/session.h"
#include "scriptedseam.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class Session : public testing::Test {
protected:
    void SetUp() override { SessionValues().clear(); }
    void TearDown() override { SessionValues().clear(); }
};

TEST_F(Session, NameRulesCaseFirstWinsEmptyMeansMissing) {
    NameValueList &v = SessionValues();
    v.setText(QStringLiteral(
        "SESID=abc\r\nsesid=second\r\nname= spaced =x \r\nempty=\r\nplain line\r\n"));
    EXPECT_EQ(v.value(u"sesid"), "abc");
    EXPECT_EQ(v.value(u"NAME"), " spaced =x ");
    EXPECT_EQ(v.value(u"empty"), "");
    EXPECT_EQ(v.value(u"missing"), "");
    EXPECT_TRUE(IsSignedIn());
    EXPECT_EQ(SessionIdParam(), "PHPSESSID=abc");

    v.setValue(QStringLiteral("Sesid"), QString()); // every line of the name goes
    EXPECT_EQ(v.value(u"sesid"), "");
    EXPECT_FALSE(IsSignedIn());
    v.setText(QStringLiteral("LoginName=\r\nx=1\r\nloginname=eve\r\n"));
    v.setValue(QStringLiteral("LoginName"), QStringLiteral("ann")); // replaces, drops the rest
    EXPECT_EQ(v.lines(), QStringList({"LoginName=ann", "x=1"}));
    v.setText(QStringLiteral("name= spaced =x \r\nempty=\r\nplain line\r\n"));
    v.setValue(QStringLiteral("new"), QStringLiteral("1"));
    EXPECT_EQ(v.lines().last(), "new=1");
    EXPECT_TRUE(v.lines().contains("plain line"));
    v.setValue(QStringLiteral("NAME"), QStringLiteral("y"));
    EXPECT_EQ(v.lines().indexOf("NAME=y"), 0);
}

TEST_F(Session, SignedOutWithEmptySessionId) {
    SessionValues().setText(QStringLiteral("sesid=\nusertype=2"));
    EXPECT_FALSE(IsSignedIn());
    EXPECT_EQ(SessionIdParam(), "PHPSESSID=");
    SetSessionId(QStringLiteral("X1"));
    EXPECT_TRUE(IsSignedIn());
    SetSessionId(QString());
    EXPECT_FALSE(IsSignedIn());
}

struct ReaderCase {
    const char *lines;
    int userType, userId, jobId;
};

TEST_F(Session, TypedReadersFallBackToDefaults) {
    const ReaderCase cases[] = {
        {"", 4, 0, 0},
        {"usertype=abc\niduser=x\nidjob=", 4, 0, 0},
        {"UserType=3\nIDUSER=17\nidjob=5", 3, 17, 5},
        {"usertype=1 \niduser=-2", 4, -2, 0},
    };
    for (const ReaderCase &c : cases) {
        SessionValues().setText(QString::fromLatin1(c.lines));
        EXPECT_EQ(UserType(), c.userType) << c.lines;
        EXPECT_EQ(UserId(), c.userId) << c.lines;
        EXPECT_EQ(JobId(), c.jobId) << c.lines;
    }
    SessionValues().setText(QStringLiteral("p2pserver=relay.example"));
    EXPECT_EQ(RelayServer(), "relay.example");
}

TEST(ServerDateTime, ParsesTheServerFormOrGivesNow) {
    ScriptedSeam seam;
    const QDateTime now = seam.clock;
    EXPECT_EQ(ParseServerDateTime(QStringLiteral("2009-03-21 17:05:00")),
              QDateTime(QDate(2009, 3, 21), QTime(17, 5, 0)));
    EXPECT_EQ(ParseServerDateTime(QStringLiteral("2009-03-21")),
              QDateTime(QDate(2009, 3, 21), QTime(0, 0)));
    for (const char *bad : {"", "2009-13-01 10:00:00", "2009-02-30", "21.3.2009 17:05:00",
                            "2009-03-21 25:00:00", "garbage"})
        EXPECT_EQ(ParseServerDateTime(QString::fromLatin1(bad)), now) << bad;
    EXPECT_EQ(FormatServerDateTime(QDateTime(QDate(2009, 3, 21), QTime(7, 5, 9))),
              "2009-03-21 07:05:09");
}

TEST(FormatAmount, TwoDecimalsWithLocaleGrouping) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Czech));
    EXPECT_EQ(FormatAmount(1234567.891), QString::fromUtf8("1\u00a0234\u00a0567,89"));
    EXPECT_EQ(FormatAmount(0), "0,00");
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(FormatAmount(-1500.5), "-1,500.50");
    QLocale::setDefault(saved);
}

TEST(Locations, DerivedFromTheProgramPath) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/a/b");
    InitLocations(folder + QStringLiteral("/tellavo"));
    EXPECT_EQ(AppLocations().programFolder, folder);
    EXPECT_EQ(AppLocations().dataFolder, folder);
    EXPECT_EQ(AppLocations().settingsFile, folder + "/tellavo.ini");
    EXPECT_EQ(AppLocations().booksIni, folder + "/books.ini");
    EXPECT_EQ(AppLocations().booksFolder, folder + "/books");
    EXPECT_EQ(UpdateFilePath(), QDir(QDir::tempPath()).filePath("update.exe"));
    InitLocations(folder + QStringLiteral("/prog.v2.exe"));
    EXPECT_EQ(AppLocations().settingsFile, folder + "/prog.v2.ini");
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_TRUE(EnsureDataFolder());
    EXPECT_TRUE(QDir(folder).exists());
    InitLocations(QStringLiteral("/tellavo"));
    EXPECT_EQ(AppLocations().programFolder, "/");
    EXPECT_EQ(AppLocations().settingsFile, "/tellavo.ini");
    EXPECT_TRUE(SkypeVersion().isEmpty());
}

} // namespace
