#include "server/actions/loginaction.h"

#include "server/ops/logformat.h"
#include "server/ops/servermetrics.h"
#include "lang/textutil.h"
#include "server/actions/actionlog.h"
#include "server/actions/bookcatalogue.h"
#include "server/packets/providers.h"
#include "server/store/passwordhash.h"
#include "server/store/schooldatabase.h"
#include "wire/packetframing.h"

#include <QMutex>

namespace {

// The sign-in's parameters after the form decoding; the client full-form-encodes the
// texts the user typed and the version texts.
struct LoginParams {
    QString user;
    QByteArray pass;
    QString loginVer, booksVer, skypeVer, osVer;
    int loginType = 0, job = 0, envLang = 2, ssl = 0, polling = 0, proxy = 0;
};

int IntOf(const ActionRequest &r, const char *name) {
    return ParseInteger(QString::fromLatin1(r.param(name))).value_or(0);
}

// A text value as the sign-in records it; a NUL, which no name holds and PostgreSQL refuses
// to store, is dropped.
QString TextOf(const ActionRequest &r, const char *name) {
    return QString::fromUtf8(FullFormDecode(r.param(name))).remove(QChar(0)).left(100);
}

LoginParams ReadParams(const ActionRequest &r) {
    LoginParams p;
    // A name with a NUL names nobody: it is refused as an unknown name.
    p.user =
        FullFormDecode(r.param("user")).contains('\0') ? QString() : TextOf(r, "user").left(60);
    p.pass = FullFormDecode(r.param("pass"));
    p.loginVer = TextOf(r, "loginver");
    p.booksVer = TextOf(r, "booksver");
    p.skypeVer = TextOf(r, "skypever");
    p.osVer = TextOf(r, "osver");
    p.loginType = IntOf(r, "logintype");
    p.job = IntOf(r, "job");
    p.envLang = IntOf(r, "envlang") == 3 ? 3 : 2;
    p.ssl = IntOf(r, "ssl");
    p.polling = IntOf(r, "polling");
    p.proxy = IntOf(r, "proxy");
    return p;
}

struct Account {
    qint64 id = 0;
    int type = 4, job = 0;
    QString bookIds, testResult;
};

// A hash of the configured cost that no password matches, so that an unknown name costs
// the same hashing as a wrong password and cannot be told apart by the time it takes.
const QString &DummyHash(const HashCost &cost) {
    static QMutex lock;
    static QHash<QString, QString> hashes;
    const QString key =
        QStringLiteral("%1/%2/%3").arg(cost.memoryKiB).arg(cost.passes).arg(cost.lanes);
    QMutexLocker locker(&lock);
    auto it = hashes.find(key);
    if (it == hashes.end())
        it = hashes.insert(key, HashPassword(QByteArray(), cost));
    return *it;
}

// Stores the password again as Argon2id of the configured cost when its hash is of the older
// form or cheaper.
void UpgradeHash(ActionContext &ctx, qint64 user, const QByteArray &password,
                 const QString &stored) {
    if (!NeedsNewHash(stored, ctx.options.hashCost))
        return;
    ctx.db.run(QStringLiteral("UPDATE USERS SET PASSHASH = ? WHERE IDUSER = ? AND PASSHASH = ?"),
               {HashPassword(password, ctx.options.hashCost), user, stored});
}

// The account when name and password match an active user; nothing otherwise.
std::optional<Account> Authenticate(ActionContext &ctx, const LoginParams &p) {
    KeptQuery kept =
        ctx.db.runKept(QStringLiteral("SELECT IDUSER, USERTYPE, IDJOB, BOOKIDS, PROGTESTRESULT,"
                                      " PASSHASH, USERACTIVE FROM USERS WHERE LOGINNAME = ?"),
                       {p.user});
    QSqlQuery &q = *kept;
    if (!q.next() || p.user.isEmpty()) {
        VerifyPassword(p.pass, DummyHash(ctx.options.hashCost));
        return std::nullopt;
    }
    const QString stored = q.value(5).toString();
    const bool ok = VerifyPassword(p.pass, stored) && q.value(6).toInt() == 1;
    if (!ok)
        return std::nullopt;
    const Account account{q.value(0).toLongLong(), q.value(1).toInt(), q.value(2).toInt(),
                          q.value(3).toString(), q.value(4).toString()};
    q.finish();
    UpgradeHash(ctx, account.id, p.pass, stored);
    return account;
}

QDateTime LastSuccessfulLogin(ActionContext &ctx, qint64 user) {
    return ctx.db
        .scalar(
            QStringLiteral("SELECT MAX(WHENLOGIN) FROM LOGINS WHERE IDUSER = ? AND SUCCESS = 1"),
            {user})
        .toDateTime();
}

void RecordLogin(ActionContext &ctx, const LoginParams &p, qint64 user, bool success) {
    Transaction transaction(ctx.db); // the new key and the row are written together
    ctx.db.runKept(
        QStringLiteral("INSERT INTO LOGINS (IDLOGIN, IDUSER, WHENLOGIN, LOGINIP, LOGINTYPE,"
                       " LOGINVERSION, LOGINNAME, LOGINJOB, LOGINENVLANG, LOGINBOOKSVER,"
                       " LOGINSKYPESVER, LOGINOSVER, LOGINSSL, LOGINPROXY, LOGINPOLLING,"
                       " SUCCESS) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {ctx.db.nextId(QStringLiteral("LOGINS"), QStringLiteral("IDLOGIN")), user, ctx.now(),
         ctx.request.remoteAddress.toString(), p.loginType, p.loginVer, p.user, p.job, p.envLang,
         p.booksVer, p.skypeVer, p.osVer, p.ssl, p.proxy, p.polling, success ? 1 : 0});
    transaction.commit();
}

// Name=value lines as the client reads them: CR LF, in its 8-bit code page.
QByteArray Section(const QStringList &lines) {
    return ToWin1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

QString ServerDateTime(const QDateTime &t) {
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

ActionReply SessionReply(ActionContext &ctx, const Account &account, const QDateTime &lastLogin) {
    const QStringList lines{
        QStringLiteral("sesid=") + ctx.session->id,
        QStringLiteral("p2pserver=") + ctx.options.relayHost,
        QStringLiteral("usertype=") + QString::number(account.type),
        QStringLiteral("iduser=") + QString::number(account.id),
        QStringLiteral("idjob=") + QString::number(account.job),
        QStringLiteral("lastlogwhen=") + ServerDateTime(lastLogin),
        QStringLiteral("servertime=") + ServerDateTime(ctx.now()),
        QStringLiteral("bookids=") + account.bookIds,
        QStringLiteral("progtestresult=") + account.testResult,
    };
    // The section and the packets are deflated as they are written.
    PacketOutput out(PacketOutput::Zipped, "okzip");
    out.append(Section(lines));
    for (const char *provider :
         {"prov_ordertype", "prov_user_info", "prov_course", "prov_orderstatus", "prov_ttstatus",
          "prov_userlevel", "prov_usertype"}) {
        out.append(kPacketSeparator);
        WriteProviderPacket(ctx, QLatin1String(provider), out);
    }
    return ActionReply::Raw(out.finish());
}

// One line per sign-in: the name, the address, the user and the outcome.
void LogSignIn(const LoginParams &p, const QHostAddress &address, qint64 user,
               const char *outcome) {
    ServerMetrics::instance().countSignIn(user != 0);
    const LogFields fields({{QStringLiteral("name"), p.user},
                            {QStringLiteral("address"), address.toString()},
                            {QStringLiteral("user"), QString::number(user)},
                            {QStringLiteral("outcome"), QString::fromLatin1(outcome)}});
    qCInfo(lcSignIn).noquote() << "sign-in name=" + p.user << "address=" + address.toString()
                               << "user=" + QString::number(user) << outcome;
}

} // namespace

int CompareVersions(const QString &a, const QString &b) {
    const QStringList pa = a.split(QLatin1Char('.'));
    const QStringList pb = b.split(QLatin1Char('.'));
    for (int i = 0; i < qMax(pa.size(), pb.size()); ++i) {
        const qint64 x = pa.value(i).toLongLong();
        const qint64 y = pb.value(i).toLongLong();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

ActionReply LoginAction(ActionContext &ctx) {
    const LoginParams p = ReadParams(ctx.request);
    const QHostAddress &address = ctx.request.remoteAddress;
    // A name or address that failed too often waits; its attempts are not even checked.
    if (const qint64 wait = ctx.throttle.waitSeconds(p.user, address, ctx.now()); wait > 0) {
        LogSignIn(p, address, 0, "refused: waits after repeated failures");
        return ActionReply::SignInBlocked(wait);
    }
    const std::optional<Account> account = Authenticate(ctx, p);
    if (!account) {
        LogSignIn(p, address, 0, "refused: wrong name or password, or account off");
        ctx.throttle.recordFailure(p.user, address, ctx.now());
        QSqlQuery known =
            ctx.db.run(QStringLiteral("SELECT IDUSER FROM USERS WHERE LOGINNAME = ?"), {p.user});
        const qint64 user = known.next() ? known.value(0).toLongLong() : 0;
        known.finish();
        RecordLogin(ctx, p, user, false);
        return ActionReply::BadLogin();
    }
    ctx.throttle.recordSuccess(p.user, address, ctx.now());
    LogSignIn(p, address, account->id, "accepted");
    if (!ctx.options.minVersion.isEmpty() &&
        CompareVersions(p.loginVer, ctx.options.minVersion) < 0) {
        RecordLogin(ctx, p, account->id, false);
        return ActionReply::Ok(
            Section({QStringLiteral("updatever=") + ctx.options.minVersion,
                     QStringLiteral("updatelink=") + ctx.options.updateLink(),
                     QStringLiteral("updateexecparams=") + ctx.options.updateParams}));
    }
    const QString catalogue = CatalogueVersion(ctx.db);
    if (!catalogue.isEmpty() && p.booksVer != catalogue) {
        RecordLogin(ctx, p, account->id, false);
        return ActionReply::Ok(Section(CatalogueLines(ctx.db, p.booksVer)));
    }
    const QDateTime lastLogin = LastSuccessfulLogin(ctx, account->id);
    RecordLogin(ctx, p, account->id, true);
    Session values;
    values.userId = account->id;
    values.userType = account->type;
    values.jobId = account->job;
    values.envLang = p.envLang;
    ctx.session = ctx.sessions.create(values, ctx.now(), address);
    ActionReply reply = SessionReply(ctx, *account, lastLogin);
    reply.userId = account->id;
    return reply;
}
