#include "wire/packetreader.h"

#include "wire/packetcodec.h"
#include "wire/packetvalues.h"
#include "errors/apperror.h"

#include <QHash>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace {

// Whether a name can stand as an attribute name in a written packet: ASCII letters, digits and
// "_-.:" (not first: a digit, "-", "." or ":"), and any character beyond ASCII.
bool isAttributeName(QStringView name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= 0x80)
            continue;
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool inner = (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
        if (!letter && (i == 0 || !inner))
            return false;
    }
    return !name.isEmpty();
}

constexpr size_t kChunkBytes = 256 * 1024;
constexpr unsigned kParseFlags = pugi::parse_minimal;

[[noreturn]] void fail(const QString &detail) {
    throw AppError(QStringLiteral("Invalid data packet: %1").arg(detail));
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void skipSpace(std::string_view &text) {
    while (!text.empty() && isSpace(text[0]))
        text.remove_prefix(1);
}

// Takes a token (after optional blanks) from the start of text; false when it is not there.
bool take(std::string_view &text, std::string_view token) {
    skipSpace(text);
    if (text.substr(0, token.size()) != token)
        return false;
    text.remove_prefix(token.size());
    return true;
}

// The position of "<NAME" that starts a tag of exactly that name, from position from.
size_t findTag(std::string_view text, std::string_view open, size_t from) {
    for (;;) {
        const size_t pos = text.find(open, from);
        if (pos == std::string_view::npos)
            return pos;
        const size_t after = pos + open.size();
        if (after >= text.size())
            return std::string_view::npos;
        const char c = text[after];
        if (isSpace(c) || c == '>' || c == '/')
            return pos;
        from = after;
    }
}

// The name of the first element, after the declaration, comments and blanks.
std::string_view rootName(std::string_view text) {
    for (;;) {
        skipSpace(text);
        if (text.substr(0, 2) == "<?" || text.substr(0, 4) == "<!--") {
            const size_t end = text.find(text[1] == '?' ? "?>" : "-->");
            if (end == std::string_view::npos)
                return {};
            text.remove_prefix(end + 2);
            if (!text.empty() && text[0] == '>')
                text.remove_prefix(1);
            continue;
        }
        if (text.empty() || text[0] != '<')
            return {};
        size_t end = 1;
        while (end < text.size() && !isSpace(text[end]) && text[end] != '>' && text[end] != '/')
            ++end;
        return text.substr(1, end - 1);
    }
}

// The encoding that the declaration (or a byte order mark) names: true for UTF-8.
bool declaredUtf8(std::string_view &text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        return true;
    }
    if (text.substr(0, 5) != "<?xml")
        return false;
    const std::string_view decl = text.substr(0, text.find("?>"));
    const size_t at = decl.find("encoding");
    if (at == std::string_view::npos)
        return false;
    size_t p = decl.find_first_of("\"'", at);
    if (p == std::string_view::npos)
        return false;
    const char quote = decl[p];
    const size_t end = decl.find(quote, p + 1);
    if (end == std::string_view::npos)
        return false;
    const std::string_view name = decl.substr(p + 1, end - p - 1);
    return QByteArrayView(name.data(), qsizetype(name.size()))
               .compare("UTF-8", Qt::CaseInsensitive) == 0;
}

class PacketReader {
public:
    PacketReader(std::string_view text, bool utf8) : m_text(text), m_utf8(utf8) {}
    TTableContent read();

private:
    QString attrText(const pugi::xml_attribute &attribute) const;
    void parse(pugi::xml_document &doc, std::string_view text, size_t base, bool fragment) const;
    void readFields(const pugi::xml_node &fields);
    void readParams(const pugi::xml_node &params);
    void readRowChunk(std::string_view chunk, size_t base);
    void readRow(const pugi::xml_node &row);
    void readValue(quint32 record, int field, const pugi::xml_attribute &attribute);
    int fieldOf(const char *name, int expected) const;
    std::string_view plain(const pugi::xml_attribute &attribute, std::string &scratch) const;
    [[noreturn]] void badValue(int field, std::string_view raw) const;

