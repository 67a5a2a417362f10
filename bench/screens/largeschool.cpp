#include "largeschool.h"

#include "base/session.h"
#include "data/dm.h"
#include "wire/packetframing.h"
#include "wire/compression.h"
#include "net/formencode.h"
#include "server/centralserver.h"
#include "testhttp.h"

#include <QDir>
#include <QThread>
#include <stdexcept>

namespace {

// The server on its own thread while the data is fetched.
class LargeSchool {
public:
    LargeSchool() {
        ServerOptions options;
        options.dataFolder = qEnvironmentVariable(
            "TELLAVO_BENCH_DATA", QDir::tempPath() + QStringLiteral("/tellavo-bench-large"));
        options.seed = QStringLiteral("large");
        options.passwordIterations = 1000;
        options.listen << ParseListenAddress(QStringLiteral("127.0.0.1:0"));
        m_thread.start();
        m_context.moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            &m_context,
            [&] {
                m_server = new CentralServer(options);
                m_server->start();
                m_port = m_server->httpPorts().value(0);
            },
            Qt::BlockingQueuedConnection);
    }
    ~LargeSchool() {
        QMetaObject::invokeMethod(
            &m_context, [this] { delete m_server; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    quint16 port() const { return m_port; }

private:
    QThread m_thread;
    QObject m_context;
    CentralServer *m_server = nullptr;
    quint16 m_port = 0;
};

QByteArray inflated(const HttpReply &reply) {
    if (!reply.body.startsWith("okzip"))
        throw std::runtime_error("the large school did not answer: " +
                                 reply.body.left(200).toStdString());
    return DecompressText(reply.body.mid(5));
}

} // namespace

void LoadLargeSchool(const QStringList &providers) {
    LargeSchool school;
    QByteArray reply = inflated(
        SendHttp(school.port(), false, "POST", "/tellavo/client.php?action=login",
                 {{"Content-Type", "application/x-www-form-urlencoded"}},
                 TransportEncodeForm("user=manazer0001&pass=heslo&logintype=1&loginver=1.0.0.0"
                                     "&job=2&envlang=2&ssl=0&polling=0&booksver=1&skypever="
                                     "&osver=bench&proxy=0")));
    SessionValues().setText(QString::fromLatin1(NextPacketSection(reply)));
    dm().LoadSignInTables(reply);
    for (const QString &provider : providers) {
        const QByteArray packet = inflated(
            SendHttp(school.port(), false, "GET",
                     "/tellavo/client.php?" + SessionIdParam().toLatin1() +
                         "&action=mybasegetrecords&providername=" + provider.toLatin1() + '&',
                     {}, {}));
        const QString table = QStringLiteral("cd_") + provider.mid(5);
        for (TClientTable *t : dm().AllTables())
            if (t->Name() == table)
                t->LoadFromBytes(packet);
    }
}
