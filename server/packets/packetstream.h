#pragma once

#include "server/packets/packetoutput.h"
#include "server/packets/packetrows.h"

#include <QByteArray>
#include <string_view>

struct sqlite3_stmt;

// Writes one reply packet into an output as its rows arrive: the head with the fields, each
// row as it is read, then the end; no row is kept. Rows of SQLite queries are read straight
// from the engine's statement, values written from its own buffers; other engines' values come
// through QtSql. The text is byte for byte what the client's packet writer makes of the same
// table content in UTF-8.
class PacketStream : public PacketRows {
public:
    explicit PacketStream(PacketOutput &out) : m_out(out) {}

    void begin(const QList<TFieldDef> &fields) override;
    void addRows(QSqlQuery &query, const QueryRowOptions &options = {}) override;
    void beginRow() override;
    void set(int field, const TValue &value) override;
    void endRow() override;
    // Writes the end of the packet.
    void finish() { WriteEnd(m_out); }
    // The end of a packet whose head and rows were written into out.
    static void WriteEnd(PacketOutput &out);

private:
    void addSqliteRows(sqlite3_stmt *statement, QSqlQuery &query, const QueryRowOptions &options);
    void addVariantRow(QSqlQuery &query, int columns, const QueryRowOptions &options);
    void writeSqliteCell(sqlite3_stmt *statement, int column);

    // Attribute writers; the text ones return false, having written nothing, when the text is
    // not plain UTF-8 (see PacketText::WriteEscaped).
    void writeInteger(int field, qint64 value);
    void writeFloat(int field, double value);
    bool writeStoredDateTime(int field, std::string_view text);
    bool writeText(int field, std::string_view text);
    bool writeMemo(int field, std::string_view text);
    // Any value in the client's packet writer's forms, through its helpers.
    void writeValue(int field, const TValue &value);
    void writeFormed(int field, QByteArrayView formed);
    char *openAttribute(int field, qsizetype valueRoom);

    PacketOutput &m_out;
    QList<TFieldDef> m_fields;
    std::vector<TValue::Kind> m_kinds;
    std::vector<QByteArray> m_names; // ' NAME="' of every field
    QByteArray m_scratch;            // values formed by the client's helpers
};