    std::string_view m_text;
    bool m_utf8;
    TTableContent m_content;
    std::vector<std::string> m_rawNames;
    std::vector<TValue::Kind> m_kinds;
    QHash<QByteArray, int> m_fieldByName;
    QHash<QString, int> m_fieldByFoldedName; // names in case-folded form
    pugi::xml_document m_chunkDoc;
    // For each field (and RowState last), the number of the row that last set it: an
    // attribute given twice in one row is malformed XML that the parser lets through.
    std::vector<quint32> m_setInRow;
};

QString PacketReader::attrText(const pugi::xml_attribute &attribute) const {
    const char *raw = attribute.value();
    const size_t length = std::strlen(raw);
    if (length > size_t(kMaxPacketValueBytes))
        fail(QStringLiteral("the value of \"%1\" is too long")
                 .arg(QString::fromUtf8(attribute.name())));
    QString text(qsizetype(length), Qt::Uninitialized);
    char16_t *begin = reinterpret_cast<char16_t *>(text.data());
    char16_t *end = PacketCodec::DecodeAttribute(raw, raw + length, m_utf8, begin);
    if (!end)
        fail(QStringLiteral("the value of \"%1\" is not valid text")
                 .arg(QString::fromUtf8(attribute.name())));
    text.truncate(end - begin);
    return text;
}

void PacketReader::parse(pugi::xml_document &doc, std::string_view text, size_t base,
                         bool fragment) const {
    const pugi::xml_parse_result result =
        doc.load_buffer(text.data(), text.size(),
                        kParseFlags | (fragment ? pugi::parse_fragment : 0), pugi::encoding_utf8);
    if (result.status == pugi::status_no_document_element)
        fail(QStringLiteral("the root element is not DATAPACKET"));
    if (!result) {
        const size_t offset = base + size_t(result.offset);
        if (result.status == pugi::status_end_element_mismatch ||
            result.status == pugi::status_unrecognized_tag || offset >= m_text.size())
            fail(QStringLiteral("the XML text is incomplete or damaged near byte %1 (%2)")
                     .arg(offset)
                     .arg(QString::fromUtf8(result.description())));
        fail(QStringLiteral("the XML text is damaged near byte %1 (%2)")
                 .arg(offset)
                 .arg(QString::fromUtf8(result.description())));
    }
}

TTableContent PacketReader::read() {
    m_content.utf8 = m_utf8;
    if (rootName(m_text) != "DATAPACKET")
        fail(QStringLiteral("the root element is not DATAPACKET"));
    const size_t open = findTag(m_text, "<ROWDATA", 0);
    if (open == std::string_view::npos) {
        pugi::xml_document doc;
        parse(doc, m_text, 0, false);
        if (!doc.document_element() || std::strcmp(doc.document_element().name(), "DATAPACKET"))
            fail(QStringLiteral("the root element is not DATAPACKET"));
        fail(QStringLiteral("ROWDATA is missing"));
    }
    const size_t openEnd = m_text.find('>', open);
    if (openEnd == std::string_view::npos)
        fail(QStringLiteral("the XML text is incomplete"));
    const bool empty = m_text[openEnd - 1] == '/';

    // The metadata up to ROWDATA is parsed as a document of its own with ROWDATA closed.
    std::string head(m_text.substr(0, empty ? m_text.size() : openEnd + 1));
    if (!empty)
        head += "</ROWDATA></DATAPACKET>";
    pugi::xml_document doc;
    parse(doc, head, 0, false);
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), "DATAPACKET") != 0)
        fail(QStringLiteral("the root element is not DATAPACKET"));
    const pugi::xml_node metadata = root.child("METADATA");
    if (!metadata || !metadata.child("FIELDS"))
        fail(QStringLiteral("METADATA with FIELDS is missing"));
    if (!root.child("ROWDATA"))
        fail(QStringLiteral("ROWDATA is not an element of DATAPACKET"));
    readFields(metadata.child("FIELDS"));
    readParams(metadata.child("PARAMS"));
    if (empty)
        return std::move(m_content);

    // The rows, parsed in chunks that end before a ROW tag, so that only one chunk's nodes
    // exist at a time.
    const size_t close = m_text.rfind("</ROWDATA");
    if (close == std::string_view::npos || close < openEnd)
        fail(QStringLiteral("the XML text is incomplete (ROWDATA is not closed)"));
    std::string_view tail = m_text.substr(close + 9);
    if (!take(tail, ">") || !take(tail, "</DATAPACKET") || !take(tail, ">") || !tail.empty())
        fail(QStringLiteral("the XML text is incomplete or has content after ROWDATA"));

    const std::string_view rows = m_text.substr(openEnd + 1, close - openEnd - 1);
    size_t count = 0;
    for (size_t p = findTag(rows, "<ROW", 0); p != std::string_view::npos;
         p = findTag(rows, "<ROW", p + 4))
        ++count;
    const qsizetype fieldCount = m_content.fields.size();
    if (count > size_t(kMaxPacketCells / fieldCount))
        fail(QStringLiteral("the packet declares %1 rows of %2 fields, more than a table can hold "
                            "(%3 cells at most)")
                 .arg(count)
                 .arg(fieldCount)
                 .arg(kMaxPacketCells));
    m_content.rows.reserve(count);
    m_content.store.reserve(qsizetype(count), qsizetype(rows.size()));
    size_t start = 0;
    while (start < rows.size()) {
        size_t end = start + kChunkBytes < rows.size() ? findTag(rows, "<ROW", start + kChunkBytes)
                                                       : std::string_view::npos;
        if (end == std::string_view::npos)
            end = rows.size();
        readRowChunk(rows.substr(start, end - start), openEnd + 1 + start);
        start = end;
    }
    return std::move(m_content);
}

