#pragma once

#include "server/http/actionrequest.h"
#include "server/actions/loginthrottle.h"
#include "server/serverclock.h"
#include "server/serveroptions.h"
#include "server/servertexts.h"
#include "server/store/sessionstore.h"

#include <QStringList>
#include <exception>
#include <functional>

class FreeSlotCache;
class SchoolDatabase;

// A refusal an action reports to the user: "error" and the message in his language.
struct Refusal : std::exception {
    explicit Refusal(Msg m, QString a = {}) : message(m), argument(std::move(a)) {}
    const char *what() const noexcept override { return "refused"; }
    Msg message;
    QString argument;
};

// The lesson relay's view the server needs: the client ids signed on at the moment.
using OnlineClientIds = std::function<QStringList()>;

// Everything one action works with: the request, the signed-in session and the server's
// shared state.
struct ActionContext {
    const ActionRequest &request;
    std::shared_ptr<const Session> session; // nullptr for the sign-in and the raw download
    SchoolDatabase &db;
    SessionStore &sessions;
    LoginThrottle &throttle;
    const ServerOptions &options;
    const ServerClock &clock;
    const OnlineClientIds &onlineClientIds;
    FreeSlotCache *freeSlots = nullptr; // none: every timetable is read whole

    QDateTime now() const { return clock.now(); }
    int envLang() const { return session ? session->envLang : 2; }
    qint64 userId() const { return session ? session->userId : 0; }
    int userType() const { return session ? session->userType : 4; }
    int jobId() const { return session ? session->jobId : 0; }
    bool isStaff() const { return userType() == 1 || userType() == 2; }
    bool isTeacher() const { return userType() == 3; }
    bool isClient() const { return userType() == 4; }
    // The text of a message in the session's language.
    QString text(Msg m, const QString &arg = {}) const {
        const QString t = ServerText(m, envLang());
        return arg.isEmpty() ? t : t.arg(arg);
    }
    // A required decimal parameter; refuses when it is missing or not a number.
    qint64 intParam(const QByteArray &name) const;
};
