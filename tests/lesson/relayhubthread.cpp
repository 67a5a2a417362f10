#include "relayhubthread.h"

#include "relayhub.h"

#include <QSslKey>

RelayHubThread::RelayHubThread() {
    m_hub = new RelayHub;
    m_hub->moveToThread(&m_thread);
    m_thread.start();
}

RelayHubThread::~RelayHubThread() {
    run([](RelayHub &hub) { delete &hub; });
    m_thread.quit();
    m_thread.wait();
}

void RelayHubThread::run(const std::function<void(RelayHub &)> &work) {
    QMetaObject::invokeMethod(
        m_hub, [&] { work(*m_hub); }, Qt::BlockingQueuedConnection);
}

bool RelayHubThread::start(const QSslConfiguration &tls) {
    m_tls = tls;
    return listen(0, 0);
}

bool RelayHubThread::restart() {
    return listen(m_port, m_tlsPort);
}

void RelayHubThread::stop() {
    run([](RelayHub &hub) { hub.close(); });
}

bool RelayHubThread::listen(quint16 port, quint16 tlsPort) {
    bool ok = false;
    run([&](RelayHub &hub) {
        ok = hub.listen(QHostAddress::LocalHost, port);
        if (ok && !m_tls.privateKey().isNull())
            ok = hub.listenTls(QHostAddress::LocalHost, tlsPort, m_tls);
        m_port = hub.serverPort();
        m_tlsPort = hub.tlsServerPort();
    });
    return ok;
}