void PacketReader::readFields(const pugi::xml_node &fields) {
    for (const pugi::xml_node &node : fields.children()) {
        if (node.type() != pugi::node_element || std::strcmp(node.name(), "FIELD") != 0)
            continue;
        if (m_content.fields.size() >= kMaxPacketFields)
            fail(QStringLiteral("the packet defines more than %1 fields").arg(kMaxPacketFields));
        TFieldDef def;
        def.name = attrText(node.attribute("attrname"));
        if (def.name.isEmpty())
            fail(QStringLiteral("a field has no name"));
        if (def.name == u"RowState") // the row attribute that carries the row's state
            fail(QStringLiteral("a field has the reserved name \"RowState\""));
        if (!isAttributeName(def.name)) // rows carry the name as an attribute name
            fail(QStringLiteral("the field name \"%1\" cannot be written in a packet")
                     .arg(def.name.left(80)));
        const QString typeName = attrText(node.attribute("fieldtype"));
        if (typeName == u"nested")
            fail(QStringLiteral("field \"%1\" is a nested table, which is not supported")
                     .arg(def.name));
        if (!FieldTypeFromName(typeName, def.type))
            fail(
                QStringLiteral("field \"%1\" has the unknown type \"%2\"").arg(def.name, typeName));
        auto number = [&](const char *name) {
            const pugi::xml_attribute a = node.attribute(name);
            if (!a)
                return 0;
            qint64 n = 0;
            if (!PacketValues::ParseInteger(a.value(), TFieldType::I4, n) || n < 0)
                fail(QStringLiteral("field \"%1\" has an invalid %2")
                         .arg(def.name, QString::fromUtf8(name)));
            return int(n);
        };
        auto flag = [&](const char *name) {
            bool on = false;
            return PacketValues::ParseBoolean(node.attribute(name).value(), on) && on;
        };
        def.width = number("WIDTH");
        def.decimals = number("DECIMALS");
        def.subtype = attrText(node.attribute("SUBTYPE"));
        def.readOnly = flag("readonly");
        def.required = flag("required");
        def.hidden = flag("hidden");
        def.linkField = flag("linkfield");
        const QByteArray raw(node.attribute("attrname").value());
        if (m_fieldByName.contains(raw))
            fail(QStringLiteral("field \"%1\" is defined twice").arg(def.name));
        // Names are looked up without regard to case: a second name that differs only in
        // case could never be reached.
        const QString folded = def.name.toCaseFolded();
        if (const int same = m_fieldByFoldedName.value(folded, -1); same >= 0)
            fail(QStringLiteral("fields \"%1\" and \"%2\" differ only in letter case")
                     .arg(m_content.fields[same].name, def.name));
        m_fieldByFoldedName.insert(folded, int(m_content.fields.size()));
        m_fieldByName.insert(raw, int(m_content.fields.size()));
        m_rawNames.emplace_back(raw.constData(), size_t(raw.size()));
        m_kinds.push_back(def.valueKind());
        m_content.fields.append(def);
    }
    if (m_content.fields.isEmpty())
        fail(QStringLiteral("the packet defines no fields"));
    m_content.store.reset(m_content.fields);
}

