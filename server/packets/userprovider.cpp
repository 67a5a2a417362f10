#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"
#include "server/packets/userstatistics.h"

namespace {

QList<TFieldDef> UserFields() {
    QList<TFieldDef> f{IntField("IDUSER"),
                       TextField("SURNAME", 60),
                       TextField("FIRSTNAME", 60),
                       TextField("TITLE", 30),
                       TextField("USERTYPE_L", 60),
                       TextField("USERTYPENAME_L", 60),
                       TextField("USERACTIVE_L", 10),
                       TextField("USERLEVEL_L", 60),
                       IntField("USERTYPE"),
                       IntField("USERLEVEL"),
                       IntField("COURSE"),
                       IntField("USERACTIVE"),
                       IntField("IDJOB"),
                       TextField("EMAIL", 100),
                       TextField("SKYPENICK", 60),
                       TextField("COURSE_L", 80),
                       TextField("BOOKIDS", 200),
                       TextField("LOGINNAME", 60),
                       TextField("LOGINPASS", 60),
                       DateTimeField("LASTLOGWHEN"),
                       TextField("LASTLOGENVLANG_L", 30),
                       IntField("LASTLOGTYPE"),
                       IntField("LASTLOGENVLANG"),
                       TextField("LASTLOGVER", 40),
                       TextField("LASTLOGIP", 60),
                       TextField("LASTLOGBOOKSVER", 40),
                       TextField("LASTLOGSKYPEVER", 40),
                       TextField("LASTLOGOSVER", 100),
                       DateTimeField("WHENCONFIRMREGIST"),
                       TextField("PROGTESTRESULT", 20),
                       FloatField("HOURDEBIT"),
                       TextField("FULLNAME", 130),
                       DateTimeField("WHENBORN"),
                       TextField("ICO", 20),
                       TextField("DIC", 20),
                       TextField("FIRMNAME", 100),
                       TextField("ADDRESSNAME_F", 100),
                       TextField("STREET_F", 100),
                       TextField("CITY_F", 60),
                       TextField("ZIP_F", 10),
                       TextField("COUNTRY_F", 60),
                       TextField("ADDRESSNAME_C", 100),
                       TextField("STREET_C", 100),
                       TextField("CITY_C", 60),
                       TextField("ZIP_C", 10),
                       TextField("COUNTRY_C", 60),
                       TextField("PHONENUMBER", 30),
                       TextField("PHONENUMBER2", 30),
                       TextField("BANKACCOUNT", 30),
                       TextField("BANKCODE", 10),
                       MemoField("REMARK")};
    // Totals computed from orders and lessons, after the stored columns.
    for (const char *name :
         {"HOURSORDERED", "HOURSPAYED", "HOURSEXPIRED", "HOURSLEARNED", "HOURSMISSED",
          "HOURSCONFIRMED", "HOURSUNCONFIRMED", "HOURSSTORNOPAY", "HOURSFREE", "HOURSTEACHED",
          "HOURSTEACHMISSED", "HOURSTEACHCONFIRM", "HOURSTEACHUNCONFIRM", "HOURSTEACHSTORNOPAY"})
        f << FloatField(QLatin1String(name));
    f << MoneyField("AMOUNTORDERED") << MoneyField("AMOUNTPAYED")
      << DateTimeField("WHENEXPIREHOURSFREE");
    return f;
}

QString UserSelect(const QString &lang) {
    return QStringLiteral(
               "SELECT U.IDUSER, U.SURNAME, U.FIRSTNAME, U.TITLE, T.TYPENAME_%1, T.TYPENAME_%1,"
               " CASE WHEN U.USERACTIVE = 1 THEN ? ELSE ? END, V.LEVELNAME_%1, U.USERTYPE,"
               " U.USERLEVEL, U.COURSE, U.USERACTIVE, U.IDJOB, U.EMAIL, U.SKYPENICK, "
               "C.COURSENAME_%1,"
               " U.BOOKIDS, U.LOGINNAME, NULL, L.WHENLOGIN,"
               " CASE L.LOGINENVLANG WHEN 3 THEN ? WHEN 2 THEN ? END, L.LOGINTYPE, L.LOGINENVLANG,"
               " L.LOGINVERSION, L.LOGINIP, L.LOGINBOOKSVER, L.LOGINSKYPESVER, L.LOGINOSVER,"
               " U.WHENCONFIRMREGIST, U.PROGTESTRESULT, U.HOURDEBIT, %2, U.WHENBORN, U.ICO, U.DIC,"
               " U.FIRMNAME, U.ADDRESSNAME_F, U.STREET_F, U.CITY_F, U.ZIP_F, U.COUNTRY_F,"
               " U.ADDRESSNAME_C, U.STREET_C, U.CITY_C, U.ZIP_C, U.COUNTRY_C, U.PHONENUMBER,"
               " U.PHONENUMBER2, U.BANKACCOUNT, U.BANKCODE, U.REMARK"
               " FROM USERS U LEFT JOIN USERTYPES T ON T.IDUSERTYPE = U.USERTYPE"
               " LEFT JOIN USERLEVELS V ON V.IDUSERLEVEL = U.USERLEVEL"
               " LEFT JOIN COURSES C ON C.IDCOURSE = U.COURSE"
               " LEFT JOIN LOGINS L ON L.IDLOGIN = (SELECT MAX(L2.IDLOGIN) FROM LOGINS L2"
               " WHERE L2.IDUSER = U.IDUSER AND L2.SUCCESS = 1)")
        .arg(lang, FullNameSql("U"));
}

QVariantList UserBinds(int envLang) {
    const bool sk = envLang == 3;
    return {sk ? QStringLiteral("áno") : QStringLiteral("ano"),
            sk ? QStringLiteral("nie") : QStringLiteral("ne"), LanguageName(3), LanguageName(2)};
}

// The first field after the stored columns: the totals computed from orders and lessons.
int FirstTotalField() {
    static const int first = [] {
        const QList<TFieldDef> fields = UserFields();
        for (int f = 0; f < fields.size(); ++f) {
            if (fields[f].name == QLatin1String("HOURSORDERED"))
                return f;
        }
        return int(fields.size());
    }();
    return first;
}

// Fills each user's row with his totals.
QueryRowOptions WithStatistics(const QHash<qint64, UserStats> &stats) {
    QueryRowOptions options;
    options.complete = [&stats](qint64 user, PacketRows &row) {
        const UserStats s = stats.value(user);
        const double values[] = {
            s.hoursOrdered,        s.hoursPayed,          s.hoursExpired,     s.hoursLearned,
            s.hoursMissed,         s.hoursConfirmed,      s.hoursUnconfirmed, s.hoursStornoPay,
            s.hoursFree(),         s.hoursTeached,        s.hoursTeachMissed, s.hoursTeachConfirm,
            s.hoursTeachUnconfirm, s.hoursTeachStornoPay, s.amountOrdered,    s.amountPayed};
        int field = FirstTotalField();
        for (double v : values)
            row.set(field++, TValue::FromFloat(v));
        if (s.whenExpireHoursFree.isValid())
            row.set(field, TValue::FromDateTime(s.whenExpireHoursFree));
    };
    return options;
}

// A bit per field, set where the field's name is among the names (or, with among false, where
// it is not).
std::vector<bool> FieldBits(const QStringList &names, bool among) {
    const QList<TFieldDef> fields = UserFields();
    std::vector<bool> bits;
    for (const TFieldDef &field : fields)
        bits.push_back(names.contains(field.name) == among);
    return bits;
}

// What a teacher's user dialog shows: the basic data, the level and course, the account
// state. Everything else (addresses, bank accounts, sign-in addresses, statistics) stays empty.
const std::vector<bool> &TeacherFields() {
    static const std::vector<bool> keep = FieldBits(
        {"IDUSER",         "SURNAME",     "FIRSTNAME", "TITLE",     "USERTYPE_L", "USERTYPENAME_L",
         "USERACTIVE_L",   "USERLEVEL_L", "USERTYPE",  "USERLEVEL", "COURSE",     "USERACTIVE",
         "IDJOB",          "EMAIL",       "SKYPENICK", "COURSE_L",  "BOOKIDS",    "LOGINNAME",
         "PROGTESTRESULT", "HOURDEBIT",   "FULLNAME",  "WHENBORN"},
        true);
    return keep;
}

// Everything but the manager's remark about a user, which is for staff only.
const std::vector<bool> &WithoutManagerRemark() {
    static const std::vector<bool> keep = FieldBits({"REMARK"}, false);
    return keep;
}

} // namespace

