#include "server/packets/providers.h"

#include "errors/apperror.h"
#include "wire/compression.h"
#include "server/actions/applyrules.h"
#include "server/packets/clienttimetable.h"
#include "server/packets/packetstream.h"
#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"

#include <QHash>

namespace {

struct ProviderDef {
    void (*fetch)(ActionContext &, PacketRows &);
    ApplyRules rules;
};

const QHash<QString, ProviderDef> &Providers() {
    static const QHash<QString, ProviderDef> providers{
        {"prov_ordertype", {FetchOrderTypes, {}}},
        {"prov_course", {FetchCourses, {}}},
        {"prov_orderstatus", {FetchOrderStatuses, {}}},
        {"prov_ttstatus", {FetchTtStatuses, {}}},
        {"prov_userlevel", {FetchUserLevels, {}}},
        {"prov_usertype", {FetchUserTypes, {}}},
        {"prov_user", {FetchUsers, UserRules()}},
        {"prov_user_info", {FetchUserInfo, UserInfoRules()}},
        {"prov_order", {FetchOrders, OrderRules()}},
        {"prov_orderhist", {FetchOrderHistory, {}}},
        {"prov_timetable", {FetchTimetable, TimetableRules()}},
        {"prov_ttstatushist", {FetchTtStatusHistory, {}}},
        {"prov_userremark", {FetchUserRemarks, UserRemarkRules()}},
        {"prov_login", {FetchLogins, LoginRules()}},
        {"prov_msg", {FetchMessages, MessageRules()}},
        {"prov_onlineteacher", {FetchOnlineTeachers, {}}},
    };
    return providers;
}

const ProviderDef &FindProvider(const QString &name) {
    const auto it = Providers().constFind(name);
    if (it == Providers().constEnd())
        throw Refusal(Msg::UnknownProvider);
    return *it;
}

// The FIELD elements a packet text declares, at most: every "<FIELD" tag but "<FIELDS".
qint64 DeclaredFields(const QByteArray &packet) {
    qint64 count = 0;
    for (qsizetype at = packet.indexOf("<FIELD"); at >= 0; at = packet.indexOf("<FIELD", at + 6))
        if (at + 6 >= packet.size() || packet[at + 6] != 'S')
            ++count;
    return count;
}

QByteArray ChangeSetBytes(ActionContext &ctx) {
    const ActionRequest &r = ctx.request;
    std::optional<QByteArray> field = MultipartField(r.body, r.contentType, "deltaxml");
    if (!field && r.form.contains("deltaxml"))
        field = r.form.value("deltaxml");
    if (!field)
        throw Refusal(Msg::MissingParameter, QStringLiteral("deltaxml"));
    const std::optional<QByteArray> packet = InflateStream(*field, ctx.options.maxChangeSetBytes);
    if (!packet)
        throw Refusal(Msg::BadChangeSet); // damaged, or larger than any change set
    // Rows and fields are counted before the packet is read, so that a change set of a great
    // many tiny rows, or of few rows of a great many fields each, is refused before it costs
    // memory and time: the reader keeps a cell for every field of every row.
    const qint64 rows = packet->count("<ROW");
    const qint64 fields = DeclaredFields(*packet);
    if (rows > ctx.options.maxChangeSetRows || fields > ctx.options.maxChangeSetFields ||
        rows * fields > ctx.options.maxChangeSetCells)
        throw Refusal(Msg::ChangeSetTooLarge);
    return *packet;
}

// Whether the user may send this provider any change at all, judged before the change set
// is read.
bool MayApply(const ActionContext &ctx, const ApplyRules &rules) {
    if (!rules.insert && !rules.remove && !rules.modify)
        return false;
    return !rules.mayApply || rules.mayApply(ctx);
}

void ApplyOne(ActionContext &ctx, const ApplyRules &rules, const ChangeOp &op) {
    auto rule = op.kind == ChangeOp::Insert   ? rules.insert
                : op.kind == ChangeOp::Delete ? rules.remove
                                              : rules.modify;
    if (!rule)
        throw Refusal(Msg::NotAllowed);
    rule(ctx, op);
}

} // namespace

void FetchProvider(ActionContext &ctx, const QString &name, PacketRows &rows) {
    FindProvider(name).fetch(ctx, rows);
}

void WriteProviderPacket(ActionContext &ctx, const QString &name, PacketOutput &out) {
    if (ctx.freeSlots && ctx.isClient() && name == QLatin1String("prov_timetable") &&
        WriteClientTimetable(ctx, *ctx.freeSlots, out))
        return;
    PacketStream stream(out);
    FetchProvider(ctx, name, stream);
    stream.finish();
}

ActionReply GetRecordsAction(ActionContext &ctx) {
    const QString name = QString::fromLatin1(ctx.request.param("providername"));
    // The packet is deflated as it is written; the reply is "okzip" and the stream.
    PacketOutput out(PacketOutput::Zipped, "okzip");
    WriteProviderPacket(ctx, name, out);
    return ActionReply::Raw(out.finish());
}

ActionReply ApplyUpdatesAction(ActionContext &ctx) {
    const QString name = QString::fromLatin1(ctx.request.param("providername"));
    const ProviderDef &provider = FindProvider(name);
    if (!MayApply(ctx, provider.rules))
        throw Refusal(Msg::NotAllowed);
    const QByteArray packet = ChangeSetBytes(ctx);
    QList<ChangeOp> ops;
    try {
        ops = ReadChangeSet(packet);
    } catch (const AppError &) {
        throw Refusal(Msg::BadChangeSet);
    }
    Transaction transaction(ctx.db);
    for (const ChangeOp &op : ops)
        ApplyOne(ctx, provider.rules, op);
    transaction.commit();
    // "ok", the count and, when asked for, the packet written behind them.
    PacketOutput out(PacketOutput::Plain, "ok" + QByteArray::number(ops.size()) + '|');
    if (ctx.request.param("returnrecords") == "1")
        WriteProviderPacket(ctx, name, out);
    ActionReply r = ActionReply::Raw(out.finish());
    r.contentType = "text/plain; charset=UTF-8"; // the count, and a packet when asked for
    r.renewable = false; // the table component reads this reply without looking for one
    return r;
}
