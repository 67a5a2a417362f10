#include "server/packets/providerqueries.h"

#include "server/store/schooldatabase.h"

#include <QSet>

// Language columns and aliases are the server's own constants; every value from a request
// travels as a bound parameter.

QString FullNameSql(const QString &alias) {
    return QStringLiteral("(COALESCE(%1.SURNAME, '') || ' ' || COALESCE(%1.FIRSTNAME, ''))")
        .arg(alias);
}

namespace {

void Lookup(ActionContext &ctx, PacketRows &rows, const QList<TFieldDef> &fields,
            const QString &sql) {
    rows.begin(fields);
    KeptQuery q = ctx.db.runKept(sql.arg(LanguageSuffix(ctx.envLang())));
    rows.addRows(*q);
}

void RequireStaff(const ActionContext &ctx) {
    if (!ctx.isStaff())
        throw Refusal(Msg::NotAllowed);
}

} // namespace

void FetchOrderTypes(ActionContext &ctx, PacketRows &rows) {
    rows.begin({IntField("IDORDERTYPE"), TextField("TYPETEXT_L", 100), FloatField("TEACHHOURS"),
                MoneyField("AMOUNT"), TextField("DESCRIPTION_L", 400), IntField("VALID"),
                IntField("EXPIREMONTHS")});
    KeptQuery q = ctx.db.runKept(
        QStringLiteral("SELECT IDORDERTYPE, TYPETEXT_%1, TEACHHOURS, AMOUNT, DESCRIPTION_%1, VALID,"
                       " EXPIREMONTHS FROM ORDERTYPES WHERE IDJOB = ? ORDER BY IDORDERTYPE")
            .arg(LanguageSuffix(ctx.envLang())),
        {ctx.jobId()});
    rows.addRows(*q);
}

void FetchCourses(ActionContext &ctx, PacketRows &rows) {
    Lookup(ctx, rows, {IntField("IDCOURSE"), TextField("COURSENAME_L", 80)},
           "SELECT IDCOURSE, COURSENAME_%1 FROM COURSES ORDER BY IDCOURSE");
}

void FetchOrderStatuses(ActionContext &ctx, PacketRows &rows) {
    Lookup(ctx, rows, {IntField("IDORDERSTATUS"), TextField("STATUSNAME_L", 60)},
           "SELECT IDORDERSTATUS, STATUSNAME_%1 FROM ORDERSTATUSES ORDER BY IDORDERSTATUS");
}

void FetchTtStatuses(ActionContext &ctx, PacketRows &rows) {
    Lookup(ctx, rows, {IntField("IDTIMETABLESTATUS"), TextField("STATUSNAME_L", 60)},
           "SELECT IDTIMETABLESTATUS, STATUSNAME_%1 FROM TTSTATUSES"
           " ORDER BY IDTIMETABLESTATUS");
}

void FetchUserLevels(ActionContext &ctx, PacketRows &rows) {
    Lookup(ctx, rows, {IntField("IDUSERLEVEL"), TextField("LEVELNAME_L", 60)},
           "SELECT IDUSERLEVEL, LEVELNAME_%1 FROM USERLEVELS ORDER BY IDUSERLEVEL");
}

void FetchUserTypes(ActionContext &ctx, PacketRows &rows) {
    Lookup(ctx, rows, {IntField("IDUSERTYPE"), TextField("TYPENAME_L", 60)},
           "SELECT IDUSERTYPE, TYPENAME_%1 FROM USERTYPES ORDER BY IDUSERTYPE");
}

void FetchOrders(ActionContext &ctx, PacketRows &rows) {
    if (ctx.isTeacher())
        throw Refusal(Msg::NotAllowed);
    rows.begin({IntField("IDORDER"), DateTimeField("WHENORDER"), TextField("VARSYMBOL", 20),
                TextField("TYPETEXT_L", 100), MoneyField("AMOUNT"), FloatField("TEACHHOURS"),
                TextField("STATUSNAME", 60), DateTimeField("WHENSTATUSCHANGE"),
                TextField("FULLNAME", 130), IntField("IDUSER"), TextField("FULLNAME_CHANGER", 130),
                IntField("ORDERTYPE"), IntField("IDJOB"), TextField("TYPETEXT", 100),
                IntField("EXPIREMONTHS"), IntField("ORDERSTATUS"), IntField("WHOSTATUSCHANGE")});
    QString sql =
        QStringLiteral(
            "SELECT O.IDORDER, O.WHENORDER, O.VARSYMBOL, T.TYPETEXT_%1, O.AMOUNT, O.TEACHHOURS,"
            " S.STATUSNAME_%1, O.WHENSTATUSCHANGE, %2, O.IDUSER, %3, O.ORDERTYPE, O.IDJOB, "
            "O.TYPETEXT,"
            " O.EXPIREMONTHS, O.ORDERSTATUS, O.WHOSTATUSCHANGE"
            " FROM ORDERS O JOIN USERS U ON U.IDUSER = O.IDUSER"
            " LEFT JOIN ORDERTYPES T ON T.IDORDERTYPE = O.ORDERTYPE"
            " LEFT JOIN ORDERSTATUSES S ON S.IDORDERSTATUS = O.ORDERSTATUS"
            " LEFT JOIN USERS C ON C.IDUSER = O.WHOSTATUSCHANGE"
            " WHERE O.IDJOB = ?")
            .arg(LanguageSuffix(ctx.envLang()), FullNameSql("U"), FullNameSql("C"));
    QVariantList binds{ctx.jobId()};
    if (ctx.isClient()) {
        sql += QStringLiteral(" AND O.IDUSER = ?");
        binds << ctx.userId();
    } else if (ctx.userType() == 2) {
        sql += QStringLiteral(" AND U.USERTYPE <> 1");
    }
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY O.IDORDER"), binds);
    rows.addRows(q);
}