void PacketReader::readParams(const pugi::xml_node &params) {
    if (!params)
        return;
    for (const pugi::xml_attribute &a : params.attributes())
        m_content.properties.append(
            {PacketCodec::Decode(QByteArrayView(a.name()), m_utf8), attrText(a)});
    for (const pugi::xml_node &node : params.children("PARAM")) {
        TOptionalParam param;
        param.name = attrText(node.attribute("Name"));
        const QString text = attrText(node.attribute("Value"));
        const QString typeName = attrText(node.attribute("Type"));
        param.roundTrip = QString::fromUtf8(node.attribute("Roundtrip").value())
                              .compare(u"True", Qt::CaseInsensitive) == 0;
        param.value = TValue::FromText(text);
        TFieldDef def;
        if (!typeName.isEmpty() && FieldTypeFromName(typeName, def.type)) {
            const std::string raw = text.toStdString();
            bool ok = false;
            switch (def.valueKind()) {
            case TValue::Integer: {
                qint64 n;
                if ((ok = PacketValues::ParseInteger(raw, def.type, n)))
                    param.value = TValue::FromInteger(n);
                break;
            }
            case TValue::Unsigned: {
                qint64 n;
                if ((ok = PacketValues::ParseInteger(raw, def.type, n)))
                    param.value = TValue::FromUnsigned(quint64(n));
                break;
            }
            case TValue::Float: {
                double f;
                if ((ok = PacketValues::ParseFloat(raw, f)))
                    param.value = TValue::FromFloat(f);
                break;
            }
            case TValue::Bool: {
                bool b;
                if ((ok = PacketValues::ParseBoolean(raw, b)))
                    param.value = TValue::FromBool(b);
                break;
            }
            case TValue::DateTime: {
                TDateTimeMs t;
                if ((ok = PacketValues::ParseDateTime(raw, def.type, t)))
                    param.value = TValue::FromDateTime(t);
                break;
            }
            default:
                ok = true;
                break;
            }
            if (!ok)
                fail(QStringLiteral("parameter \"%1\" has a value that is not a %2")
                         .arg(param.name, typeName));
        }
        m_content.params.append(param);
    }
}

void PacketReader::readRowChunk(std::string_view chunk, size_t base) {
    parse(m_chunkDoc, chunk, base, true);
    for (const pugi::xml_node &node : m_chunkDoc.children()) {
        if (node.type() != pugi::node_element)
            fail(QStringLiteral("ROWDATA holds text outside rows near byte %1").arg(base));
        if (std::strcmp(node.name(), "ROW") != 0)
            fail(QStringLiteral("ROWDATA holds the element \"%1\"")
                     .arg(QString::fromUtf8(node.name())));
        if (node.first_child())
            fail(QStringLiteral("a row holds nested content"));
        readRow(node);
    }
}

int PacketReader::fieldOf(const char *name, int expected) const {
    if (expected < int(m_rawNames.size()) && m_rawNames[expected] == name)
        return expected;
    return m_fieldByName.value(QByteArray::fromRawData(name, qsizetype(std::strlen(name))), -1);
}

void PacketReader::readRow(const pugi::xml_node &node) {
    TRowEntry row;
    row.record = m_content.store.addRecord();
    const quint32 rowNumber = quint32(m_content.rows.size()) + 1;
    if (m_setInRow.size() != m_rawNames.size() + 1)
        m_setInRow.assign(m_rawNames.size() + 1, 0);
    auto once = [&](size_t slot, const char *name) {
        if (m_setInRow[slot] == rowNumber)
            fail(QStringLiteral("row %1 has the attribute \"%2\" twice")
                     .arg(rowNumber)
                     .arg(QString::fromUtf8(name)));
        m_setInRow[slot] = rowNumber;
    };
    int expected = 0;
    for (const pugi::xml_attribute &a : node.attributes()) {
        const char *name = a.name();
        const int field = fieldOf(name, expected);
        if (field >= 0)
            once(size_t(field), name);
        if (field < 0) {
            if (std::strcmp(name, "RowState") == 0) {
                once(m_rawNames.size(), name);
                qint64 state = 0;
                if (!PacketValues::ParseInteger(a.value(), TFieldType::UI1, state))
                    fail(QStringLiteral("a row has the invalid RowState \"%1\"")
                             .arg(QString::fromUtf8(a.value())));
                row.status = quint8(state);
                continue;
            }
            fail(QStringLiteral("a row has the attribute \"%1\", which names no field")
                     .arg(QString::fromUtf8(name)));
        }
        readValue(row.record, field, a);
        expected = field + 1;
    }
    m_content.rows.push_back(row);
}

