#include "server/actions/orderactions.h"

#include "errors/apperror.h"
#include "server/booking/mimeparts.h"
#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"

#include <QSaveFile>

namespace {

constexpr int kMaxUnpaidOrders = 5; // new, unpaid orders one client may hold

qint64 OrderOwner(ActionContext &ctx) {
    if (!ctx.request.has("iduser"))
        return ctx.userId();
    const qint64 user = ctx.intParam("iduser");
    if (user == ctx.userId() || user == 0)
        return ctx.userId();
    if (!ctx.isStaff())
        throw Refusal(Msg::NotAllowed);
    const QVariant type =
        ctx.db.scalar(QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
                      {user, ctx.jobId()});
    if (type.toInt() != 4)
        throw Refusal(Msg::NotAClient);
    return user;
}

struct MailText {
    QString subject;
    QString body;
};

MailText OrderMail(int lang, const QString &name, const QString &varSymbol, const QString &typeText,
                   const QString &status) {
    if (lang == 3)
        return {QStringLiteral("Objednávka %1 - zmena stavu").arg(varSymbol),
                QStringLiteral("Dobrý deň, %1,\n\nstav Vašej objednávky %2 (%3) sa zmenil na: %4."
                               "\n\nĎakujeme, Vaša jazyková škola\n")
                    .arg(name, varSymbol, typeText, status)};
    return {QStringLiteral("Objednávka %1 - změna stavu").arg(varSymbol),
            QStringLiteral("Dobrý den, %1,\n\nstav Vaší objednávky %2 (%3) se změnil na: %4."
                           "\n\nDěkujeme, Vaše jazyková škola\n")
                .arg(name, varSymbol, typeText, status)};
}

// The message as a MIME document with CR LF line ends throughout.
QByteArray MimeMessage(const QString &from, const QString &to, const MailText &mail,
                       const QDateTime &now) {
    QString body = mail.body;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    body.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return "From: " + from.toLatin1() + "\r\nTo: " + to.toLatin1() +
           "\r\nSubject: " + MimeParts::EncodedWord(mail.subject) +
           "\r\nDate: " + now.toString(Qt::RFC2822Date).toLatin1() +
           "\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8"
           "\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
           MimeParts::Base64Lines(body.toUtf8());
}

void WriteOutbox(ActionContext &ctx, qint64 idMsg, const QString &to, const MailText &mail) {
    QSaveFile file(ctx.options.dataFolder +
                   QStringLiteral("/outbox/%1.eml").arg(idMsg, 6, 10, QLatin1Char('0')));
    const QByteArray text = MimeMessage(ctx.options.mailFrom, to, mail, ctx.now());
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) || !file.commit())
        throw AppError(QStringLiteral("cannot write the outbox message %1").arg(idMsg));
}

} // namespace

