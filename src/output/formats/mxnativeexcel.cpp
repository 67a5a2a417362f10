#include "output/formats/mxnativeexcel.h"

#include "base/logging.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <cstring>

namespace {

constexpr quint16 kBof[] = {0x0009, 0x0209, 0x0409, 0x0809};
constexpr quint16 kDimensions0 = 0x0000, kDimensions = 0x0200;
constexpr quint16 kCodePage = 0x0042, kNumber = 0x0003, kLabel = 0x0004;
constexpr quint16 kColWidth = 0x0024, kEof = 0x000A;
constexpr int kMaxLabel = 255;
constexpr int kAlignmentCodes[] = {0, 1, 2, 3, 4, 7};

// Unicode to Windows-1250 for the characters above 127, built once from the decoder.
struct CodePage1250 {
    CodePage1250() {
        for (int b = 0x80; b < 0x100; ++b) {
            const QString c = FromWin1250(QByteArray(1, char(b)));
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter)
                pairs[size_t(count++)] = {c[0].unicode(), char(b)};
        }
    }
    char find(char16_t u) const {
        for (int i = 0; i < count; ++i)
            if (pairs[size_t(i)].first == u)
                return pairs[size_t(i)].second;
        return '?';
    }
    std::array<std::pair<char16_t, char>, 128> pairs{};
    int count = 0;
};

} // namespace

TmxNativeExcel::TmxNativeExcel() {
    Begin();
}

QByteArray TmxNativeExcel::Encode1250(QStringView text) {
    static const CodePage1250 table;
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *out++ = u < 0x80 ? char(u) : table.find(u);
    }
    return bytes;
}

void TmxNativeExcel::record(quint16 type, quint16 length) {
    put16(type);
    put16(length);
}

void TmxNativeExcel::put16(quint16 value) {
    const char bytes[2] = {char(value & 0xff), char(value >> 8)};
    m_buffer.append(bytes, 2);
}

void TmxNativeExcel::put32(quint32 value) {
    put16(quint16(value & 0xffff));
    put16(quint16(value >> 16));
}

void TmxNativeExcel::Begin() {
    m_ended = false;
    m_buffer.clear();
    if (m_format == 0) {
        record(kBof[0], 4);
        put16(0x0200);
        put16(0x0010);
        record(kDimensions0, 8);
    } else {
        record(kBof[m_format], 6);
        put16(0x0200);
        put16(0x0010);
        put16(0x0000);
        record(kDimensions, 10);
    }
    put16(FirstRow);
    put16(LastRow);
    put16(FirstColumn);
    put16(LastColumn);
    if (m_format != 0)
        put16(0);
    record(kCodePage, 4);
    put32(1250);
}

void TmxNativeExcel::End() {
    ensureBegun();
    record(kEof, 0);
    m_ended = true;
}

void TmxNativeExcel::ensureBegun() {
    if (m_ended)
        Begin();
}

void TmxNativeExcel::SetFormat(int format) {
    if (format < 0 || format > 3 || format == m_format)
        return;
    m_format = format;
    Begin();
}

void TmxNativeExcel::SetFileName(const QString &name) {
    const QFileInfo info(name);
    if (info.suffix().compare(QLatin1String("xls"), Qt::CaseInsensitive) == 0) {
        m_fileName = name;
        return;
    }
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() && !name.endsWith(u'.')
                             ? name
                             : name.left(name.size() - suffix.size() - 1);
    m_fileName = stem + QStringLiteral(".XLS");
}

void TmxNativeExcel::Save() const {
    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(m_buffer) != m_buffer.size() ||
        !file.commit()) {
        qCWarning(lcOutput).noquote() << "writing" << m_fileName << "failed:" << file.errorString();
        throw AppError(
            FormatText(AppText(1700), {QDir::toNativeSeparators(m_fileName), file.errorString()}));
    }
}

void TmxNativeExcel::SetCursorRow(int row) {
    if (row > 0 && row <= LastRow)
        m_row = row;
}

void TmxNativeExcel::SetCursorColumn(int column) {
    if (column > 0 && column <= LastColumn)
        m_column = column;
}

void TmxNativeExcel::cellHeader(quint16 type, quint16 length) {
    ensureBegun();
    record(type, length);
    put16(quint16(m_row - 1));
    put16(quint16(m_column - 1));
    int style = kAlignmentCodes[qBound(0, Alignment, int(xaMulti))];
    style |= (BorderLeft ? 0x08 : 0) | (BorderRight ? 0x10 : 0) | (BorderTop ? 0x20 : 0) |
             (BorderBottom ? 0x40 : 0) | (Shaded ? 0x80 : 0);
    const char attributes[3] = {char((Locked ? 0x40 : 0) | (Hidden ? 0x80 : 0)),
                                char(qBound(0, Font, 3) * 0x40), char(style)};
    m_buffer.append(attributes, 3);
}

void TmxNativeExcel::advance() {
    switch (Direction) {
    case xdRight:
        if (m_column < LastColumn)
            ++m_column;
        else if (m_row < LastRow)
            m_column = 1, ++m_row;
        break;
    case xdDown:
        if (m_row < LastRow)
            ++m_row;
        else if (m_column < LastColumn)
            m_row = 1, ++m_column;
        break;
    case xdLeft:
        if (m_column > 1)
            --m_column;
        else if (m_row > 1)
            m_column = LastColumn, --m_row;
        break;
    case xdUp:
        if (m_row > 1)
            --m_row;
        else if (m_column > 1)
            m_row = LastRow, --m_column;
        break;
    }
}

void TmxNativeExcel::WriteNumber(double value) {
    cellHeader(kNumber, 15);
    char bytes[8];
    std::memcpy(bytes, &value, 8); // IEEE 754, little-endian on every platform we build for
    m_buffer.append(bytes, 8);
    advance();
}

void TmxNativeExcel::WriteText(const QString &text) {
    QByteArray bytes = Encode1250(text);
    if (bytes.size() > kMaxLabel)
        bytes.truncate(kMaxLabel);
    cellHeader(kLabel, quint16(8 + bytes.size()));
    m_buffer.append(char(bytes.size()));
    m_buffer.append(bytes);
    advance();
}

void TmxNativeExcel::WriteNumber(int row, int column, double value) {
    SetCursorRow(row);
    SetCursorColumn(column);
    WriteNumber(value);
}

void TmxNativeExcel::WriteText(int row, int column, const QString &text) {
    SetCursorRow(row);
    SetCursorColumn(column);
    WriteText(text);
}

bool TmxNativeExcel::SetColumnWidth(int first, int last, int width) {
    if (first < 1 || last < first || last > 256 || width < 0 || width >= 256)
        return false;
    ensureBegun();
    record(kColWidth, 4);
    m_buffer.append(char(first - 1));
    m_buffer.append(char(last - 1));
    put16(quint16(width * 256));
    return true;
}
