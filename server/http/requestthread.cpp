#include "server/http/requestthread.h"

#include "errors/apperror.h"
#include "server/http/handoffserver.h"
#include "server/http/httpfront.h"
#include "server/store/schooldatabase.h"

#include <QSslConfiguration>

RequestThread::RequestThread(const Shared &shared, QObject *parent)
    : QThread(parent), m_shared(shared) {}

RequestThread::~RequestThread() {
    quit();
    wait();
}

void RequestThread::startServing() {
    start();
    m_ready.acquire();
    if (!m_failure.isEmpty())
        throw AppError(m_failure);
}

void RequestThread::run() {
    std::unique_ptr<SchoolDatabase> db;
    try {
        db = std::make_unique<SchoolDatabase>(m_shared.databaseFile);
    } catch (const AppError &error) {
        m_failure = error.message();
        m_ready.release();
        return;
    }
    ServerState state{*db,
                      m_shared.sessions,
                      m_shared.throttle,
                      m_shared.options,
                      m_shared.clock,
                      m_shared.onlineClientIds,
                      m_shared.freeSlots};
    HttpFront front(state, m_shared.signInLane);
    HandoffServer handoff(m_shared.limits);
    front.bind(&handoff);
    m_handoff = &handoff;
    m_ready.release();
    exec();
    m_handoff = nullptr;
}

void RequestThread::adopt(qintptr handle, const QSslConfiguration *tls) {
    HandoffServer *handoff = m_handoff.load();
    handoff->reserve();
    QMetaObject::invokeMethod(handoff, [handoff, handle, tls] { handoff->adopt(handle, tls); });
}

int RequestThread::load() const {
    HandoffServer *handoff = m_handoff.load();
    return handoff ? handoff->openConnections() : 0;
}
