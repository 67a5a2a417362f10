#include "server/booking/calendarfeed.h"

#include "server/actions/actiondispatcher.h"
#include "server/booking/lessoncalendar.h"
#include "server/http/httplog.h"
#include "server/store/schooldatabase.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlQuery>

namespace {

constexpr int kTokenBytes = 32;

QString NewToken() {
    QByteArray bytes(kTokenBytes, Qt::Uninitialized);
    QRandomGenerator::system()->generate(bytes.begin(), bytes.end());
    return QString::fromLatin1(
        bytes.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString FeedPath(const ActionContext &ctx, const QString &token) {
    return CalendarFeedFolder(ctx.options.scriptPath) + token + QStringLiteral(".ics");
}

QString TokenOf(ActionContext &ctx) {
    return ctx.db
        .scalar(QStringLiteral("SELECT TOKEN FROM CALENDARFEEDS WHERE IDUSER = ?"), {ctx.userId()})
        .toString();
}

ActionReply NotFound() {
    return {404, "Not Found", false, "text/plain"};
}

} // namespace

QString CalendarFeedFolder(const QString &scriptPath) {
    return scriptPath.left(scriptPath.lastIndexOf(u'/') + 1) + QStringLiteral("calendar/");
}

ActionReply CalendarFeedAction(ActionContext &ctx) {
    const QByteArray op = ctx.request.param("op");
    Transaction transaction(ctx.db);
    if (op == "revoke") {
        ctx.db.run(QStringLiteral("DELETE FROM CALENDARFEEDS WHERE IDUSER = ?"), {ctx.userId()});
        transaction.commit();
        return ActionReply::Ok();
    }
    if (op != "get" && op != "show")
        throw Refusal(Msg::MalformedRequest);
    QString token = TokenOf(ctx);
    if (token.isEmpty() && op == "show")
        return ActionReply::Ok();
    if (token.isEmpty()) {
        token = NewToken();
        ctx.db.run(QStringLiteral("INSERT INTO CALENDARFEEDS (IDUSER, IDJOB, TOKEN, WHENCREATED)"
                                  " VALUES (?, ?, ?, ?)"),
                   {ctx.userId(), ctx.jobId(), token, ctx.now()});
    }
    transaction.commit();
    return ActionReply::Ok(FeedPath(ctx, token).toUtf8());
}

std::optional<ActionReply> CalendarFeedReply(const QString &path, ServerState &state) {
    const QString folder = CalendarFeedFolder(state.options.scriptPath);
    if (!path.startsWith(folder))
        return std::nullopt;
    // Nothing but a token of the form handed out reaches the database.
    static const QRegularExpression form(QStringLiteral("^([A-Za-z0-9_-]{43})\\.ics$"));
    const QRegularExpressionMatch m = form.match(QStringView(path).sliced(folder.size()));
    if (!m.hasMatch())
        return NotFound();
    QSqlQuery q = state.db.run(
        QStringLiteral("SELECT F.IDUSER, U.USERTYPE, U.USERACTIVE, (SELECT L.LOGINENVLANG FROM"
                       " LOGINS L WHERE L.IDLOGIN = (SELECT MAX(L2.IDLOGIN) FROM LOGINS L2"
                       " WHERE L2.IDUSER = F.IDUSER AND L2.SUCCESS = 1))"
                       " FROM CALENDARFEEDS F JOIN USERS U ON U.IDUSER = F.IDUSER"
                       " WHERE F.TOKEN = ?"),
        {m.captured(1)});
    if (!q.next() || q.value(2).toInt() != 1) {
        qCInfo(lcRefusal).noquote() << "refused calendar feed: unknown address";
        return NotFound();
    }
    const qint64 user = q.value(0).toLongLong();
    const int type = q.value(1).toInt();
    const int lang = q.value(3).toInt() == 3 ? 3 : 2;
    const QDateTime now = state.clock.now();
    const QList<CalendarLesson> lessons = FeedLessons(state.db, user, type != 4, now);
    ActionReply reply = ActionReply::Raw(LessonCalendarText(
        lessons, CalendarMethod::Publish, type == 4, lang, CalendarUidDomain(state.options), now));
    reply.contentType = "text/calendar; charset=utf-8";
    return reply;
}
