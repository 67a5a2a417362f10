#include "server/actions/accountactions.h"

#include "server/http/formdata.h"
#include "server/store/passwordhash.h"
#include "server/store/schooldatabase.h"

namespace {

constexpr qint64 kEntranceTestItems = 40; // one point per item of the entrance test

constexpr qsizetype kMaxPasswordBytes = 1024;

// The new password as the client sends it: its UTF-8 bytes fully form-encoded, as in the
// sign-in, so every character arrives intact and is decoded the same way as there.
QByteArray NewPassword(const ActionRequest &request) {
    return FullFormDecode(request.param("pass"));
}

void SetPassword(ActionContext &ctx, qint64 user, const QByteArray &password) {
    ctx.db.run(QStringLiteral("UPDATE USERS SET PASSHASH = ? WHERE IDUSER = ?"),
               {HashPassword(password, ctx.options.hashCost), user});
}

} // namespace

ActionReply LogoutAction(ActionContext &ctx) {
    ctx.sessions.remove(*ctx.session);
    ctx.session = nullptr;
    ActionReply reply = ActionReply::Ok();
    reply.renewable = false;
    return reply;
}

ActionReply RelayTokenAction(ActionContext &ctx) {
    return ActionReply::Ok(ctx.sessions.relayToken(*ctx.session, ctx.now()));
}

ActionReply ChangePassAction(ActionContext &ctx) {
    if (ctx.request.has("iduser")) {
        if (!ctx.isStaff())
            throw Refusal(Msg::NotAllowed);
        const qint64 user = ctx.intParam("iduser");
        const QVariant type = ctx.db.scalar(
            QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
            {user, ctx.jobId()});
        if (!type.isValid())
            throw Refusal(Msg::RecordNotFound);
        if (type.toInt() == 1 && ctx.userType() != 1)
            throw Refusal(Msg::NotAllowed);
        SetPassword(ctx, user, QByteArray());
        ctx.sessions.removeUser(user); // whoever signed in with the old password is out
        return ActionReply::Ok();
    }
    if (!ctx.request.has("pass"))
        throw Refusal(Msg::MissingParameter, QStringLiteral("pass"));
    const QByteArray password = NewPassword(ctx.request);
    if (password.size() > kMaxPasswordBytes)
        throw Refusal(Msg::ValueTooLong, QStringLiteral("pass"));
    SetPassword(ctx, ctx.userId(), password);
    // Other sign-ins of the user end; the one that changed the password goes on.
    ctx.sessions.removeUser(ctx.userId(), ctx.session->family);
    return ActionReply::Ok();
}

ActionReply PostTestResultAction(ActionContext &ctx) {
    if (!ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 score = ctx.intParam("testresult");
    if (score < 0 || score > kEntranceTestItems)
        throw Refusal(Msg::BadTestResult);
    // Taken once: the first result stays (staff may clear it for another try).
    QSqlQuery q = ctx.db.run(QStringLiteral("UPDATE USERS SET PROGTESTRESULT = ? WHERE IDUSER = ?"
                                            " AND (PROGTESTRESULT IS NULL OR PROGTESTRESULT = '')"),
                             {QString::number(score), ctx.userId()});
    if (q.numRowsAffected() == 0)
        throw Refusal(Msg::TestAlreadyTaken);
    return ActionReply::Ok();
}
