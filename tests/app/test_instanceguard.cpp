#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

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
    QProcess *start(const QStringList &arguments = {}) {
        auto *p = new QProcess;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->start(program, arguments);
        processes.append(p);
        return p;
    }
    // Waits until the first instance owns its guard: a second start then ends at once.
    void waitUntilRunning() {
        for (int i = 0; i < 50; ++i) {
            QProcess *probe = start();
            if (probe->waitForFinished(2000) && probe->exitCode() == 0)
                return;
            QThread::msleep(100);
        }
        FAIL() << "first instance never started";
    }

    QTemporaryDir dir;
    QString program;
    QList<QProcess *> processes;
};

TEST_F(Installation, SecondStartEndsAndCloseSwitchEndsTheRunningInstance) {
    QProcess *first = start();
    ASSERT_TRUE(first->waitForStarted());
    waitUntilRunning();
    EXPECT_EQ(first->state(), QProcess::Running);

    QProcess *closer = start({QStringLiteral("-CLOSE")});
    ASSERT_TRUE(closer->waitForFinished(10000));
    EXPECT_EQ(closer->exitCode(), 0);
    ASSERT_TRUE(first->waitForFinished(10000));
    EXPECT_EQ(first->exitCode(), 0);
    // Closing saved the window placement of the first start.
    EXPECT_TRUE(settings().contains("Main Window=0;"));
}

TEST_F(Installation, CloseSwitchWithoutRunningInstanceEndsAtOnce) {
    QProcess *closer = start({QStringLiteral("/close")});
    ASSERT_TRUE(closer->waitForFinished(10000));
    EXPECT_EQ(closer->exitCode(), 0);
    EXPECT_EQ(settings(), "AutoConnect=0\r\n");
}

} // namespace
