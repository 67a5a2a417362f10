// How long a page the teacher turns to takes to reach the student's screen: from the teacher's
// "@syncpage" until the student's channel asks its screen to show the page, over the reference
// relay on loopback (the relay on a thread of its own, both clients in this process).
#include "lesson/relay/lessonchannel.h"
#include "net/settings/settings.h"
#include "relayhub.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

class HubThread {
public:
    HubThread() {
        m_hub = new RelayHub;
        m_hub->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(
            m_hub,
            [this] {
                if (m_hub->listen(QHostAddress::LocalHost, 0))
                    m_port = m_hub->serverPort();
            },
            Qt::BlockingQueuedConnection);
    }
    ~HubThread() {
        QMetaObject::invokeMethod(
            m_hub, [this] { delete m_hub; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_port; }

private:
    QThread m_thread;
    RelayHub *m_hub = nullptr;
    quint16 m_port = 0;
};

// The student's screen: notes when it is asked to show a page.
class StudentScreen : public LessonChannelHost {
public:
    LessonIdentity who;
    QElapsedTimer clock;
    qint64 shownAt = -1;

    LessonIdentity identity() override { return who; }
    QList<OnlineTeacher> fetchOnlineTeachers() override { return {{"12", "Teacher"}}; }
    bool followBook(int, std::optional<int>) override { return true; }
    void showFollowedPage() override { shownAt = clock.nsecsElapsed(); }
};

class TeacherScreen : public LessonChannelHost {
public:
    LessonIdentity who;
    LessonIdentity identity() override { return who; }
};

bool waitUntil(const std::function<bool()> &done) {
    const QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

double percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(share * double(values.size())));
    return values[at];
}

void BM_TeacherToStudentPage(benchmark::State &state) {
    static int argc = 1;
    static char name[] = "bench_pagelatency";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
    HubThread hub;
    const QString relay = QStringLiteral("127.0.0.1:%1").arg(hub.port());
    Settings().useSsl = false;
    TeacherScreen teacherScreen;
    teacherScreen.who = {3, 7, 12, relay};
    StudentScreen studentScreen;
    studentScreen.who = {4, 7, 40, relay};
    LessonChannel teacher(teacherScreen), student(studentScreen);
    teacher.ConnectToggle();
    student.ConnectToggle();
    if (!waitUntil([&] { return teacher.partnerId() == "40"; }) || !teacher.SendSync(true, 1, 1)) {
        state.SkipWithError("the lesson did not start");
        return;
    }
    waitUntil([&] { return studentScreen.shownAt >= 0; });

    std::vector<double> latencies;
    int page = 1;
    studentScreen.clock.start();
    for (auto _ : state) {
        studentScreen.shownAt = -1;
        const qint64 start = studentScreen.clock.nsecsElapsed();
        teacher.SendPage(1, ++page);
        if (!waitUntil([&] { return studentScreen.shownAt >= 0; })) {
            state.SkipWithError("a page did not arrive");
            return;
        }
        const double seconds = double(studentScreen.shownAt - start) / 1e9;
        latencies.push_back(seconds * 1000.0);
        state.SetIterationTime(seconds);
    }
    state.counters["median_ms"] = percentile(latencies, 0.5);
    state.counters["p99_ms"] = percentile(latencies, 0.99);
}
BENCHMARK(BM_TeacherToStudentPage)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1000);

} // namespace
