// A lesson call on loopback, measured: two call pages in this program (the engine's fake
// microphone), calling each other over the reference relay on a thread of its own.
//  - setup: from the student's accepting until audio flows both ways (bytes received on both
//    sides; statistics every 50 ms)
//  - mouth-to-ear estimate from the engine's own statistics: round trip / 2 + jitter buffer
//  - CPU of an audio call per side: this program and its engine processes over 10 s of talk,
//    halved (both sides run here)
#include "calltestrig.h"

#include "lesson/call/callpage.h"
#include "net/settings/settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

QApplication &application() {
    static int argc = 1;
    static char name[] = "bench_call";
    static char *argv[] = {name, nullptr};
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--use-fake-device-for-media-stream");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    static QApplication app(argc, argv);
    return app;
}

// CPU seconds used so far by the process and every process below it.
double cpuSeconds(qint64 pid) {
    double total = 0;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        // utime and stime are fields 14 and 15 of the line, 12 and 13 after the name.
        if (fields.size() > 13)
            total += (fields[11].toDouble() + fields[12].toDouble()) / sysconf(_SC_CLK_TCK);
    }
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile child(QStringLiteral("/proc/%1/stat").arg(entry));
        if (entry.toLongLong() <= 0 || !child.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = child.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toLongLong() == pid)
            total += cpuSeconds(entry.toLongLong());
    }
    return total;
}

bool flowing(LessonCall &a, LessonCall &b) {
    return a.state() == LessonCall::State::Connected && b.state() == LessonCall::State::Connected &&
           a.stats().audioBytesReceived > 0 && b.stats().audioBytesReceived > 0;
}

void BM_CallOnLoopback(benchmark::State &state) {
    application();
    Settings().useSsl = false;
    Settings().onlinePortType = 0;
    CallTestRig<TCallPage> rig;
    if (!rig.connect()) {
        state.SkipWithError("the lesson did not connect");
        return;
    }
    for (LessonCall *call : {&rig.teacherCall, &rig.studentCall})
        call->setStatsInterval(50);
    double setupMs = 0, connectMs = 0, mouthToEar = 0, roundTrip = 0, jitter = 0, cpu = 0;
    int calls = 0;
    for (auto _ : state) {
        if (!rig.teacherCall.Call() ||
            !QTest::qWaitFor([&] { return rig.studentCall.state() == LessonCall::State::Incoming; },
                             10000)) {
            state.SkipWithError("the call did not ring");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        rig.studentCall.Accept();
        if (!QTest::qWaitFor([&] { return flowing(rig.teacherCall, rig.studentCall); }, 10000)) {
            state.SkipWithError("no audio");
            return;
        }
        const double setup = clock.nsecsElapsed() / 1e6;
        state.SetIterationTime(setup / 1000);
        setupMs += setup;
        connectMs += rig.studentCall.setupMs();
        ++calls;
        rig.teacherCall.HangUp();
        rig.bothIn(LessonCall::State::Idle);
    }
    // One more call as the program makes it (statistics every 500 ms): ten seconds of talk,
    // with the CPU counted and the delay read at the end.
    for (LessonCall *call : {&rig.teacherCall, &rig.studentCall})
        call->setStatsInterval(500);
    if (!rig.callAndAccept()) {
        state.SkipWithError("the measured call did not connect");
        return;
    }
    QTest::qWait(1000);
    const double cpuBefore = cpuSeconds(getpid());
    QElapsedTimer talk;
    talk.start();
    QTest::qWait(10000);
    cpu = (cpuSeconds(getpid()) - cpuBefore) / (talk.nsecsElapsed() / 1e9) / 2;
    for (LessonCall *call : {&rig.teacherCall, &rig.studentCall}) {
        const CallStats &s = call->stats();
        roundTrip += qMax(0.0, s.roundTripMs) / 2;
        jitter += qMax(0.0, s.jitterBufferMs) / 2;
        mouthToEar += (qMax(0.0, s.roundTripMs) / 2 + qMax(0.0, s.jitterBufferMs)) / 2;
    }
    rig.teacherCall.HangUp();
    state.counters["setup_ms"] = setupMs / calls;
    state.counters["connected_ms"] = connectMs / calls;
    state.counters["round_trip_ms"] = roundTrip;
    state.counters["jitter_buffer_ms"] = jitter;
    state.counters["mouth_to_ear_ms"] = mouthToEar;
    state.counters["cpu_per_side_pct"] = 100 * cpu;
}
BENCHMARK(BM_CallOnLoopback)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
