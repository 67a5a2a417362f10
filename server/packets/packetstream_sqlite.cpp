// Rows of SQLite queries read straight from the engine's statement.
#include "errors/apperror.h"
#include "server/packets/packetfields.h"
#include "server/packets/packetstream.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <sqlite3.h>

namespace {

std::string_view TextOf(sqlite3_stmt *statement, int column) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return {text, size_t(sqlite3_column_bytes(statement, column))};
}

// The value as QtSql's SQLite driver hands it out (text through the engine's UTF-16 form).
QVariant DriverValue(sqlite3_stmt *statement, int column, int type) {
    switch (type) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    case SQLITE_NULL:
        return {};
    default: {
        const void *text = sqlite3_column_text16(statement, column);
        return QString(static_cast<const QChar *>(text),
                       sqlite3_column_bytes16(statement, column) / qsizetype(sizeof(QChar)));
    }
    }
}

} // namespace

void PacketStream::addSqliteRows(sqlite3_stmt *statement, QSqlQuery &query,
                                 const QueryRowOptions &options) {
    // QtSql has already stepped to the first row when it ran the statement; its next() hands
    // out that row without another step, and from then on the rows are stepped here, so that
    // QtSql never converts them.
    if (!query.next())
        return;
    const int columns = qMin<int>(query.record().count(), m_fields.size());
    if (sqlite3_data_count(statement) != sqlite3_column_count(statement)) {
        do {
            addVariantRow(query, columns, options); // not on a row: leave the stepping to QtSql
        } while (query.next());
        return;
    }
    int rc = SQLITE_ROW;
    for (; rc == SQLITE_ROW; rc = sqlite3_step(statement)) {
        beginRow();
        for (int c = 0; c < columns; ++c) {
            if (!options.keep || (*options.keep)[c])
                writeSqliteCell(statement, c);
        }
        if (options.complete)
            options.complete(sqlite3_column_int64(statement, 0), *this);
        endRow();
    }
    if (rc != SQLITE_DONE)
        throw AppError(QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement))));
}

void PacketStream::writeSqliteCell(sqlite3_stmt *statement, int column) {
    const int type = sqlite3_column_type(statement, column);
    if (type == SQLITE_NULL)
        return;
    const TFieldDef &def = m_fields[column];
    // The common pairs of field kind and stored type are written from the engine's buffers;
    // every other pair takes the driver's value and its conversion, so the bytes stay the same.
    switch (m_kinds[size_t(column)]) {
    case TValue::Integer:
        if (type == SQLITE_INTEGER)
            return writeInteger(column, sqlite3_column_int64(statement, column));
        break;
    case TValue::Float:
        if ((type == SQLITE_FLOAT || type == SQLITE_INTEGER) && def.type == TFieldType::R8)
            return writeFloat(column, sqlite3_column_double(statement, column));
        break;
    case TValue::DateTime:
        if (type == SQLITE_TEXT && def.type == TFieldType::DateTime &&
            writeStoredDateTime(column, TextOf(statement, column)))
            return;
        break;
    case TValue::Text:
        if (type == SQLITE_TEXT && (def.isMemo() ? writeMemo(column, TextOf(statement, column))
                                                 : writeText(column, TextOf(statement, column))))
            return;
        break;
    default:
        break;
    }
    set(column, ValueFromSql(DriverValue(statement, column, type), def));
}