ActionReply NewOrderAction(ActionContext &ctx) {
    if (ctx.isTeacher())
        throw Refusal(Msg::NotAllowed);
    const qint64 type = ctx.intParam("idordertype");
    const qint64 owner = OrderOwner(ctx);
    QSqlQuery t = ctx.db.run(QStringLiteral("SELECT TYPETEXT_CS, TEACHHOURS, AMOUNT, EXPIREMONTHS"
                                            " FROM ORDERTYPES WHERE IDORDERTYPE = ? AND IDJOB = ?"
                                            " AND VALID = 1"),
                             {type, ctx.jobId()});
    if (!t.next())
        throw Refusal(Msg::OrderTypeNotOffered);
    Transaction transaction(ctx.db);
    // A client orders again once earlier orders are paid or cancelled, not without end.
    if (ctx.isClient() &&
        ctx.db.scalar(QStringLiteral(
                          "SELECT COUNT(*) FROM ORDERS WHERE IDUSER = ? AND ORDERSTATUS = 1"),
                      {owner})
                .toInt() >= kMaxUnpaidOrders)
        throw Refusal(Msg::TooManyOpenOrders);
    const qint64 id = ctx.db.nextId(QStringLiteral("ORDERS"), QStringLiteral("IDORDER"));
    const QString varSymbol = ctx.now().toString(QStringLiteral("yyMM")) +
                              QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0'));
    ctx.db.run(QStringLiteral("INSERT INTO ORDERS (IDORDER, IDUSER, IDJOB, ORDERTYPE, WHENORDER,"
                              " VARSYMBOL, TYPETEXT, AMOUNT, TEACHHOURS, EXPIREMONTHS, ORDERSTATUS,"
                              " WHENSTATUSCHANGE, WHOSTATUSCHANGE)"
                              " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?, ?)"),
               {id, owner, ctx.jobId(), type, ctx.now(), varSymbol, t.value(0), t.value(2),
                t.value(1), t.value(3), ctx.now(), ctx.userId()});
    ctx.db.run(QStringLiteral("INSERT INTO ORDERHIST (IDORDERHIST, IDORDER, WHENCHANGE, OLDSTATUS,"
                              " NEWSTATUS, WHOCHANGE) VALUES (?, ?, ?, NULL, 1, ?)"),
               {ctx.db.nextId(QStringLiteral("ORDERHIST"), QStringLiteral("IDORDERHIST")), id,
                ctx.now(), ctx.userId()});
    transaction.commit();
    return ActionReply::Ok(QByteArray::number(id));
}

ActionReply SendEmailOrderAction(ActionContext &ctx) {
    if (!ctx.isStaff())
        throw Refusal(Msg::NotAllowed);
    const qint64 order = ctx.intParam("idorder");
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT O.IDUSER, U.EMAIL, %1, O.VARSYMBOL, O.TYPETEXT, S.STATUSNAME_CS,"
                       " S.STATUSNAME_SK, U.USERTYPE,"
                       " (SELECT L.LOGINENVLANG FROM LOGINS L WHERE L.IDLOGIN ="
                       " (SELECT MAX(L2.IDLOGIN) FROM LOGINS L2 WHERE L2.IDUSER = O.IDUSER"
                       " AND L2.SUCCESS = 1))"
                       " FROM ORDERS O JOIN USERS U ON U.IDUSER = O.IDUSER"
                       " LEFT JOIN ORDERSTATUSES S ON S.IDORDERSTATUS = O.ORDERSTATUS"
                       " WHERE O.IDORDER = ? AND O.IDJOB = ?")
            .arg(FullNameSql("U")),
        {order, ctx.jobId()});
    if (!q.next() || (ctx.userType() == 2 && q.value(7).toInt() == 1))
        throw Refusal(Msg::RecordNotFound);
    const QString email = q.value(1).toString().trimmed();
    if (email.isEmpty())
        throw Refusal(Msg::NoEmailAddress);
    if (!MimeParts::IsPlainAddress(email))
        throw Refusal(Msg::BadFieldValue, QStringLiteral("EMAIL"));
    // The client reads the message in the language he last signed in with.
    const int lang = q.value(8).toInt() == 3 ? 3 : 2;
    const MailText mail = OrderMail(lang, q.value(2).toString().trimmed(), q.value(3).toString(),
                                    q.value(4).toString(), q.value(lang == 3 ? 6 : 5).toString());
    Transaction transaction(ctx.db);
    const qint64 id = ctx.db.nextId(QStringLiteral("MSGS"), QStringLiteral("IDMSG"));
    ctx.db.run(QStringLiteral("INSERT INTO MSGS (IDMSG, IDJOB, IDENVLANG, MSGTYPE, EMAILTO,"
                              " WHOINITIATOR, WHORECEIVER, WHENSENT, EMAILSUBJECT, EMAILBODY,"
                              " EMAILSENT, IDREF) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"),
               {id, ctx.jobId(), lang, QStringLiteral("ORDERSTATUS"), email, ctx.userId(),
                q.value(0), ctx.now(), mail.subject, mail.body, order});
    WriteOutbox(ctx, id, email, mail);
    transaction.commit();
    return ActionReply::Ok();
}