void FetchUsers(ActionContext &ctx, PacketRows &rows) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    QString sql = UserSelect(LanguageSuffix(ctx.envLang())) + QStringLiteral(" WHERE U.IDJOB = ?");
    QVariantList binds = UserBinds(ctx.envLang());
    binds << ctx.jobId();
    if (ctx.userType() == 2) {
        sql += QStringLiteral(" AND U.USERTYPE <> 1");
    } else if (ctx.isTeacher()) {
        // A teacher sees his students (for the lesson and its remarks) and himself.
        sql += QStringLiteral(" AND (U.USERTYPE = 4 OR U.IDUSER = ?)");
        binds << ctx.userId();
    }
    // The totals are gathered first: each row is written as it is read.
    QHash<qint64, UserStats> stats;
    QueryRowOptions options;
    if (ctx.isTeacher()) {
        options.keep = &TeacherFields();
    } else {
        stats = ComputeUserStatistics(ctx.db, ctx.jobId(), std::nullopt, ctx.now());
        options = WithStatistics(stats);
    }
    rows.begin(UserFields());
    QSqlQuery q = ctx.db.run(sql + QStringLiteral(" ORDER BY U.IDUSER"), binds);
    rows.addRows(q, options);
}

void FetchUserInfo(ActionContext &ctx, PacketRows &rows) {
    const QHash<qint64, UserStats> stats =
        ComputeUserStatistics(ctx.db, ctx.jobId(), ctx.userId(), ctx.now());
    QueryRowOptions options = WithStatistics(stats);
    options.keep = &WithoutManagerRemark();
    QVariantList binds = UserBinds(ctx.envLang());
    binds << ctx.userId();
    rows.begin(UserFields());
    KeptQuery q = ctx.db.runKept(
        UserSelect(LanguageSuffix(ctx.envLang())) + QStringLiteral(" WHERE U.IDUSER = ?"), binds);
    rows.addRows(*q, options);
}