void FetchOrderHistory(ActionContext &ctx, PacketRows &rows) {
    if (ctx.isTeacher())
        throw Refusal(Msg::NotAllowed);
    rows.begin({IntField("IDORDERHIST"), IntField("IDORDER"), DateTimeField("WHENCHANGE"),
                IntField("OLDSTATUS"), TextField("OLDSTATUSNAME_L", 60), IntField("NEWSTATUS"),
                TextField("NEWSTATUSNAME_L", 60), IntField("WHOCHANGE"),
                TextField("FULLNAME", 130)});
    QString sql =
        QStringLiteral(
            "SELECT H.IDORDERHIST, H.IDORDER, H.WHENCHANGE, H.OLDSTATUS, OS.STATUSNAME_%1,"
            " H.NEWSTATUS, NS.STATUSNAME_%1, H.WHOCHANGE, %2"
            " FROM ORDERHIST H JOIN ORDERS O ON O.IDORDER = H.IDORDER"
            " LEFT JOIN ORDERSTATUSES OS ON OS.IDORDERSTATUS = H.OLDSTATUS"
            " LEFT JOIN ORDERSTATUSES NS ON NS.IDORDERSTATUS = H.NEWSTATUS"
            " LEFT JOIN USERS W ON W.IDUSER = H.WHOCHANGE"
            " WHERE O.IDJOB = ?")
            .arg(LanguageSuffix(ctx.envLang()), FullNameSql("W"));
    QVariantList binds{ctx.jobId()};
    if (ctx.isClient()) {
        sql += QStringLiteral(" AND O.IDUSER = ?");
        binds << ctx.userId();
    }
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY H.IDORDERHIST"), binds);
    rows.addRows(q);
}

QList<TFieldDef> TimetableFields() {
    return {IntField("IDTIMETABLE"),
            DateTimeField("WHENHOUR"),
            FloatField("HOURS"),
            TextField("TEACHERFULLNAME", 130),
            TextField("CLIENTFULLNAME", 130),
            TextField("STATUSNAME_L", 60),
            DateTimeField("WHENSTATUSCHANGE"),
            TextField("CHANGERFULLNAME", 130),
            IntField("IDJOB"),
            IntField("IDTEACHER"),
            IntField("TIMETABLESTATUS"),
            IntField("IDUSER"),
            IntField("WHOSTATUSCHANGE")};
}

QString TimetableSelect(const ActionContext &ctx) {
    return QStringLiteral(
               "SELECT T.IDTIMETABLE, T.WHENHOUR, T.HOURS, %2, CASE WHEN T.IDUSER > 0 THEN %3 END,"
               " S.STATUSNAME_%1, T.WHENSTATUSCHANGE, %4, T.IDJOB, T.IDTEACHER, T.TIMETABLESTATUS,"
               " T.IDUSER, T.WHOSTATUSCHANGE"
               " FROM TIMETABLE T LEFT JOIN USERS TE ON TE.IDUSER = T.IDTEACHER"
               " LEFT JOIN USERS CL ON CL.IDUSER = T.IDUSER"
               " LEFT JOIN USERS CH ON CH.IDUSER = T.WHOSTATUSCHANGE"
               " LEFT JOIN TTSTATUSES S ON S.IDTIMETABLESTATUS = T.TIMETABLESTATUS"
               " WHERE T.IDJOB = ?")
        .arg(LanguageSuffix(ctx.envLang()), FullNameSql("TE"), FullNameSql("CL"),
             FullNameSql("CH"));
}

