#include "server/actions/actiondispatcher.h"

#include "server/actions/accountactions.h"
#include "server/actions/callactions.h"
#include "server/actions/actionlog.h"
#include "server/actions/fileactions.h"
#include "server/actions/loginaction.h"
#include "server/actions/notesactions.h"
#include "server/actions/orderactions.h"
#include "server/actions/timetableactions.h"
#include "server/booking/bookingactions.h"
#include "wire/actionnames.h"
#include "server/http/httplog.h"
#include "server/ops/logformat.h"
#include "server/packets/providers.h"
#include "server/store/schooldatabase.h"

#include <QDebug>
#include <QHash>

namespace {

using Handler = ActionReply (*)(ActionContext &);

const QHash<QByteArray, Handler> &Handlers() {
    static const QHash<QByteArray, Handler> handlers{
        {ActionNames::Logout, LogoutAction},
        {ActionNames::GetRecords, GetRecordsAction},
        {ActionNames::ApplyUpdates, ApplyUpdatesAction},
        {ActionNames::NewOrder, NewOrderAction},
        {ActionNames::SendEmailOrder, SendEmailOrderAction},
        {ActionNames::SetTimetableStatus, SetTimetableStatusAction},
        {ActionNames::ChangePass, ChangePassAction},
        {ActionNames::PostTestResult, PostTestResultAction},
        {ActionNames::GetBookFile, GetBookFileAction},
        {ActionNames::GetChatFile, GetChatFileAction},
        {ActionNames::PostChatFile, PostChatFileAction},
        {ActionNames::RelayToken, RelayTokenAction},
        {ActionNames::GetCallServers, GetCallServersAction},
        {ActionNames::PostLessonNotes, PostLessonNotesAction},
        {ActionNames::GetLessonNotes, GetLessonNotesAction},
        {ActionNames::GetLessonNote, GetLessonNoteAction},
    };
    return handlers;
}

// One line per refusal: which action, whose, and why (in the school's first language).
void LogRefusal(const ActionContext &ctx, const QString &reason) {
    const LogFields fields({{QStringLiteral("action"), QString::fromLatin1(ctx.request.action())},
                            {QStringLiteral("user"),
                             QString::number(ctx.session ? ctx.session->userId : 0)},
                            {QStringLiteral("address"), ctx.request.remoteAddress.toString()},
                            {QStringLiteral("reason"), reason}});
    qCInfo(lcRefusal).noquote() << "refused action=" + QString::fromLatin1(ctx.request.action())
                                << "user=" + QString::number(ctx.session ? ctx.session->userId : 0)
                                << "address=" + ctx.request.remoteAddress.toString()
                                << "reason=" + reason;
}

ActionReply RunGuardedAction(Handler handler, ActionContext &ctx) {
    try {
        return handler(ctx);
    } catch (const Refusal &refusal) {
        const QString czech = ServerText(refusal.message, 2);
        LogRefusal(ctx, refusal.argument.isEmpty() ? czech : czech.arg(refusal.argument));
        return ActionReply::Error(ctx.text(refusal.message, refusal.argument));
    } catch (const std::exception &error) {
        // Database and file failures are the server's own: logged here, told as such.
        qCWarning(lcActions).noquote()
            << "action" << ctx.request.action() << "failed:" << error.what();
        return ActionReply::Error(ctx.text(Msg::ServerFailure));
    }
}

// The client reads a renewal only after 20 quiet minutes of its own; handing one out
// earlier would leave the prefix in front of the payload it reads.
bool RenewalDue(const Session &session, const QDateTime &now, const ServerOptions &options) {
    return session.created.secsTo(now) > options.renewAfterSeconds &&
           session.lastUsed.secsTo(now) > options.renewIdleSeconds;
}

ActionContext ContextFor(const ActionRequest &request, ServerState &state,
                         std::shared_ptr<const Session> session) {
    return ActionContext{request,        std::move(session), state.db,
                         state.sessions, state.throttle,     state.options,
                         state.clock,    state.onlineClientIds, state.freeSlots};
}

// Reads the fields of a form body, refusing a body with more of them than any request needs.
bool ReadFormFields(ActionRequest &request, const ServerOptions &options) {
    if (request.contentType.trimmed().toLower().startsWith("multipart/"))
        return true; // read by field name where an action needs it
    const std::optional<FormFields> fields =
        ParseBoundedFormFields(request.body, options.maxFormFields);
    if (!fields)
        return false;
    request.form = *fields;
    return true;
}

// A signed-in user's action: its form read, the handler found and run.
ActionReply RunAction(ActionContext &ctx, ActionRequest &request, const ServerOptions &options) {
    if (!ReadFormFields(request, options)) {
        LogRefusal(ctx, QStringLiteral("too many form fields"));
        return ActionReply::Error(ctx.text(Msg::MalformedRequest));
    }
    Handler handler = Handlers().value(request.action());
    if (!handler && options.bookingFeatures)
        handler = BookingHandler(request.action());
    if (!handler) {
        LogRefusal(ctx, QStringLiteral("unknown action"));
        return ActionReply::Error(ctx.text(Msg::UnknownAction));
    }
    return RunGuardedAction(handler, ctx);
}

} // namespace

ActionReply DispatchAction(ActionRequest request, ServerState &state) {
    const QDateTime now = state.clock.now();
    const QByteArray action = request.action();
    if (action == "login") {
        if (request.body.size() > state.options.maxAnonymousBodyBytes ||
            !ReadFormFields(request, state.options))
            return ActionReply::BadLogin();
        ActionContext ctx = ContextFor(request, state, nullptr);
        return RunGuardedAction(LoginAction, ctx);
    }
    std::shared_ptr<const Session> session;
    bool renewalDue = false; // judged by the last use before this one
    try {
        session = state.sessions.find(QString::fromLatin1(request.query.value("PHPSESSID")), now);
        if (session) {
            renewalDue = RenewalDue(*session, now, state.options);
            state.sessions.touch(*session, now, request.remoteAddress);
        }
    } catch (const std::exception &error) {
        // Sessions kept in a database that is away: a refusal that says so.
        qCWarning(lcActions).noquote() << "session look-up failed:" << error.what();
        return ActionReply::Error(ContextFor(request, state, nullptr).text(Msg::ServerFailure));
    }
    if (!session) {
        LogRefusal(ContextFor(request, state, nullptr), QStringLiteral("no live session"));
        return ActionReply::BadLogin();
    }
    ActionContext ctx = ContextFor(request, state, session);
    ActionReply reply = RunAction(ctx, request, state.options);
    reply.userId = session->userId;
    if (reply.renewable && renewalDue && reply.status == 200 && reply.body.startsWith("ok")) {
        const std::shared_ptr<const Session> renewed = state.sessions.renew(*session, now);
        reply.body.prepend("oksesid=" + renewed->id.toLatin1() + "endsesid");
    }
    return reply;
}
