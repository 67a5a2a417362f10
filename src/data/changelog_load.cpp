// The rows of a loaded packet that carries row states (TChangeLog::TakeRowStates).
#include "data/changelog.h"

#include "base/logging.h"
#include "data/usertext.h"
#include "errors/apperror.h"

#include <algorithm>
#include <numeric>

namespace {

[[noreturn]] void fail(const QString &detail) {
    const QString message = QStringLiteral("Invalid data packet: %1").arg(detail);
    qCWarning(lcData).noquote() << "Packet refused -" << message;
    throw AppError(message);
}

// A change set's modified row holds only the fields that changed to a value; the others keep
// the old values, and the fields named in the row's null marker became null.
quint32 changedValues(TTableContent &content, quint32 oldRecord, quint32 changes) {
    TRecordStore &store = content.store;
    const quint32 record = store.copyRecord(oldRecord);
    for (int field = 0; field < content.fields.size(); ++field) {
        const TValue::Kind kind = content.fields[field].valueKind();
        if (!store.isNull(changes, field))
            store.setValue(record, field, store.value(changes, field, kind));
    }
    const TFieldDef &key = content.fields[0];
    const QString marker = QStringLiteral("NULLSINREC_") +
                           ValueToUserText(key, store.value(oldRecord, 0, key.valueKind()));
    for (const TOptionalParam &param : content.params) {
        if (param.name != marker)
            continue;
        for (const QString &name : param.value.toText().split(u';', Qt::SkipEmptyParts)) {
            const int field = content.fieldIndex(name.trimmed());
            if (field >= 0)
                store.setNull(record, field);
        }
    }
    return record;
}

// Checks the packet's "CHANGE_LOG" against its rows. Two forms are read: triples of the row
// that carries a change (counted from 1), the row it replaces (0 for none, else an earlier
// row) and its row state, as packets are written now; and the plain list of the changed rows'
// positions that earlier versions wrote. A log that names rows the packet does not have, or
// states that its rows do not carry, is refused.
void checkChangeLog(const TTableContent &content) {
    QString text;
    for (const auto &property : content.properties)
        if (property.first == u"CHANGE_LOG")
            text = property.second;
    std::vector<qint64> numbers;
    for (const QString &part : text.split(u' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        numbers.push_back(part.toLongLong(&ok));
        if (!ok)
            fail(QStringLiteral("the change log holds \"%1\", which is not a number").arg(part));
    }
    const qint64 rowCount = qint64(content.rows.size());
    const auto row = [&](qint64 number) { return number >= 1 && number <= rowCount; };
    bool triples = !numbers.empty() && numbers.size() % 3 == 0;
    for (size_t i = 0; triples && i < numbers.size(); i += 3)
        triples = numbers[i + 1] == 0 || (numbers[i + 1] >= 1 && numbers[i + 1] < numbers[i]);
    for (size_t i = 0; i < numbers.size(); i += triples ? 3 : 1) {
        if (!row(numbers[i]) || (triples && numbers[i + 1] != 0 && !row(numbers[i + 1])))
            fail(QStringLiteral("the change log names row %1, which the packet does not have")
                     .arg(numbers[i]));
        if (triples && content.rows[size_t(numbers[i] - 1)].status != numbers[i + 2])
            fail(QStringLiteral("the change log gives row %1 the state %2, which it does not "
                                "carry")
                     .arg(numbers[i])
                     .arg(numbers[i + 2]));
    }
}

} // namespace

// A packet with row states holds its writer's current rows (unchanged, inserted, and for a
// modified row the row of old values followed by the modified row) and the deleted rows.
// What the table shows are the current rows: a modified row once with its new values, no
// deleted row. When the packet carries its change log ("CHANGE_LOG") or is a change set
// ("DATASET_DELTA"), the changes are pending as if made here: inserted, modified (with the old
// values) and deleted rows, in packet order. Otherwise they are taken as they are, each row
// keeping its state as a mark.
void TChangeLog::TakeRowStates(TTableContent &content, std::vector<quint32> &order,
                               std::vector<Entry> &log) {
    std::vector<TRowEntry> &rows = content.rows;
    order.clear();
    log.clear();
    if (std::all_of(rows.begin(), rows.end(), [](const TRowEntry &row) { return !row.status; })) {
        order.resize(rows.size()); // the usual packet: every row as it is, no copy of the rows
        std::iota(order.begin(), order.end(), quint32(0));
        return;
    }
    const bool delta = content.isDelta();
    const bool pending = delta || content.hasChangeLog();
    if (content.hasChangeLog())
        checkChangeLog(content);
    std::vector<TRowEntry> taken;
    taken.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        TRowEntry row = rows[i];
        const auto number = [&](size_t at) { return QString::number(at + 1); };
        switch (UpdateStatusOf(row.status)) {
        case TUpdateStatus::Unchanged:
            if (row.status & rsOldValues) {
                if (i + 1 >= rows.size() ||
                    UpdateStatusOf(rows[i + 1].status) != TUpdateStatus::Modified)
                    fail(QStringLiteral("row %1 holds old values but no modified row follows it")
                             .arg(number(i)));
                const quint32 oldRecord = row.record;
                row = rows[++i];
                if (delta)
                    row.record = changedValues(content, oldRecord, row.record);
                if (pending) {
                    row.oldRecord = oldRecord;
                    row.status = rsModified;
                    TRowEntry before;
                    before.record = oldRecord;
                    log.push_back({quint32(taken.size()), before, Kind::Edit});
                }
            }
            break;
        case TUpdateStatus::Modified:
            if (delta) // its unchanged values are missing
                fail(QStringLiteral("row %1 holds changes but no old values precede it")
                         .arg(number(i)));
            break; // a current row marked as modified
        case TUpdateStatus::Deleted:
            if (!pending)
                continue;
            log.push_back(
                {quint32(taken.size()), TRowEntry{row.record, kNoRecord, 0, 0}, Kind::Delete});
            row.status = rsDeleted;
            row.flags = kRowDeleted;
            break;
        case TUpdateStatus::Inserted:
            if (pending) {
                log.push_back({quint32(taken.size()), TRowEntry(), Kind::Insert});
                row.status = rsInserted;
                row.flags = kRowInserted;
            }
            break;
        }
        order.push_back(quint32(taken.size()));
        taken.push_back(row);
    }
    rows = std::move(taken);
}
