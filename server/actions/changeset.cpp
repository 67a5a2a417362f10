#include "server/actions/changeset.h"

#include "wire/packetreader.h"
#include "errors/apperror.h"

namespace {

RowValues ValuesOf(const TTableContent &content, const TRowEntry &row) {
    RowValues values;
    for (int f = 0; f < content.fields.size(); ++f)
        if (!content.store.isNull(row.record, f))
            values.insert(content.fields[f].name,
                          content.store.value(row.record, f, content.fields[f].valueKind()));
    return values;
}

QString KeyOf(const TTableContent &content, const TRowEntry &row) {
    return content.store.value(row.record, 0, content.fields[0].valueKind()).toText();
}

QHash<QString, QStringList> NullMarkers(const TTableContent &content) {
    QHash<QString, QStringList> markers;
    for (const TOptionalParam &p : content.params)
        if (p.name.startsWith(QLatin1String("NULLSINREC_")))
            markers.insert(p.name.mid(11),
                           p.value.toText().split(QLatin1Char(';'), Qt::SkipEmptyParts));
    return markers;
}

} // namespace

QList<ChangeOp> ReadChangeSet(const QByteArray &packet) {
    const TTableContent content = ReadDataPacket(packet);
    if (content.fields.isEmpty())
        throw AppError(QStringLiteral("change set without fields"));
    const QHash<QString, QStringList> markers = NullMarkers(content);
    QList<ChangeOp> ops;
    const TRowEntry *old = nullptr;
    for (const TRowEntry &row : content.rows) {
        switch (UpdateStatusOf(row.status)) {
        case TUpdateStatus::Unchanged:
            old = &row;
            continue;
        case TUpdateStatus::Inserted:
            ops.append({ChangeOp::Insert, {}, ValuesOf(content, row), {}});
            break;
        case TUpdateStatus::Deleted:
            ops.append({ChangeOp::Delete, ValuesOf(content, row), {}, KeyOf(content, row)});
            break;
        case TUpdateStatus::Modified: {
            if (!old)
                throw AppError(QStringLiteral("modified row without its old values"));
            ChangeOp op{ChangeOp::Modify, ValuesOf(content, *old), ValuesOf(content, row),
                        KeyOf(content, *old)};
            for (const QString &field : markers.value(op.key))
                if (content.fieldIndex(field) >= 0)
                    op.values.insert(field, TValue());
            ops.append(op);
            break;
        }
        }
        old = nullptr;
    }
    return ops;
}
