// Throughput of the lesson relay: 50 clients in 25 lessons exchange chat lines through a hub
// that runs on its own thread, over loopback.
#include "relayhub.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr int Lessons = 25;
constexpr int MessagesPerClient = 200;
constexpr int WaitTime = 30000;

// The hub on a thread of its own, as a server would run it beside its other work.
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

// Clients that count the lines they receive.
struct Clients {
    std::vector<std::unique_ptr<QTcpSocket>> sockets;
    std::vector<QByteArray> targets;
    qint64 lines = 0;

    void add(quint16 port, const QByteArray &id, const QByteArray &target) {
        auto socket = std::make_unique<QTcpSocket>();
        QObject::connect(socket.get(), &QIODevice::readyRead,
                         [this, s = socket.get()] { lines += s->readAll().count('\n'); });
        socket->connectToHost(QHostAddress::LocalHost, port);
        socket->write("c;" + id + ";vorelitambu\r\n");
        sockets.push_back(std::move(socket));
        targets.push_back(target);
    }

    bool waitForLines(qint64 expected) {
        const QDeadlineTimer deadline(WaitTime);
        while (lines < expected && !deadline.hasExpired()) {
            QEventLoop loop;
            QTimer::singleShot(5, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return lines >= expected;
    }
};

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "bench_relayhub";
    static char *argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

void BM_RelayChatThroughput(benchmark::State &state) {
    EnsureApplication();
    HubThread hub;
    if (hub.port() == 0) {
        state.SkipWithError("the relay could not listen");
        return;
    }
    Clients clients;
    for (int lesson = 1; lesson <= Lessons; ++lesson) {
        const QByteArray teacher = "1_" + QByteArray::number(lesson);
        const QByteArray student = teacher + "_" + QByteArray::number(1000 + lesson);
        clients.add(hub.port(), teacher, student);
        clients.add(hub.port(), student, teacher);
    }
    // Sign-on answers and lists: the teacher gets three lines, the student two.
    if (!clients.waitForLines(Lessons * 5)) {
        state.SkipWithError("the clients did not sign on");
        return;
    }

    const QByteArray chat = "@chatmsg;" + QByteArray("D\0o\0b\0r\0\xfd\0 \0d\0e\0n\0|\0", 22);
    const qint64 perRound = qint64(clients.sockets.size()) * MessagesPerClient;
    for (auto _ : state) {
        const qint64 expected = clients.lines + 2 * perRound; // forwarded line and echo
        for (size_t i = 0; i < clients.sockets.size(); ++i) {
            const QByteArray line = "@sayclient;" + clients.targets[i] + ";" + chat + "\r\n";
            clients.sockets[i]->write(line.repeated(MessagesPerClient));
        }
        if (!clients.waitForLines(expected)) {
            state.SkipWithError("messages were lost");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * perRound);
    state.counters["messages_per_round"] = double(perRound);
}
BENCHMARK(BM_RelayChatThroughput)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