void FetchTimetable(ActionContext &ctx, PacketRows &rows) {
    rows.begin(TimetableFields());
    const QString select = TimetableSelect(ctx);
    QString sql = select;
    QVariantList binds{ctx.jobId()};
    if (ctx.isClient()) {
        // His own lessons and the free slots he can still book; two selects so that each
        // part reads its own index.
        sql += QStringLiteral(" AND T.IDUSER = ? UNION ALL ") + select +
               QStringLiteral(" AND T.TIMETABLESTATUS = 1 AND T.WHENHOUR >= ? AND T.IDUSER <> ?");
        binds << ctx.userId() << ctx.jobId() << ctx.now() << ctx.userId();
    } else if (ctx.isTeacher()) {
        sql += QStringLiteral(" AND T.IDTEACHER = ?");
        binds << ctx.userId();
    }
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY 2, 1"), binds);
    rows.addRows(q);
}

void FetchTtStatusHistory(ActionContext &ctx, PacketRows &rows) {
    RequireStaff(ctx);
    rows.begin({IntField("IDTIMETABLEHIST"), IntField("IDTIMETABLE"), DateTimeField("WHENCHANGE"),
                IntField("WHOCHANGE"), TextField("FULLNAME_CHANGER", 130), IntField("OLDSTATUS"),
                TextField("STATUS_OLD", 60), IntField("NEWSTATUS"), TextField("STATUS_NEW", 60),
                IntField("OLDTEACHER"), IntField("NEWTEACHER"), TextField("FULLNAME_TEACHER", 130),
                IntField("OLDUSER"), TextField("FULLNAME_OLDUSER", 130), IntField("NEWUSER"),
                TextField("FULLNAME_NEWUSER", 130)});
    QSqlQuery q = ctx.db.run(
        QStringLiteral(
            "SELECT H.IDTIMETABLEHIST, H.IDTIMETABLE, H.WHENCHANGE, H.WHOCHANGE, %2, H.OLDSTATUS,"
            " OS.STATUSNAME_%1, H.NEWSTATUS, NS.STATUSNAME_%1, H.OLDTEACHER, H.NEWTEACHER, %3,"
            " H.OLDUSER, CASE WHEN H.OLDUSER > 0 THEN %4 END, H.NEWUSER,"
            " CASE WHEN H.NEWUSER > 0 THEN %5 END"
            " FROM TTSTATUSHIST H JOIN TIMETABLE T ON T.IDTIMETABLE = H.IDTIMETABLE"
            " LEFT JOIN USERS W ON W.IDUSER = H.WHOCHANGE"
            " LEFT JOIN USERS TE ON TE.IDUSER = H.NEWTEACHER"
            " LEFT JOIN USERS OU ON OU.IDUSER = H.OLDUSER"
            " LEFT JOIN USERS NU ON NU.IDUSER = H.NEWUSER"
            " LEFT JOIN TTSTATUSES OS ON OS.IDTIMETABLESTATUS = H.OLDSTATUS"
            " LEFT JOIN TTSTATUSES NS ON NS.IDTIMETABLESTATUS = H.NEWSTATUS"
            " WHERE T.IDJOB = ? ORDER BY H.IDTIMETABLEHIST")
            .arg(LanguageSuffix(ctx.envLang()), FullNameSql("W"), FullNameSql("TE"),
                 FullNameSql("OU"), FullNameSql("NU")),
        {ctx.jobId()});
    rows.addRows(q);
}

void FetchUserRemarks(ActionContext &ctx, PacketRows &rows) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    rows.begin({IntField("IDUSERREMARK"), IntField("IDJOB"), IntField("IDUSER"),
                IntField("WHOWRITE"), DateTimeField("WHENWRITTEN"), MemoField("REMARK"),
                TextField("FULLNAME", 130)});
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT R.IDUSERREMARK, R.IDJOB, R.IDUSER, R.WHOWRITE, R.WHENWRITTEN,"
                       " R.REMARK, %1 FROM USERREMARKS R LEFT JOIN USERS W ON W.IDUSER = R.WHOWRITE"
                       " WHERE R.IDJOB = ? ORDER BY R.WHENWRITTEN, R.IDUSERREMARK")
            .arg(FullNameSql("W")),
        {ctx.jobId()});
    rows.addRows(q);
}

