#include "wire/packetwriter.h"

#include "wire/packetcodec.h"
#include "wire/packetvalues.h"
#include "errors/apperror.h"

namespace {

const char kDeclarationSingleByte[] = "<?xml version=\"1.0\" standalone=\"yes\"?>";
const char kDeclarationUtf8[] = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>";

// The "Type" of an optional parameter's value; empty for text.
const char *paramTypeName(const TValue &value) {
    switch (value.kind()) {
    case TValue::Integer: {
        const qint64 n = value.toInteger();
        return n >= INT32_MIN && n <= INT32_MAX ? "i4" : "i8";
    }
    case TValue::Unsigned:
        return "ui8";
    case TValue::Float:
        return "r8";
    case TValue::Bool:
        return "boolean";
    case TValue::DateTime:
        return "dateTime";
    case TValue::Bytes:
        return "bin.hex";
    default:
        return "";
    }
}

// A field or property name in the packet's encoding; a name the encoding cannot carry is
// refused, since a changed name ("?") would make the packet unreadable or name another item.
QByteArray encodedName(const QString &name, bool utf8) {
    QByteArray bytes = PacketCodec::Encode(name, utf8);
    if (PacketCodec::Decode(bytes, utf8) != name)
        throw AppError(QStringLiteral("The packet cannot be written: the name \"%1\" has "
                                      "characters that the packet's encoding lacks")
                           .arg(name));
    return bytes;
}

} // namespace

TPacketWriter::TPacketWriter(const QList<TFieldDef> &fields, const TRecordStore &store,
                             TPacketEncoding encoding, TUnwritableText unwritable)
    : m_fields(fields), m_store(store), m_encoding(encoding), m_unwritable(unwritable) {
    for (const TFieldDef &field : fields) {
        QByteArray name = encodedName(field.name, encoding == TPacketEncoding::Utf8);
        m_names.push_back(' ' + name + "=\"");
    }
}

void TPacketWriter::attribute(const char *name, QStringView value) {
    m_out.append(' ');
    m_out.append(name);
    m_out.append("=\"", 2);
    escaped(value, QString::fromLatin1(name));
    m_out.append('"');
}

void TPacketWriter::escaped(QStringView value, const QString &what) {
    const bool utf8 = m_encoding == TPacketEncoding::Utf8;
    if (m_unwritable == TUnwritableText::Replace) {
        PacketCodec::AppendEscaped(m_out, value, utf8);
        return;
    }
    if (!PacketCodec::AppendEscapedExactly(m_out, value, utf8))
        throw AppError(
            QStringLiteral("The packet cannot be written: %1 holds the character "
                           "U+%2, which a packet cannot carry")
                .arg(what)
                .arg(value[PacketCodec::UnwritableCharacter(value)].unicode(), 4, 16, QChar('0')));
}

void TPacketWriter::begin(const QList<QPair<QString, QString>> &properties,
                          const QList<TOptionalParam> &params) {
    const bool utf8 = m_encoding == TPacketEncoding::Utf8;
    m_out.append(utf8 ? kDeclarationUtf8 : kDeclarationSingleByte);
    m_out.append("\n<DATAPACKET Version=\"2.0\"><METADATA><FIELDS>");
    for (const TFieldDef &field : m_fields) {
        m_out.append("<FIELD");
        attribute("attrname", field.name);
        attribute("fieldtype", FieldTypeName(field.type));
        if (field.width > 0)
            attribute("WIDTH", QString::number(field.width));
        if (field.decimals > 0)
            attribute("DECIMALS", QString::number(field.decimals));
        if (!field.subtype.isEmpty())
            attribute("SUBTYPE", field.subtype);
        if (field.readOnly)
            m_out.append(" readonly=\"true\"");
        if (field.required)
            m_out.append(" required=\"true\"");
        if (field.hidden)
            m_out.append(" hidden=\"true\"");
        if (field.linkField)
            m_out.append(" linkfield=\"true\"");
        m_out.append("/>");
    }
    m_out.append("</FIELDS><PARAMS");
    for (const auto &property : properties) {
        m_out.append(' ');
        m_out.append(encodedName(property.first, utf8));
        m_out.append("=\"", 2);
        escaped(property.second, property.first);
        m_out.append('"');
    }
    if (params.isEmpty()) {
        m_out.append("/>");
    } else {
        m_out.append('>');
        for (const TOptionalParam &param : params) {
            m_out.append("<PARAM");
            attribute("Name", param.name);
            QByteArray text;
            TFieldDef def;
            switch (param.value.kind()) {
            case TValue::Integer:
                PacketValues::AppendInteger(text, param.value.toInteger());
                break;
            case TValue::Unsigned:
                PacketValues::AppendUnsigned(text, param.value.toUnsigned());
                break;
            case TValue::Float:
                PacketValues::AppendFloat(text, param.value.toFloat(), 0);
                break;
            case TValue::Bool:
                PacketValues::AppendBoolean(text, param.value.toBool());
                break;
            case TValue::DateTime:
                PacketValues::AppendDateTime(text, param.value.toDateTime(), TFieldType::DateTime);
                break;
            case TValue::Bytes:
                text = param.value.toBytes().toBase64();
                break;
            default:
                break;
            }
            attribute("Value", param.value.kind() == TValue::Text || param.value.isNull()
                                   ? param.value.toText()
                                   : QString::fromLatin1(text));
            if (*paramTypeName(param.value)) {
                m_out.append(" Type=\"");
                m_out.append(paramTypeName(param.value));
                m_out.append('"');
            }
            if (param.roundTrip)
                m_out.append(" Roundtrip=\"True\"");
            m_out.append("/>");
        }
        m_out.append("</PARAMS>");
    }
    m_out.append("</METADATA><ROWDATA>");
}

