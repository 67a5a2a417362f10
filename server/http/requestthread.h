#pragma once

#include "server/actions/actiondispatcher.h"
#include "server/http/guardedlisteners.h"

#include <QSemaphore>
#include <QThread>
#include <atomic>

class HandoffServer;
class SignInLane;

// One request thread: its own database connection, its own HTTP front and the hand-off
// listener that feeds it connections. Sessions, throttle, options and clock are shared.
class RequestThread : public QThread {
    Q_OBJECT
public:
    struct Shared {
        QString databaseFile;
        SessionStore &sessions;
        LoginThrottle &throttle;
        const ServerOptions &options;
        const ServerClock &clock;
        OnlineClientIds onlineClientIds;
        RequestLimits limits;
        FreeSlotCache *freeSlots = nullptr;
        SignInLane *signInLane = nullptr; // none: sign-ins are answered in the thread
    };

    explicit RequestThread(const Shared &shared, QObject *parent = nullptr);
    ~RequestThread() override;

    // Starts the thread and waits until it serves; raises AppError when its database
    // connection cannot be opened.
    void startServing();
    // Hands an accepted connection to this thread (TLS when a configuration is given; it must
    // outlive the thread).
    void adopt(qintptr handle, const QSslConfiguration *tls);
    // The connections this thread holds open.
    int load() const;

protected:
    void run() override;

private:
    Shared m_shared;
    std::atomic<HandoffServer *> m_handoff{nullptr};
    QSemaphore m_ready;
    QString m_failure;
};
