#pragma once

#include "wire/tablecontent.h"
#include "server/packets/packetrows.h"

#include <QByteArray>

// The rows of a reply packet kept as table content and written at the end by the client's
// packet writer, the way the server built its packets before it wrote them as a stream: what
// the stream's bytes are compared with.
class ReferencePacket : public PacketRows {
public:
    void begin(const QList<TFieldDef> &fields) override;
    void addRows(QSqlQuery &query, const QueryRowOptions &options = {}) override;
    void beginRow() override;
    void set(int field, const TValue &value) override;
    void endRow() override {}

    QByteArray packet() const;

private:
    TTableContent m_content;
};
