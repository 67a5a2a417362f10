#include "data/nullmarkers.h"

#include "data/clienttable.h"
#include "data/usertext.h"

// Every modified row gets its marker from its own old and current values, whether or not
// the table's filter shows the row: a hidden row's change to null must reach the server
// just the same, and a row whose key was edited is still found.
QByteArray ChangeSetWithNullMarkers(const TClientTable &table) {
    if (table.ChangeCount() == 0)
        return QByteArray();
    const TTableContent &content = table.m_content;
    const TRecordStore &store = content.store;
    const int fieldCount = int(content.fields.size());

    QList<TOptionalParam> params;
    for (const TOptionalParam &param : content.params)
        if (param.roundTrip)
            params.append(param);
    const TChangeLog &log = table.m_log;
    for (quint32 row : table.m_tableOrder) {
        const TRowEntry &entry = content.rows[row];
        if (!log.rowChanged(row) || entry.oldRecord == kNoRecord ||
            (entry.flags & (TChangeLog::kRowDeleted | TChangeLog::kRowInserted)))
            continue;
        QString names;
        for (int field = 0; field < fieldCount; ++field) {
            if (store.isNull(entry.oldRecord, field) || !store.isNull(entry.record, field))
                continue;
            if (!names.isEmpty())
                names += QLatin1Char(';');
            names += content.fields[field].name;
        }
        if (names.isEmpty())
            continue;
        const TFieldDef &key = content.fields[0];
        const QString keyText =
            ValueToUserText(key, store.value(entry.oldRecord, 0, key.valueKind()));
        params.append({QStringLiteral("NULLSINREC_") + keyText, TValue::FromText(names), false});
    }

    TPacketWriter writer(content.fields, store, TPacketEncoding::Utf8);
    writer.begin({{QStringLiteral("DATASET_DELTA"), QStringLiteral("TRUE")}}, params);
    log.writeDelta(writer);
    return writer.finish();
}
