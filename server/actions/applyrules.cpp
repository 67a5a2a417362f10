#include "server/actions/applyrules.h"

#include "server/store/schooldatabase.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {

// A column a change set may write, with the kind it is stored as and its text width.
struct Editable {
    const char *name;
    TValue::Kind kind;
    int width = 0;
    bool multiline = false;
    double low = 0, high = 0; // numbers: the range the school's rules allow, when low < high
};

const QList<Editable> kProfileFields{
    {"TITLE", TValue::Text, 30},
    {"FIRSTNAME", TValue::Text, 60},
    {"SURNAME", TValue::Text, 60},
    {"EMAIL", TValue::Text, 100},
    {"SKYPENICK", TValue::Text, 60},
    {"WHENBORN", TValue::DateTime},
    {"FIRMNAME", TValue::Text, 100},
    {"ICO", TValue::Text, 20},
    {"DIC", TValue::Text, 20},
    {"ADDRESSNAME_F", TValue::Text, 100},
    {"STREET_F", TValue::Text, 100},
    {"ZIP_F", TValue::Text, 10},
    {"CITY_F", TValue::Text, 60},
    {"COUNTRY_F", TValue::Text, 60},
    {"ADDRESSNAME_C", TValue::Text, 100},
    {"STREET_C", TValue::Text, 100},
    {"ZIP_C", TValue::Text, 10},
    {"CITY_C", TValue::Text, 60},
    {"COUNTRY_C", TValue::Text, 60},
    {"PHONENUMBER", TValue::Text, 30},
    {"PHONENUMBER2", TValue::Text, 30},
    {"BANKACCOUNT", TValue::Text, 30},
    {"BANKCODE", TValue::Text, 10},
};

const QList<Editable> kStaffUserFields{
    {"HOURDEBIT", TValue::Float, 0, false, -10000, 10000},
    {"USERLEVEL", TValue::Integer},
    {"COURSE", TValue::Integer},
    {"USERACTIVE", TValue::Integer},
    {"BOOKIDS", TValue::Text, 200},
    {"REMARK", TValue::Text, 20000, true},
};

// What a teacher may change in a student's record: the level and the course.
const QList<Editable> kTeacherUserFields{
    {"USERLEVEL", TValue::Integer},
    {"COURSE", TValue::Integer},
};