void TPacketWriter::value(quint32 record, int field) {
    const TFieldDef &def = m_fields[field];
    const TCell &cell = m_store.cell(record, field);
    switch (def.type) {
    case TFieldType::R8:
        PacketValues::AppendFloat(m_out, cell.f, 0);
        return;
    case TFieldType::Fixed:
    case TFieldType::FixedFMT:
        PacketValues::AppendFloat(m_out, cell.f, def.decimals > 0 ? def.decimals : 0);
        return;
    case TFieldType::Boolean:
        PacketValues::AppendBoolean(m_out, cell.i != 0);
        return;
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        PacketValues::AppendDateTime(m_out, TDateTimeMs{cell.i}, def.type);
        return;
    case TFieldType::String:
    case TFieldType::StringUni:
        escaped(m_store.text(record, field), QStringLiteral("field \"%1\"").arg(def.name));
        return;
    case TFieldType::BinHex:
        if (def.isMemo()) {
            const QStringView text = m_store.text(record, field);
            const bool utf8 = m_encoding == TPacketEncoding::Utf8;
            if (const qsizetype at = PacketCodec::UnencodableCharacter(text, utf8);
                at >= 0 && m_unwritable == TUnwritableText::Refuse)
                throw AppError(
                    QStringLiteral("The packet cannot be written: field \"%1\" holds "
                                   "the character U+%2, which the %3 encoding lacks")
                        .arg(def.name)
                        .arg(text[at].unicode(), 4, 16, QChar('0'))
                        .arg(utf8 ? QStringLiteral("UTF-8") : QStringLiteral("Windows-1250")));
            m_out.append(PacketCodec::Encode(text, utf8).toBase64());
        } else
            m_out.append(m_store.bytes(record, field).toByteArray().toBase64());
        return;
    case TFieldType::UI8:
        PacketValues::AppendUnsigned(m_out, quint64(cell.i));
        return;
    default:
        PacketValues::AppendInteger(m_out, cell.i);
        return;
    }
}

void TPacketWriter::row(quint32 record, quint8 status, const std::vector<bool> *onlyFields) {
    m_out.append("<ROW");
    if (status != 0) {
        m_out.append(" RowState=\"");
        PacketValues::AppendInteger(m_out, status);
        m_out.append('"');
    }
    const int count = int(m_fields.size());
    for (int field = 0; field < count; ++field) {
        if (m_store.isNull(record, field) || (onlyFields && !(*onlyFields)[field]))
            continue;
        m_out.append(m_names[field]);
        value(record, field);
        m_out.append('"');
    }
    m_out.append("/>");
}

QByteArray TPacketWriter::finish() {
    m_out.append("</ROWDATA></DATAPACKET>");
    return std::move(m_out);
}

QByteArray WriteDataPacket(const TTableContent &content, TPacketEncoding encoding,
                           TUnwritableText unwritable) {
    TPacketWriter writer(content.fields, content.store, encoding, unwritable);
    writer.reserve(qsizetype(content.rows.size()) * 16 * qMax(1, int(content.fields.size())));
    writer.begin(content.properties, content.params);
    for (const TRowEntry &row : content.rows)
        writer.row(row.record, row.status);
    return writer.finish();
}
