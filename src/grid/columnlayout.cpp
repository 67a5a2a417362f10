#include "grid/columnlayout.h"

#include <QtEndian>

namespace {

constexpr char kMagic[4] = {'T', 'C', 'L', '1'};
constexpr quint32 kMaxColumns = 4096;
constexpr quint32 kMaxWidth = 100000;

class Writer {
public:
    void u8(quint8 value) { m_out.append(char(value)); }
    void u32(quint32 value) {
        char bytes[4];
        qToLittleEndian(value, bytes);
        m_out.append(bytes, 4);
    }
    void text(const QString &value) {
        const QByteArray utf8 = value.toUtf8();
        u32(quint32(utf8.size()));
        m_out.append(utf8);
    }
    QByteArray take() { return std::move(m_out); }
    void raw(const char *data, int size) { m_out.append(data, size); }

private:
    QByteArray m_out;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_bytes.size(); }
    qsizetype left() const { return m_bytes.size() - m_pos; }

    quint8 u8() {
        if (!need(1))
            return 0;
        return quint8(m_bytes[m_pos++]);
    }
    quint32 u32() {
        if (!need(4))
            return 0;
        const quint32 value = qFromLittleEndian<quint32>(m_bytes.data() + m_pos);
        m_pos += 4;
        return value;
    }
    QString text() {
        const quint32 size = u32();
        if (!need(size))
            return QString();
        const QByteArrayView utf8 = m_bytes.sliced(m_pos, size);
        m_pos += size;
        return QString::fromUtf8(utf8);
    }
    bool raw(const char *expected, int size) {
        if (!need(size) || m_bytes.sliced(m_pos, size) != QByteArrayView(expected, size))
            return m_ok = false;
        m_pos += size;
        return true;
    }
    void fail() { m_ok = false; }

private:
    bool need(qsizetype size) {
        if (!m_ok || size > left())
            return m_ok = false;
        return true;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

// Smallest serialized column: two empty texts, width, three flags, empty pick list, colours.
constexpr qsizetype kMinColumnBytes = 4 + 4 + 4 + 3 + 4 + 4 + 4;

TColumn readColumn(Reader &in) {
    TColumn column;
    column.fieldName = in.text();
    column.caption = in.text();
    const quint32 width = in.u32();
    const quint8 visible = in.u8();
    const quint8 alignment = in.u8();
    const quint8 buttonStyle = in.u8();
    if (width > kMaxWidth || visible > 1 || alignment > 2 || buttonStyle > 2)
        in.fail();
    column.width = int(width);
    column.visible = visible == 1;
    column.alignment = TColumnAlignment(alignment);
    column.buttonStyle = TColumnButtonStyle(buttonStyle);
    const quint32 picks = in.u32();
    if (picks > quint32(in.left() / 4))
        in.fail();
    for (quint32 i = 0; in.ok() && i < picks; ++i)
        column.pickList.append(in.text());
    column.titleColor = in.u32();
    column.cellColor = in.u32();
    return column;
}

int hexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

QByteArray SerializeColumns(const TColumnList &columns) {
    Writer out;
    out.raw(kMagic, 4);
    out.u32(quint32(columns.size()));
    for (const TColumn &column : columns) {
        out.text(column.fieldName);
        out.text(column.caption);
        out.u32(quint32(qBound(0, column.width, int(kMaxWidth))));
        out.u8(column.visible ? 1 : 0);
        out.u8(quint8(column.alignment));
        out.u8(quint8(column.buttonStyle));
        out.u32(quint32(column.pickList.size()));
        for (const QString &pick : column.pickList)
            out.text(pick);
        out.u32(column.titleColor);
        out.u32(column.cellColor);
    }
    return out.take();
}

std::optional<TColumnList> DeserializeColumns(QByteArrayView bytes) {
    Reader in(bytes);
    if (!in.raw(kMagic, 4))
        return std::nullopt;
    const quint32 count = in.u32();
    if (!in.ok() || count > kMaxColumns || count > quint32(in.left() / kMinColumnBytes))
        return std::nullopt;
    TColumnList columns;
    columns.reserve(count);
    for (quint32 i = 0; i < count && in.ok(); ++i)
        columns.append(readColumn(in));
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return columns;
}

QString LayoutToHex(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex().toUpper());
}

std::optional<QByteArray> LayoutFromHex(const QString &text) {
    const QString hex = text.trimmed();
    if (hex.size() % 2 != 0)
        return std::nullopt;
    QByteArray bytes;
    bytes.resize(hex.size() / 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int high = hexDigit(hex[2 * i]);
        const int low = hexDigit(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[i] = char(high << 4 | low);
    }
    return bytes;
}