// Line breaks and other control characters in a one-line field would reach e-mail headers
// and exports; only multi-line fields take them.
bool HasControlCharacters(const QString &text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// A NUL is refused in every text: no field holds one, and PostgreSQL refuses to store it.
bool HasNul(const QString &text) {
    return text.contains(QChar(0));
}

const Editable *FindEditable(const QList<Editable> &fields, const QString &name) {
    for (const Editable &f : fields)
        if (name == QLatin1String(f.name))
            return &f;
    return nullptr;
}

qint64 KeyOf(const QString &text) {
    bool ok = false;
    const qint64 key = text.toLongLong(&ok);
    if (!ok)
        throw Refusal(Msg::BadChangeSet);
    return key;
}

QVariant Convert(const TValue &value, const Editable &field) {
    if (value.isNull())
        return QVariant();
    const bool ranged = field.low < field.high;
    switch (field.kind) {
    case TValue::Integer: {
        const qint64 n = value.toInteger();
        if (ranged && (n < field.low || n > field.high))
            throw Refusal(Msg::ValueOutOfRange, QLatin1String(field.name));
        return n;
    }
    case TValue::Float: {
        const double x = value.toFloat();
        if (!std::isfinite(x) || (ranged && (x < field.low || x > field.high)))
            throw Refusal(Msg::ValueOutOfRange, QLatin1String(field.name));
        return x;
    }
    case TValue::DateTime:
        return value.toQDateTime();
    default: {
        const QString text = value.toText();
        if (field.width > 0 && text.size() > field.width)
            throw Refusal(Msg::ValueTooLong, QLatin1String(field.name));
        if (HasNul(text) || (!field.multiline && HasControlCharacters(text)))
            throw Refusal(Msg::BadFieldValue, QLatin1String(field.name));
        return text;
    }
    }
}

// Updates the changed columns that the user may write; a change to any other column is
// refused (a column sent with its old value unchanged is ignored).
void UpdateRow(ActionContext &ctx, const QString &table, const QString &keyColumn, qint64 key,
               const ChangeOp &op, const QList<Editable> &allowed) {
    QStringList assignments;
    QVariantList binds;
    for (auto it = op.values.cbegin(); it != op.values.cend(); ++it) {
        const Editable *field = FindEditable(allowed, it.key());
        if (!field) {
            if (op.oldValues.value(it.key()) == it.value())
                continue;
            throw Refusal(Msg::FieldNotEditable, it.key());
        }
        assignments << QLatin1String(field->name) + QStringLiteral(" = ?");
        binds << Convert(it.value(), *field);
    }
    if (assignments.isEmpty())
        return;
    binds << key;
    QSqlQuery q = ctx.db.run(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                 .arg(table, assignments.join(QStringLiteral(", ")), keyColumn),
                             binds);
    if (q.numRowsAffected() == 0)
        throw Refusal(Msg::RecordNotFound);
}

void RequireStaff(const ActionContext &ctx) {
    if (!ctx.isStaff())
        throw Refusal(Msg::NotAllowed);
}

void RequireTypeOne(const ActionContext &ctx) {
    if (ctx.userType() != 1)
        throw Refusal(Msg::NotAllowed);
}

// The user's type when he belongs to the session's job; refuses an unknown user.
int UserTypeInJob(ActionContext &ctx, qint64 user) {
    const QVariant type =
        ctx.db.scalar(QStringLiteral("SELECT USERTYPE FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
                      {user, ctx.jobId()});
    if (!type.isValid())
        throw Refusal(Msg::RecordNotFound);
    return type.toInt();
}

// --- timetable: staff and teachers add and delete free slots; statuses change by action.

void InsertSlot(ActionContext &ctx, const ChangeOp &op) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 teacher =
        op.values.contains("IDTEACHER") ? op.values["IDTEACHER"].toInteger() : ctx.userId();
    if (ctx.isTeacher() && teacher != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    if (UserTypeInJob(ctx, teacher) > 3)
        throw Refusal(Msg::NotAllowed);
    if (op.values.contains("TIMETABLESTATUS") && op.values["TIMETABLESTATUS"].toInteger() != 1)
        throw Refusal(Msg::StatusNotAllowed);
    if (op.values.value("IDUSER").toInteger() != 0)
        throw Refusal(Msg::FieldNotEditable, QStringLiteral("IDUSER"));
    const TValue when = op.values.value("WHENHOUR");
    if (when.isNull())
        throw Refusal(Msg::MissingParameter, QStringLiteral("WHENHOUR"));
    const QDateTime hour = when.toQDateTime();
    const double hours = op.values.contains("HOURS") ? op.values["HOURS"].toFloat() : 1.0;
    if (!hour.isValid() || !(hours > 0 && hours <= 8))
        throw Refusal(Msg::BadChangeSet);
    // Slots are offered for the school's near past and future, not for any year at all.
    const int year = ctx.now().date().year();
    if (hour.date().year() < year - 1 || hour.date().year() > year + 2)
        throw Refusal(Msg::ValueOutOfRange, QStringLiteral("WHENHOUR"));
    const QVariant taken = ctx.db.scalar(
        QStringLiteral("SELECT IDTIMETABLE FROM TIMETABLE WHERE IDJOB = ? AND IDTEACHER = ?"
                       " AND WHENHOUR = ? AND TIMETABLESTATUS <> 7"),
        {ctx.jobId(), teacher, hour});
    if (taken.isValid())
        throw Refusal(Msg::SlotTaken, hour.toString(QStringLiteral("d.M.yyyy H:mm")));
    const qint64 id = ctx.db.nextId(QStringLiteral("TIMETABLE"), QStringLiteral("IDTIMETABLE"));
    ctx.db.run(QStringLiteral("INSERT INTO TIMETABLE (IDTIMETABLE, IDJOB, IDTEACHER, IDUSER,"
                              " WHENHOUR, HOURS, TIMETABLESTATUS, WHENSTATUSCHANGE,"
                              " WHOSTATUSCHANGE) VALUES (?, ?, ?, 0, ?, ?, 1, ?, ?)"),
               {id, ctx.jobId(), teacher, hour, hours, ctx.now(), ctx.userId()});
    RecordTimetableHistory(ctx, id, QVariant(), 1, teacher, teacher, 0, 0);
}

void DeleteSlot(ActionContext &ctx, const ChangeOp &op) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 id = KeyOf(op.key);
    QSqlQuery q = ctx.db.run(QStringLiteral("SELECT TIMETABLESTATUS, IDTEACHER FROM TIMETABLE"
                                            " WHERE IDTIMETABLE = ? AND IDJOB = ?"),
                             {id, ctx.jobId()});
    if (!q.next())
        throw Refusal(Msg::LessonNotFound);
    if (ctx.isTeacher() && q.value(1).toLongLong() != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    if (q.value(0).toInt() != 1)
        throw Refusal(Msg::OnlyFreeSlotDeleted);
    ctx.db.run(QStringLiteral("DELETE FROM TTSTATUSHIST WHERE IDTIMETABLE = ?"), {id});
    ctx.db.run(QStringLiteral("DELETE FROM TIMETABLE WHERE IDTIMETABLE = ?"), {id});
}

// --- orders: staff edit status, amount, hours and date; a status change is stamped.

void ModifyOrder(ActionContext &ctx, const ChangeOp &op) {
    RequireStaff(ctx);
    const qint64 id = KeyOf(op.key);
    QSqlQuery q = ctx.db.run(QStringLiteral("SELECT O.ORDERSTATUS, U.USERTYPE FROM ORDERS O"
                                            " JOIN USERS U ON U.IDUSER = O.IDUSER"
                                            " WHERE O.IDORDER = ? AND O.IDJOB = ?"),
                             {id, ctx.jobId()});
    if (!q.next() || (ctx.userType() == 2 && q.value(1).toInt() == 1))
        throw Refusal(Msg::RecordNotFound);
    const int oldStatus = q.value(0).toInt();
    ChangeOp changes = op;
    changes.values.remove(QStringLiteral("WHOSTATUSCHANGE")); // stamped here
    changes.values.remove(QStringLiteral("WHENSTATUSCHANGE"));
    if (changes.values.contains("ORDERSTATUS")) {
        const qint64 status = changes.values["ORDERSTATUS"].toInteger();
        if (status < 1 || status > 4)
            throw Refusal(Msg::StatusNotAllowed);
    }
    UpdateRow(ctx, QStringLiteral("ORDERS"), QStringLiteral("IDORDER"), id, changes,
              {{"ORDERSTATUS", TValue::Integer},
               {"AMOUNT", TValue::Float, 0, false, 0, 10'000'000},
               {"TEACHHOURS", TValue::Float, 0, false, 0, 1000},
               {"WHENORDER", TValue::DateTime}});
    const int newStatus = changes.values.contains("ORDERSTATUS")
                              ? int(changes.values["ORDERSTATUS"].toInteger())
                              : oldStatus;
    if (newStatus == oldStatus)
        return;
    ctx.db.run(QStringLiteral("UPDATE ORDERS SET WHENSTATUSCHANGE = ?, WHOSTATUSCHANGE = ?"
                              " WHERE IDORDER = ?"),
               {ctx.now(), ctx.userId(), id});
    ctx.db.run(QStringLiteral("INSERT INTO ORDERHIST (IDORDERHIST, IDORDER, WHENCHANGE, OLDSTATUS,"
                              " NEWSTATUS, WHOCHANGE) VALUES (?, ?, ?, ?, ?, ?)"),
               {ctx.db.nextId(QStringLiteral("ORDERHIST"), QStringLiteral("IDORDERHIST")), id,
                ctx.now(), oldStatus, newStatus, ctx.userId()});
}

// --- users: staff edit profiles and school data; everyone edits his own profile only.

const QRegularExpression kBookIds(QStringLiteral("^(\\d{1,4}(;\\d{1,4})*)?$"));

void CheckBookIds(const ChangeOp &op) {
    if (op.values.contains("BOOKIDS") && !kBookIds.match(op.values["BOOKIDS"].toText()).hasMatch())
        throw Refusal(Msg::BadChangeSet);
}

// A teacher sets the level and course of a student; staff edit everything they manage. An
// account that is switched off loses its sessions at once.
void ModifyUser(ActionContext &ctx, const ChangeOp &op) {
    const qint64 id = KeyOf(op.key);
    if (ctx.isTeacher()) {
        if (UserTypeInJob(ctx, id) != 4)
            throw Refusal(Msg::NotAllowed);
        UpdateRow(ctx, QStringLiteral("USERS"), QStringLiteral("IDUSER"), id, op,
                  kTeacherUserFields);
        return;
    }
    RequireStaff(ctx);
    if (ctx.userType() == 2 && UserTypeInJob(ctx, id) == 1)
        throw Refusal(Msg::NotAllowed);
    UserTypeInJob(ctx, id);
    CheckBookIds(op);
    UpdateRow(ctx, QStringLiteral("USERS"), QStringLiteral("IDUSER"), id, op,
              kProfileFields + kStaffUserFields);
    const auto active = op.values.constFind(QStringLiteral("USERACTIVE"));
    if (active != op.values.cend() && active->toInteger() != 1)
        ctx.sessions.removeUser(id);
}

void ModifyOwnProfile(ActionContext &ctx, const ChangeOp &op) {
    if (KeyOf(op.key) != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    UpdateRow(ctx, QStringLiteral("USERS"), QStringLiteral("IDUSER"), ctx.userId(), op,
              kProfileFields);
}

// --- remarks: staff and teachers write them; a teacher changes only his own.

void InsertRemark(ActionContext &ctx, const ChangeOp &op) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 user = op.values.value("IDUSER").toInteger();
    UserTypeInJob(ctx, user);
    // Written now, whatever time the change set names: nobody backdates a remark.
    ctx.db.run(QStringLiteral("INSERT INTO USERREMARKS (IDUSERREMARK, IDJOB, IDUSER, WHOWRITE,"
                              " WHENWRITTEN, REMARK) VALUES (?, ?, ?, ?, ?, ?)"),
               {ctx.db.nextId(QStringLiteral("USERREMARKS"), QStringLiteral("IDUSERREMARK")),
                ctx.jobId(), user, ctx.userId(), ctx.now(),
                Convert(op.values.value("REMARK"), {"REMARK", TValue::Text, 20000, true})});
}

qint64 RemarkKeyForChange(ActionContext &ctx, const ChangeOp &op) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 id = KeyOf(op.key);
    const QVariant writer = ctx.db.scalar(
        QStringLiteral("SELECT WHOWRITE FROM USERREMARKS WHERE IDUSERREMARK = ? AND IDJOB = ?"),
        {id, ctx.jobId()});
    if (!writer.isValid())
        throw Refusal(Msg::RecordNotFound);
    if (!ctx.isStaff() && writer.toLongLong() != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    return id;
}

void ModifyRemark(ActionContext &ctx, const ChangeOp &op) {
    UpdateRow(ctx, QStringLiteral("USERREMARKS"), QStringLiteral("IDUSERREMARK"),
              RemarkKeyForChange(ctx, op), op, {{"REMARK", TValue::Text, 20000, true}});
}

void DeleteRemark(ActionContext &ctx, const ChangeOp &op) {
    ctx.db.run(QStringLiteral("DELETE FROM USERREMARKS WHERE IDUSERREMARK = ?"),
               {RemarkKeyForChange(ctx, op)});
}

// --- sign-in records and sent messages: only the school's top staff delete them.

void DeleteLogin(ActionContext &ctx, const ChangeOp &op) {
    RequireTypeOne(ctx);
    ctx.db.run(QStringLiteral("DELETE FROM LOGINS WHERE IDLOGIN = ? AND (IDUSER = 0 OR IDUSER IN"
                              " (SELECT IDUSER FROM USERS WHERE IDJOB = ?))"),
               {KeyOf(op.key), ctx.jobId()});
}

void DeleteMessage(ActionContext &ctx, const ChangeOp &op) {
    RequireTypeOne(ctx);
    ctx.db.run(QStringLiteral("DELETE FROM MSGS WHERE IDMSG = ? AND IDJOB = ?"),
               {KeyOf(op.key), ctx.jobId()});
}

bool NotClient(const ActionContext &ctx) {
    return !ctx.isClient();
}

bool Staff(const ActionContext &ctx) {
    return ctx.isStaff();
}

bool StaffOrTeacher(const ActionContext &ctx) {
    return ctx.isStaff() || ctx.isTeacher();
}

bool TypeOne(const ActionContext &ctx) {
    return ctx.userType() == 1;
}

} // namespace

ApplyRules TimetableRules() {
    return {NotClient, InsertSlot, DeleteSlot, nullptr};
}

ApplyRules OrderRules() {
    return {Staff, nullptr, nullptr, ModifyOrder};
}

ApplyRules UserRules() {
    return {StaffOrTeacher, nullptr, nullptr, ModifyUser};
}

ApplyRules UserInfoRules() {
    return {nullptr, nullptr, nullptr, ModifyOwnProfile};
}

ApplyRules UserRemarkRules() {
    return {NotClient, InsertRemark, DeleteRemark, ModifyRemark};
}

ApplyRules LoginRules() {
    return {TypeOne, nullptr, DeleteLogin, nullptr};
}

ApplyRules MessageRules() {
    return {TypeOne, nullptr, DeleteMessage, nullptr};
}

void RecordTimetableHistory(ActionContext &ctx, qint64 idTimetable, const QVariant &oldStatus,
                            int newStatus, qint64 oldTeacher, qint64 newTeacher, qint64 oldUser,
                            qint64 newUser) {
    ctx.db.run(QStringLiteral("INSERT INTO TTSTATUSHIST (IDTIMETABLEHIST, IDTIMETABLE, WHENCHANGE,"
                              " WHOCHANGE, OLDSTATUS, NEWSTATUS, OLDTEACHER, NEWTEACHER, OLDUSER,"
                              " NEWUSER) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
               {ctx.db.nextId(QStringLiteral("TTSTATUSHIST"), QStringLiteral("IDTIMETABLEHIST")),
                idTimetable, ctx.now(), ctx.userId(), oldStatus, newStatus, oldTeacher, newTeacher,
                oldUser, newUser});
}
