// How long the teacher's pointer takes to reach the student: from the mouse move handed to the
// pointer thinning until the student's channel has read the line and the spot is known, over
// the reference relay on loopback (the relay on a thread of its own, both clients in this
// process). A second run moves the mouse every millisecond for a second and counts the pointer
// lines that leave and their delay.
#include "lesson/classroom/classroomlines.h"
#include "lesson/classroom/pointerthrottle.h"
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
#include <memory>
#include <vector>

namespace Lines = ClassroomLines;

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

class Side : public LessonChannelHost {
public:
    LessonIdentity who;
    LessonIdentity identity() override { return who; }
    QList<OnlineTeacher> fetchOnlineTeachers() override { return {{"12", "Teacher"}}; }
};

bool waitUntil(const std::function<bool()> &done, int ms = 10000) {
    const QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(1, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

double percentile(std::vector<double> values, double share) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, size_t(share * double(values.size())));
    return values[at];
}

// The application that the relay's thread and the channels need, made before them.
struct Application {
    Application() {
        static int argc = 1;
        static char name[] = "bench_pointerlatency";
        static char *argv[] = {name, nullptr};
        if (!QCoreApplication::instance())
            new QCoreApplication(argc, argv);
    }
};

// A teacher and a student on line over a relay of their own.
struct Lesson {
    Application application;
    HubThread hub;
    Side teacherSide, studentSide;
    std::unique_ptr<LessonChannel> teacher, student;
    QElapsedTimer clock;
    qint64 arrivedAt = -1;
    int arrivedX = -1;
    int lines = 0;

    bool start() {
        const QString relay = QStringLiteral("127.0.0.1:%1").arg(hub.port());
        Settings().useSsl = false;
        teacherSide.who = {3, 7, 12, relay};
        studentSide.who = {4, 7, 40, relay};
        teacher = std::make_unique<LessonChannel>(teacherSide);
        student = std::make_unique<LessonChannel>(studentSide);
        QObject::connect(student.get(), &LessonChannel::partnerLine,
                         [this](const QByteArray &command, const QByteArray &rest) {
                             if (command != Lines::Pointer)
                                 return;
                             if (const auto line = Lines::readPointer(rest); line && line->spot) {
                                 arrivedAt = clock.nsecsElapsed();
                                 arrivedX = line->spot->x;
                                 ++lines;
                             }
                         });
        clock.start();
        teacher->ConnectToggle();
        student->ConnectToggle();
        return waitUntil([&] { return teacher->partnerId() == "40"; });
    }
};

void BM_PointerToPartner(benchmark::State &state) {
    Lesson lesson;
    if (!lesson.start()) {
        state.SkipWithError("the lesson did not start");
        return;
    }
    TPointerThrottle throttle([&](const QByteArray &line) { lesson.teacher->PostToPartner(line); });
    std::vector<double> latencies;
    int x = 0;
    for (auto _ : state) {
        // Apart by more than the thinning interval: every move goes at once.
        waitUntil([] { return false; }, TPointerThrottle::DefaultInterval + 1);
        lesson.arrivedAt = -1;
        x = (x + 1) % 10000;
        const qint64 start = lesson.clock.nsecsElapsed();
        throttle.post(Lines::pointer({1, 2}, PageSpot{x, 5000}));
        if (!waitUntil([&] { return lesson.arrivedAt >= 0 && lesson.arrivedX == x; })) {
            state.SkipWithError("a pointer did not arrive");
            return;
        }
        const double seconds = double(lesson.arrivedAt - start) / 1e9;
        latencies.push_back(seconds * 1000.0);
        state.SetIterationTime(seconds);
    }
    state.counters["median_ms"] = percentile(latencies, 0.5);
    state.counters["p99_ms"] = percentile(latencies, 0.99);
    state.counters["max_ms"] = percentile(latencies, 1.0);
}
BENCHMARK(BM_PointerToPartner)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// A mouse that moves every millisecond for a second: the lines that leave, and how old the
// newest position is when the partner has it.
void BM_PointerFastMouse(benchmark::State &state) {
    Lesson lesson;
    if (!lesson.start()) {
        state.SkipWithError("the lesson did not start");
        return;
    }
    TPointerThrottle throttle([&](const QByteArray &line) { lesson.teacher->PostToPartner(line); });
    std::vector<double> delays;
    for (auto _ : state) {
        lesson.lines = 0;
        const qint64 sentBefore = throttle.sentCount();
        QElapsedTimer second;
        second.start();
        int x = 0;
        std::vector<qint64> movedAt(10001, -1);
        while (second.elapsed() < 1000) {
            x = (x + 1) % 10000;
            movedAt[x] = lesson.clock.nsecsElapsed();
            throttle.post(Lines::pointer({1, 2}, PageSpot{x, 5000}));
            const int seen = lesson.lines;
            waitUntil([&] { return lesson.lines != seen; }, 1);
            if (lesson.lines != seen && movedAt[lesson.arrivedX] >= 0)
                delays.push_back(double(lesson.arrivedAt - movedAt[lesson.arrivedX]) / 1e6);
        }
        waitUntil([&] { return lesson.arrivedX == x; }, 1000);
        state.counters["lines_per_s"] = double(throttle.sentCount() - sentBefore) /
                                        (double(second.elapsed()) / 1000.0);
        state.counters["moves_per_s"] = double(x) / (double(second.elapsed()) / 1000.0);
    }
    state.counters["newest_pos_age_median_ms"] = percentile(delays, 0.5);
    state.counters["newest_pos_age_p99_ms"] = percentile(delays, 0.99);
}
BENCHMARK(BM_PointerFastMouse)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
