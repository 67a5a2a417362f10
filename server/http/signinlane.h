#pragma once

#include "server/actions/actiondispatcher.h"

#include <QThreadPool>
#include <QThreadStorage>
#include <functional>

// Sign-ins on threads of their own, each with its own database connection: a sign-in's
// password hashing never waits behind the fetches a request thread serves, and fetches do not
// wait for the hashing. The reply is handed back on the thread of the receiver that asked.
class SignInLane {
public:
    struct Shared {
        QString databaseFile;
        SessionStore &sessions;
        LoginThrottle &throttle;
        const ServerOptions &options;
        const ServerClock &clock;
        OnlineClientIds onlineClientIds;
        FreeSlotCache *freeSlots = nullptr;
    };

    SignInLane(const Shared &shared, int threads);
    // Waits for the sign-ins under way; their receivers must still exist.
    ~SignInLane();

    // Runs the sign-in request and calls done with its reply on the receiver's thread.
    void run(ActionRequest request, QObject *receiver, std::function<void(ActionReply)> done);

private:
    ActionReply signIn(ActionRequest request);

    Shared m_shared;
    QThreadStorage<SchoolDatabase *> m_connections;
    QThreadPool m_pool;
};
