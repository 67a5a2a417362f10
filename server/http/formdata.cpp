#include "server/http/formdata.h"

#include <QList>

FormFields ParseFormFields(const QByteArray &text) {
    FormFields fields;
    for (const QByteArray &item : text.split('&')) {
        if (item.isEmpty())
            continue;
        const qsizetype eq = item.indexOf('=');
        const QByteArray name = QByteArray::fromPercentEncoding(eq < 0 ? item : item.left(eq));
        const QByteArray value =
            eq < 0 ? QByteArray() : QByteArray::fromPercentEncoding(item.mid(eq + 1));
        if (!fields.contains(name)) // the first occurrence wins
            fields.insert(name, value);
    }
    return fields;
}

std::optional<FormFields> ParseBoundedFormFields(const QByteArray &text, int maxFields) {
    if (text.count('&') >= maxFields)
        return std::nullopt;
    return ParseFormFields(text);
}

QByteArray JoinTransportItems(const QByteArray &tail) {
    QList<QByteArray> items = tail.split('&');
    QByteArray out = QByteArray::fromPercentEncoding(items.takeFirst());
    for (const QByteArray &item : items) {
        const qsizetype eq = item.indexOf('=');
        out += '&';
        out +=
            eq < 0 ? item : item.left(eq + 1) + QByteArray::fromPercentEncoding(item.mid(eq + 1));
    }
    return out;
}

QByteArray FullFormDecode(const QByteArray &value) {
    QByteArray plus = value;
    plus.replace('+', ' ');
    return QByteArray::fromPercentEncoding(plus);
}

namespace {

// The parameter of a header value, e.g. boundary in "multipart/form-data; boundary=xyz".
QByteArray HeaderParameter(const QByteArray &header, const QByteArray &name) {
    for (QByteArray part : header.split(';')) {
        part = part.trimmed();
        const qsizetype eq = part.indexOf('=');
        if (eq > 0 && part.left(eq).trimmed().toLower() == name) {
            QByteArray value = part.mid(eq + 1).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

} // namespace

std::optional<QByteArray> MultipartField(const QByteArray &body, const QByteArray &contentType,
                                         const QByteArray &fieldName) {
    if (!contentType.trimmed().toLower().startsWith("multipart/form-data"))
        return std::nullopt;
    const QByteArray boundary = HeaderParameter(contentType, "boundary");
    if (boundary.isEmpty() || boundary.size() > 200)
        return std::nullopt;
    const QByteArray delimiter = "--" + boundary;
    qsizetype pos = body.indexOf(delimiter);
    while (pos >= 0) {
        pos += delimiter.size();
        if (body.mid(pos, 2) == "--")
            return std::nullopt; // closing delimiter: no such field
        const qsizetype headerEnd = body.indexOf("\r\n\r\n", pos);
        if (headerEnd < 0)
            return std::nullopt;
        const QByteArray headers = body.mid(pos, headerEnd - pos);
        const qsizetype dataStart = headerEnd + 4;
        const qsizetype next = body.indexOf("\r\n" + delimiter, dataStart);
        if (next < 0)
            return std::nullopt;
        for (const QByteArray &line : headers.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (trimmed.toLower().startsWith("content-disposition:") &&
                HeaderParameter(trimmed.mid(20), "name") == fieldName)
                return body.mid(dataStart, next - dataStart);
        }
        pos = next + 2;
    }
    return std::nullopt;
}