std::string_view PacketReader::plain(const pugi::xml_attribute &attribute,
                                     std::string &scratch) const {
    const char *raw = attribute.value();
    const size_t length = std::strlen(raw);
    if (!std::memchr(raw, '&', length))
        return std::string_view(raw, length);
    scratch = attrText(attribute).toStdString();
    return scratch;
}

void PacketReader::badValue(int field, std::string_view raw) const {
    const QString shown = QString::fromUtf8(raw.data(), qsizetype(qMin<size_t>(raw.size(), 60)));
    fail(
        QStringLiteral("\"%1\" is not a valid %2 value for field \"%3\"")
            .arg(shown, FieldTypeName(m_content.fields[field].type), m_content.fields[field].name));
}

void PacketReader::readValue(quint32 record, int field, const pugi::xml_attribute &attribute) {
    TRecordStore &store = m_content.store;
    const TFieldDef &def = m_content.fields[field];
    const char *raw = attribute.value();
    const size_t length = std::strlen(raw);
    if (length > size_t(kMaxPacketValueBytes))
        fail(QStringLiteral("the value of field \"%1\" is too long (%2 bytes)")
                 .arg(def.name)
                 .arg(length));
    std::string scratch;
    switch (m_kinds[field]) {
    case TValue::Text:
        if (def.type == TFieldType::BinHex)
            break;
        {
            char16_t *out = store.beginText(qsizetype(length));
            char16_t *end = PacketCodec::DecodeAttribute(raw, raw + length, m_utf8, out);
            if (!end)
                badValue(field, std::string_view(raw, length));
            store.commitText(record, field, end);
        }
        return;
    case TValue::Integer:
    case TValue::Unsigned: { // a ui8 value is kept as its 64 bits
        qint64 n;
        const std::string_view text = plain(attribute, scratch);
        if (!PacketValues::ParseInteger(text, def.type, n))
            badValue(field, text);
        store.setInteger(record, field, n);
        return;
    }
    case TValue::Float: {
        double f;
        const std::string_view text = plain(attribute, scratch);
        if (!PacketValues::ParseFloat(text, f))
            badValue(field, text);
        store.setFloat(record, field, f);
        return;
    }
    case TValue::Bool: {
        bool b;
        const std::string_view text = plain(attribute, scratch);
        if (!PacketValues::ParseBoolean(text, b))
            badValue(field, text);
        store.setInteger(record, field, b ? 1 : 0);
        return;
    }
    case TValue::DateTime: {
        TDateTimeMs t;
        const std::string_view text = plain(attribute, scratch);
        if (!PacketValues::ParseDateTime(text, def.type, t))
            badValue(field, text);
        store.setInteger(record, field, t.ms);
        return;
    }
    default:
        break;
    }
    // bin.hex: Base64 of bytes, or of text in the document's encoding for memos.
    const std::string_view text = plain(attribute, scratch);
    const auto decoded =
        QByteArray::fromBase64Encoding(QByteArray::fromRawData(text.data(), qsizetype(text.size())),
                                       QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        badValue(field, text);
    if (def.isMemo())
        store.setText(record, field, PacketCodec::Decode(*decoded, m_utf8));
    else
        store.setBytes(record, field, *decoded);
}

} // namespace

TTableContent ReadDataPacket(QByteArrayView bytes) {
    std::string_view text(bytes.data(), size_t(bytes.size()));
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        fail(QStringLiteral("the packet is empty"));
    const bool utf8 = declaredUtf8(text);
    return PacketReader(text, utf8).read();
}

TTableContent ReadDataPacketText(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    std::string_view view(utf8.constData(), size_t(utf8.size()));
    while (!view.empty() && isSpace(view.back()))
        view.remove_suffix(1);
    if (view.empty())
        fail(QStringLiteral("the packet is empty"));
    declaredUtf8(view); // skips a byte order mark; the text is decoded already
    return PacketReader(view, true).read();
}
