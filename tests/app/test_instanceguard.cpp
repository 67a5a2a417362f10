#include "app/instanceguard.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// Generous bounds on a loaded machine: every wait ends as soon as its process does.
constexpr int kPatienceMs = 60000;

// Runs copies of the built program from a private folder, so that each test has its own
// installation (settings file and instance guard).
class Installation : public testing::Test {
protected:
    void SetUp() override {
        program = dir.filePath(QStringLiteral("tellavo"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TELLAVO_PROGRAM), program));
        writeSettings("AutoConnect=0\r\n");
    }
    void TearDown() override {
        for (QProcess *p : processes) {
            p->kill();
            p->waitForFinished(3000);
            delete p;
        }
    }
    void writeSettings(const char *text) {
        QFile file(dir.filePath(QStringLiteral("tellavo.ini")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    QByteArray settings() {
        QFile file(dir.filePath(QStringLiteral("tellavo.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Without a display: no platform plugin, no X or Wayland server.
    QProcess *start(const QStringList &arguments = {}, bool display = true) {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (!display) {
            for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(QString::fromLatin1(name));
        }
        p->setProcessEnvironment(env);
        p->start(program, arguments);
        processes.append(p);
        return p;
    }
    // Waits until the first instance owns its guard (its local socket answers). Probing with
    // the socket, not with another start, cannot itself become the running instance.
    void waitUntilRunning() {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < kPatienceMs) {
            QLocalSocket probe;
            probe.connectToServer(InstanceGuard::GuardName(program));
            if (probe.waitForConnected(1000))
                return;
            QThread::msleep(50);
        }
        FAIL() << "first instance never started";
    }

    QTemporaryDir dir;
    QString program;
    QList<QProcess *> processes;
};

TEST_F(Installation, SecondStartEndsAndCloseSwitchEndsTheRunningInstance) {
    QProcess *first = start();
    ASSERT_TRUE(first->waitForStarted(kPatienceMs));
    waitUntilRunning();
    EXPECT_EQ(first->state(), QProcess::Running);

    QProcess *closer = start({QStringLiteral("-CLOSE")});
    ASSERT_TRUE(closer->waitForFinished(kPatienceMs));
    EXPECT_EQ(closer->exitCode(), 0);
    ASSERT_TRUE(first->waitForFinished(kPatienceMs));
    EXPECT_EQ(first->exitCode(), 0);
    // Closing saved the window placement of the first start.
    EXPECT_TRUE(settings().contains("Main Window=0;"));
}

TEST_F(Installation, CloseSwitchWithoutRunningInstanceEndsAtOnce) {
    for (bool display : {true, false}) {
        QProcess *closer = start({QStringLiteral("/close")}, display);
        ASSERT_TRUE(closer->waitForFinished(kPatienceMs));
        EXPECT_EQ(closer->exitStatus(), QProcess::NormalExit) << display;
        EXPECT_EQ(closer->exitCode(), 0) << display;
    }
    EXPECT_EQ(settings(), "AutoConnect=0\r\n");
}

TEST_F(Installation, CloseSwitchEndsTheInstallModeAndNeedsNoDisplay) {
    QProcess *install = start({QStringLiteral("-install")});
    ASSERT_TRUE(install->waitForStarted());
    waitUntilRunning();
    QProcess *closer = start({QStringLiteral("-close")}, false);
    ASSERT_TRUE(closer->waitForFinished(kPatienceMs));
    EXPECT_EQ(closer->exitCode(), 0);
    ASSERT_TRUE(install->waitForFinished(kPatienceMs)) << "the install dialog stayed open";
    EXPECT_EQ(install->exitCode(), 0);
}

TEST_F(Installation, HelpListsTheSwitchesWithoutADisplay) {
    QProcess *help = start({QStringLiteral("--help")}, false);
    ASSERT_TRUE(help->waitForFinished(kPatienceMs));
    EXPECT_EQ(help->exitCode(), 0);
    const QString text = QString::fromUtf8(help->readAllStandardOutput());
    for (const char *name : {"-install", "-close", "-updated", "--log", "--help"})
        EXPECT_TRUE(text.contains(QLatin1String(name))) << name << "\n" << text.toStdString();
}

} // namespace
