#include "server/packets/clienttimetable.h"

#include "server/packets/freeslotcache.h"
#include "server/packets/packetstream.h"
#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"

namespace {

// Writes the rows of a timetable query as packet text; the head of the packet goes to
// `head` when asked for. False when the rows are not in the expected form or order.
bool ReadRows(ActionContext &ctx, const QString &sql, const QVariantList &binds,
              TimetableRows &rows, QByteArray *head = nullptr) {
    PacketOutput text(PacketOutput::Plain);
    PacketStream stream(text);
    stream.begin(TimetableFields());
    const qsizetype headSize = text.size();
    {
        KeptQuery q = ctx.db.runKept(sql + QStringLiteral(" ORDER BY 2, 1"), binds);
        stream.addRows(*q);
    }
    QByteArray all = text.finish();
    if (head)
        *head = all.left(headSize);
    return rows.read(std::move(all), headSize);
}

std::shared_ptr<const FreeSlots> ReadFreeSlots(ActionContext &ctx, qint64 version,
                                               const QDateTime &now, const QByteArray &from,
                                               int pieceRows) {
    auto entry = std::make_shared<FreeSlots>();
    entry->version = version;
    entry->from = from;
    entry->pieceRows = pieceRows;
    entry->usable = ReadRows(ctx,
                             TimetableSelect(ctx) +
                                 QStringLiteral(" AND T.TIMETABLESTATUS = 1 AND T.WHENHOUR >= ?"),
                             {ctx.jobId(), now}, entry->rows);
    if (!entry->usable) {
        entry->rows = TimetableRows(); // nothing of them is used
        return entry;
    }
    std::vector<qsizetype> ends;
    for (int row = pieceRows; row <= entry->rows.count(); row += pieceRows)
        ends.push_back(entry->rows.end(row - 1));
    entry->pieces = DeflatedPieces(entry->rows.allText(), ends);
    return entry;
}

// Rows [from, to) of the free slots: whole pieces spliced as they were deflated, the rows
// before and after them deflated here.
void WriteFreeRun(PacketOutput &out, const FreeSlots &free, int from, int to) {
    const int k = free.pieceRows;
    const int firstPiece = (from + k - 1) / k;
    const int endPiece = qMin(to / k, free.pieces.count());
    if (firstPiece >= endPiece) {
        out.append(free.rows.text(from, to));
        return;
    }
    out.append(free.rows.text(from, firstPiece * k));
    for (int p = firstPiece; p < endPiece; ++p)
        out.appendDeflated(free.rows.text(p * k, (p + 1) * k), free.pieces.deflated(p),
                           free.pieces.adler(p));
    out.append(free.rows.text(endPiece * k, to));
}

// Merges his rows with the free slots from the moment on, by lesson time and id. A free
// slot that is also his own row (a free lesson in his name) is written once, as his.
void WriteMerged(PacketOutput &out, const TimetableRows &own, const FreeSlots &free,
                 const QByteArray &moment) {
    const TimetableRows &rows = free.rows;
    int f = rows.firstFrom(std::string_view(moment.constData(), size_t(moment.size())));
    int o = 0;
    while (f < rows.count() || o < own.count()) {
        if (o < own.count() && (f == rows.count() || !rows.before(f, own, o))) {
            if (f < rows.count() && rows.id(f) == own.id(o))
                ++f;
            out.append(own.text(o, o + 1));
            ++o;
            continue;
        }
        int end = f + 1;
        while (end < rows.count() && (o == own.count() || rows.before(end, own, o)))
            ++end;
        WriteFreeRun(out, free, f, end);
        f = end;
    }
    PacketStream::WriteEnd(out);
}

// The free slots that serve this moment, read in the snapshot the caller holds.
std::shared_ptr<const FreeSlots> FindFreeSlots(ActionContext &ctx, FreeSlotCache &cache,
                                               const QDateTime &now, const QByteArray &moment) {
    const qint64 version =
        ctx.db
            .scalar(QStringLiteral("SELECT VERSION FROM DATAVERSIONS WHERE NAME = ?"),
                    {QStringLiteral("TIMETABLE")})
            .toLongLong();
    return cache.find(ctx.jobId(), ctx.envLang(), version, moment,
                      [&] { return ReadFreeSlots(ctx, version, now, moment, cache.pieceRows()); });
}

} // namespace

void PrimeFreeSlots(ActionContext &ctx, FreeSlotCache &cache) {
    const QDateTime now = ctx.now();
    ReadTransaction snapshot(ctx.db);
    FindFreeSlots(ctx, cache, now, TimetableRows::WhenForm(now));
}

bool WriteClientTimetable(ActionContext &ctx, FreeSlotCache &cache, PacketOutput &out) {
    const QDateTime now = ctx.now();
    const QByteArray moment = TimetableRows::WhenForm(now);
    if (moment.isEmpty())
        return false;
    QByteArray head;
    TimetableRows own;
    std::shared_ptr<const FreeSlots> free;
    {
        // His rows and the version the free slots are checked against come from one snapshot.
        ReadTransaction snapshot(ctx.db);
        free = FindFreeSlots(ctx, cache, now, moment);
        if (!free || !free->usable ||
            !ReadRows(ctx, TimetableSelect(ctx) + QStringLiteral(" AND T.IDUSER = ?"),
                      {ctx.jobId(), ctx.userId()}, own, &head))
            return false;
    }
    out.append(head);
    WriteMerged(out, own, *free, moment);
    return true;
}
