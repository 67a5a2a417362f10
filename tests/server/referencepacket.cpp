#include "referencepacket.h"

#include "wire/packetwriter.h"
#include "server/packets/packetfields.h"

#include <QSqlQuery>
#include <QSqlRecord>

void ReferencePacket::begin(const QList<TFieldDef> &fields) {
    m_content.fields = fields;
    m_content.store.reset(fields);
    m_content.utf8 = true;
}

void ReferencePacket::addRows(QSqlQuery &query, const QueryRowOptions &options) {
    const int columns = qMin<int>(query.record().count(), m_content.fields.size());
    while (query.next()) {
        beginRow();
        for (int c = 0; c < columns; ++c)
            set(c, ValueFromSql(query.value(c), m_content.fields[c]));
        const quint32 record = m_content.rows.back().record;
        if (options.complete)
            options.complete(m_content.store.value(record, 0, TValue::Integer).toInteger(), *this);
        for (int f = 0; options.keep && f < m_content.fields.size(); ++f) {
            if (!(*options.keep)[f])
                m_content.store.setNull(record, f);
        }
    }
}

void ReferencePacket::beginRow() {
    TRowEntry row;
    row.record = m_content.store.addRecord();
    m_content.rows.push_back(row);
}

void ReferencePacket::set(int field, const TValue &value) {
    m_content.store.setValue(m_content.rows.back().record, field, value);
}

QByteArray ReferencePacket::packet() const {
    // The server writes "?" for database text that a packet cannot carry.
    return WriteDataPacket(m_content, TPacketEncoding::Utf8, TUnwritableText::Replace);
}