void FetchLogins(ActionContext &ctx, PacketRows &rows) {
    RequireStaff(ctx);
    rows.begin({IntField("IDLOGIN"), DateTimeField("WHENLOGIN"), TextField("LOGINIP", 60),
                IntField("LOGINTYPE"), TextField("LOGINVERSION", 40), TextField("LOGINNAME", 60),
                TextField("LOGINPASS", 60), IntField("LOGINJOB"), IntField("LOGINENVLANG"),
                TextField("LOGINBOOKSVER", 40), TextField("LOGINSKYPESVER", 40),
                TextField("LANGNAME", 30), TextField("LOGINOSVER", 100), IntField("LOGINSSL"),
                IntField("LOGINPROXY"), IntField("LOGINPOLLING"), IntField("IDUSER"),
                IntField("SUCCESS")});
    // The password of a sign-in is never stored; LOGINPASS stays empty.
    QString sql = QStringLiteral(
        "SELECT L.IDLOGIN, L.WHENLOGIN, L.LOGINIP, L.LOGINTYPE, L.LOGINVERSION, L.LOGINNAME, NULL,"
        " L.LOGINJOB, L.LOGINENVLANG, L.LOGINBOOKSVER, L.LOGINSKYPESVER,"
        " CASE L.LOGINENVLANG WHEN 3 THEN ? ELSE ? END, L.LOGINOSVER, L.LOGINSSL, L.LOGINPROXY,"
        " L.LOGINPOLLING, L.IDUSER, L.SUCCESS"
        " FROM LOGINS L LEFT JOIN USERS U ON U.IDUSER = L.IDUSER"
        " WHERE (U.IDJOB = ? OR L.IDUSER = 0)");
    if (ctx.userType() == 2)
        sql += QStringLiteral(" AND (U.USERTYPE IS NULL OR U.USERTYPE <> 1)");
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY L.IDLOGIN"),
                             {LanguageName(3), LanguageName(2), ctx.jobId()});
    rows.addRows(q);
}

void FetchMessages(ActionContext &ctx, PacketRows &rows) {
    RequireStaff(ctx);
    rows.begin({IntField("IDMSG"), DateTimeField("WHENSENT"), IntField("IDJOB"),
                IntField("IDENVLANG"), TextField("MSGTYPE", 30), TextField("EMAILTO", 100),
                IntField("WHOINITIATOR"), IntField("WHORECEIVER"), DateTimeField("WHENREADED"),
                TextField("EMAILSUBJECT", 200), MemoField("EMAILBODY"),
                TextField("EMAILSENT_L", 10), TextField("FULLNAME", 130), TextField("LANGNAME", 30),
                IntField("IDREF")});
    const bool sk = ctx.envLang() == 3;
    QString sql = QStringLiteral("SELECT M.IDMSG, M.WHENSENT, M.IDJOB, M.IDENVLANG, M.MSGTYPE, "
                                 "M.EMAILTO, M.WHOINITIATOR,"
                                 " M.WHORECEIVER, M.WHENREADED, M.EMAILSUBJECT, M.EMAILBODY,"
                                 " CASE WHEN M.EMAILSENT = 1 THEN ? ELSE ? END, %1,"
                                 " CASE M.IDENVLANG WHEN 3 THEN ? ELSE ? END, M.IDREF"
                                 " FROM MSGS M LEFT JOIN USERS I ON I.IDUSER = M.WHOINITIATOR"
                                 " LEFT JOIN USERS R ON R.IDUSER = M.WHORECEIVER WHERE M.IDJOB = ?")
                      .arg(FullNameSql("I"));
    if (ctx.userType() == 2)
        sql += QStringLiteral(" AND (R.USERTYPE IS NULL OR R.USERTYPE <> 1)");
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY M.IDMSG"),
                             {sk ? QStringLiteral("áno") : QStringLiteral("ano"),
                              sk ? QStringLiteral("nie") : QStringLiteral("ne"), LanguageName(3),
                              LanguageName(2), ctx.jobId()});
    rows.addRows(q);
}

void FetchOnlineTeachers(ActionContext &ctx, PacketRows &rows) {
    rows.begin({IntField("IDUSER"), TextField("FULLNAME", 130)});
    // A teacher side signs on at the relay as "job_user"; students add a third part.
    const QString prefix = QString::number(ctx.jobId()) + QLatin1Char('_');
    QSet<qint64> online;
    if (ctx.onlineClientIds) {
        for (const QString &id : ctx.onlineClientIds()) {
            const QStringList parts = id.split(QLatin1Char('_'));
            bool ok = false;
            const qint64 user = parts.value(1).toLongLong(&ok);
            if (parts.size() == 2 && id.startsWith(prefix) && ok)
                online.insert(user);
        }
    }
    if (online.isEmpty())
        return;
    QSqlQuery q = ctx.db.run(
        QStringLiteral("SELECT U.IDUSER, %1 FROM USERS U WHERE U.IDJOB = ? AND U.USERTYPE <= 3"
                       " AND U.USERACTIVE = 1 ORDER BY 2")
            .arg(FullNameSql("U")),
        {ctx.jobId()});
    while (q.next()) {
        if (!online.contains(q.value(0).toLongLong()))
            continue;
        rows.beginRow();
        rows.set(0, TValue::FromInteger(q.value(0).toLongLong()));
        rows.set(1, TValue::FromText(q.value(1).toString()));
        rows.endRow();
    }
}
