#include "server/packetbuilder.h"

#include "data/packetwriter.h"

TFieldDef IntField(const QString &name) {
    return MakeField(name, TFieldType::I4);
}

TFieldDef FloatField(const QString &name) {
    return MakeField(name, TFieldType::R8);
}

TFieldDef MoneyField(const QString &name) {
    TFieldDef f = MakeField(name, TFieldType::R8);
    f.subtype = QStringLiteral("Money");
    return f;
}

TFieldDef TextField(const QString &name, int width) {
    return MakeField(name, TFieldType::String, width);
}

TFieldDef MemoField(const QString &name) {
    TFieldDef f = MakeField(name, TFieldType::BinHex);
    f.subtype = QStringLiteral("Text");
    return f;
}

TFieldDef DateTimeField(const QString &name) {
    return MakeField(name, TFieldType::DateTime);
}

PacketBuilder::PacketBuilder(const QList<TFieldDef> &fields) {
    m_content.fields = fields;
    m_content.store.reset(fields);
    m_content.utf8 = true;
}

quint32 PacketBuilder::addRow() {
    TRowEntry row;
    row.record = m_content.store.addRecord();
    m_content.rows.push_back(row);
    return static_cast<quint32>(m_content.rows.size() - 1);
}

void PacketBuilder::set(quint32 row, int field, const TValue &value) {
    m_content.store.setValue(m_content.rows[row].record, field, value);
}

void PacketBuilder::set(quint32 row, const QString &field, const TValue &value) {
    const int index = m_content.fieldIndex(field);
    Q_ASSERT(index >= 0);
    set(row, index, value);
}

TValue PacketBuilder::value(quint32 row, int field) const {
    return m_content.store.value(m_content.rows[row].record, field,
                                 m_content.fields[field].valueKind());
}

void PacketBuilder::addRows(QSqlQuery &query) {
    const int columns = qMin<int>(query.record().count(), m_content.fields.size());
    while (query.next()) {
        const quint32 row = addRow();
        for (int c = 0; c < columns; ++c)
            set(row, c, ValueFromSql(query.value(c), m_content.fields[c]));
    }
}

QByteArray PacketBuilder::packet() const {
    return WriteDataPacket(m_content, TPacketEncoding::Utf8);
}

TValue ValueFromSql(const QVariant &value, const TFieldDef &field) {
    if (value.isNull())
        return {};
    switch (field.valueKind()) {
    case TValue::Integer:
        return TValue::FromInteger(value.toLongLong());
    case TValue::Float:
        return TValue::FromFloat(value.toDouble());
    case TValue::Bool:
        return TValue::FromBool(value.toLongLong() != 0);
    case TValue::DateTime: {
        QDateTime t = value.toDateTime();
        if (!t.isValid())
            t = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        return t.isValid() ? TValue::FromDateTime(t) : TValue();
    }
    case TValue::Bytes:
        if (field.isMemo())
            return TValue::FromText(value.toString());
        return TValue::FromBytes(value.toByteArray());
    default:
        return TValue::FromText(value.toString());
    }
}

QVariant ValueToSql(const TValue &value, const TFieldDef &field) {
    if (value.isNull())
        return QVariant();
    switch (field.valueKind()) {
    case TValue::Integer:
    case TValue::Bool:
        return value.toInteger();
    case TValue::Float:
        return value.toFloat();
    case TValue::DateTime:
        return value.toQDateTime();
    case TValue::Bytes:
        return field.isMemo() ? QVariant(value.toText()) : QVariant(value.toBytes());
    default:
        return value.toText();
    }
}
