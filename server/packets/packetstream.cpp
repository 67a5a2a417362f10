#include "server/packets/packetstream.h"

#include "wire/packetcodec.h"
#include "wire/packetvalues.h"
#include "wire/packetwriter.h"
#include "server/packets/packetfields.h"
#include "server/packets/packettext.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>
#include <cstring>

namespace {

const char kPacketEnd[] = "</ROWDATA></DATAPACKET>";

// Longer texts are escaped in pieces of about this many bytes, so that the room asked for
// stays small.
constexpr qsizetype kTextPiece = 4096;

} // namespace

void PacketStream::begin(const QList<TFieldDef> &fields) {
    m_fields = fields;
    m_kinds.clear();
    m_names.clear();
    for (const TFieldDef &field : fields) {
        m_kinds.push_back(field.valueKind());
        m_names.push_back(' ' + PacketCodec::Encode(field.name, true) + "=\"");
    }
    // The head is what the client's writer puts before the first row of the same fields.
    TTableContent empty;
    empty.fields = fields;
    empty.store.reset(fields);
    empty.utf8 = true;
    const QByteArray packet = WriteDataPacket(empty, TPacketEncoding::Utf8);
    Q_ASSERT(packet.endsWith(kPacketEnd));
    m_out.append(QByteArrayView(packet).chopped(qsizetype(strlen(kPacketEnd))));
}

void PacketStream::WriteEnd(PacketOutput &out) {
    out.append(kPacketEnd);
}

void PacketStream::addRows(QSqlQuery &query, const QueryRowOptions &options) {
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3_stmt*") == 0) {
        sqlite3_stmt *statement = *static_cast<sqlite3_stmt *const *>(handle.constData());
        if (statement) {
            addSqliteRows(statement, query, options);
            return;
        }
    }
    const int columns = qMin<int>(query.record().count(), m_fields.size());
    while (query.next())
        addVariantRow(query, columns, options);
}

void PacketStream::addVariantRow(QSqlQuery &query, int columns, const QueryRowOptions &options) {
    beginRow();
    for (int c = 0; c < columns; ++c) {
        if (options.keep && !(*options.keep)[c])
            continue;
        set(c, ValueFromSql(query.value(c), m_fields[c]));
    }
    if (options.complete)
        options.complete(query.value(0).toLongLong(), *this);
    endRow();
}

void PacketStream::beginRow() {
    m_out.append("<ROW");
}

void PacketStream::set(int field, const TValue &value) {
    if (!value.isNull())
        writeValue(field, value);
}

void PacketStream::endRow() {
    m_out.append("/>");
}

char *PacketStream::openAttribute(int field, qsizetype valueRoom) {
    const QByteArray &name = m_names[size_t(field)];
    char *p = m_out.room(name.size() + valueRoom + 1);
    memcpy(p, name.constData(), size_t(name.size()));
    return p + name.size();
}

void PacketStream::writeInteger(int field, qint64 value) {
    char *p = PacketText::WriteInteger(openAttribute(field, PacketText::kNumberRoom), value);
    *p++ = '"';
    m_out.advance(p);
}

void PacketStream::writeFloat(int field, double value) {
    char *p = PacketText::WriteFloat(openAttribute(field, PacketText::kNumberRoom), value);
    *p++ = '"';
    m_out.advance(p);
}

bool PacketStream::writeStoredDateTime(int field, std::string_view text) {
    char *p = PacketText::WriteStoredDateTime(openAttribute(field, PacketText::kNumberRoom), text);
    if (!p)
        return false;
    *p++ = '"';
    m_out.advance(p);
    return true;
}

bool PacketStream::writeText(int field, std::string_view text) {
    const qsizetype size = qsizetype(text.size());
    if (size <= kTextPiece) {
        char *p = PacketText::WriteEscaped(openAttribute(field, size * PacketText::kEscapedPerByte),
                                           text);
        if (!p)
            return false;
        *p++ = '"';
        m_out.advance(p);
        return true;
    }
    // A long text goes in pieces cut between characters; it is checked first, as the pieces
    // already written cannot be taken back.
    if (!PacketText::IsPlainUtf8(text))
        return false;
    m_out.advance(openAttribute(field, 0));
    while (!text.empty()) {
        size_t cut = qMin<size_t>(text.size(), kTextPiece);
        while (cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            ++cut;
        char *p = m_out.room(qsizetype(cut) * PacketText::kEscapedPerByte);
        m_out.advance(PacketText::WriteEscaped(p, text.substr(0, cut)));
        text.remove_prefix(cut);
    }
    m_out.append("\"");
    return true;
}

bool PacketStream::writeMemo(int field, std::string_view text) {
    if (!PacketText::IsPlainUtf8(text))
        return false;
    m_out.advance(openAttribute(field, 0));
    // Pieces of whole three-byte groups, so that no padding falls inside the text.
    constexpr size_t kPiece = 3 * 1024;
    while (!text.empty()) {
        const size_t cut = qMin(text.size(), kPiece);
        char *p = m_out.room(qsizetype(cut + 2) / 3 * 4);
        m_out.advance(PacketText::WriteBase64(p, text.substr(0, cut)));
        text.remove_prefix(cut);
    }
    m_out.append("\"");
    return true;
}

void PacketStream::writeFormed(int field, QByteArrayView formed) {
    char *p = openAttribute(field, formed.size());
    if (!formed.isEmpty()) // an empty view may point nowhere
        memcpy(p, formed.data(), size_t(formed.size()));
    p += formed.size();
    *p++ = '"';
    m_out.advance(p);
}

void PacketStream::writeValue(int field, const TValue &value) {
    const TFieldDef &def = m_fields[field];
    m_scratch.clear();
    switch (def.type) {
    case TFieldType::R8:
        writeFloat(field, value.toFloat());
        return;
    case TFieldType::Fixed:
    case TFieldType::FixedFMT:
        PacketValues::AppendFloat(m_scratch, value.toFloat(), def.decimals > 0 ? def.decimals : 0);
        break;
    case TFieldType::Boolean:
        PacketValues::AppendBoolean(m_scratch, value.toBool());
        break;
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        PacketValues::AppendDateTime(m_scratch, value.toDateTime(), def.type);
        break;
    case TFieldType::String:
    case TFieldType::StringUni:
        PacketCodec::AppendEscaped(m_scratch, value.toText(), true);
        break;
    case TFieldType::BinHex:
        m_scratch = def.isMemo() ? PacketCodec::Encode(value.toText(), true).toBase64()
                                 : value.toBytes().toBase64();
        break;
    default:
        writeInteger(field, value.toInteger());
        return;
    }
    writeFormed(field, m_scratch);
}
