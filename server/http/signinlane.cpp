#include "server/http/signinlane.h"

#include "server/http/httplog.h"
#include "server/store/schooldatabase.h"

SignInLane::SignInLane(const Shared &shared, int threads) : m_shared(shared) {
    m_pool.setMaxThreadCount(threads);
    m_pool.setExpiryTimeout(-1); // threads and their connections stay
}

SignInLane::~SignInLane() {
    m_pool.waitForDone();
}

void SignInLane::run(ActionRequest request, QObject *receiver,
                     std::function<void(ActionReply)> done) {
    m_pool.start([this, request = std::move(request), receiver, done = std::move(done)]() mutable {
        ActionReply reply = signIn(std::move(request));
        QMetaObject::invokeMethod(
            receiver, [done = std::move(done), reply = std::move(reply)] { done(reply); },
            Qt::QueuedConnection);
    });
}

// Nothing leaves a pool thread: a failure becomes the server's own refusal.
ActionReply SignInLane::signIn(ActionRequest request) {
    try {
        if (!m_connections.hasLocalData())
            m_connections.setLocalData(new SchoolDatabase(m_shared.databaseFile));
        ServerState state{*m_connections.localData(), m_shared.sessions, m_shared.throttle,
                          m_shared.options,           m_shared.clock,    m_shared.onlineClientIds,
                          m_shared.freeSlots};
        return DispatchAction(std::move(request), state);
    } catch (const std::exception &error) {
        qCWarning(lcHttp).noquote() << "sign-in failed:" << error.what();
        return ActionReply::Error(QStringLiteral("internal server error"));
    }
}
