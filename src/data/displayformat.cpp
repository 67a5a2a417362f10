#include "data/displayformat.h"

#include "data/usertext.h"

#include <algorithm>

namespace {

// Writes a number's digits ("-1234.50") in a format's style: groups of three whole digits
// apart when the format groups, a decimal comma, a sign only when a digit is not zero.
QString formatDigits(const QString &format, QString text) {
    const qsizetype point = format.indexOf(u'.');
    const bool grouped = format.left(point < 0 ? format.size() : point).contains(u',');
    const bool negative = text.startsWith(u'-');
    if (negative)
        text.remove(0, 1);
    const qsizetype dot = text.indexOf(u'.');
    QString whole = dot < 0 ? text : text.left(dot);
    if (grouped)
        for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, QChar(0x00A0));
    QString result = whole;
    if (dot >= 0)
        result += QChar(',') + text.mid(dot + 1);
    if (negative &&
        std::any_of(result.begin(), result.end(), [](QChar c) { return c >= u'1' && c <= u'9'; }))
        result.prepend(u'-');
    return result;
}

int formatDecimals(const QString &format) {
    const qsizetype point = format.indexOf(u'.');
    return point < 0 ? 0 : int(format.mid(point + 1).count(u'0'));
}

QString formatNumber(const QString &format, double value) {
    return formatDigits(format, QString::number(value, 'f', formatDecimals(format)));
}

// Whole numbers keep every digit (a float has only 53 bits).
QString formatWhole(const QString &format, const QString &digits) {
    const int decimals = formatDecimals(format);
    return formatDigits(format, decimals > 0 ? digits + u'.' + QString(decimals, u'0') : digits);
}

// Converts a date-time pattern of the tables' style to Qt's (months "m", minutes "n").
QString qtPattern(const QString &format) {
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i].toLower();
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run].toLower() == c)
            ++run;
        const QString token(run, c);
        switch (c.unicode()) {
        case 'd':
        case 'y':
        case 's':
            out += token;
            break;
        case 'm':
            out += QString(run, QChar('M'));
            break;
        case 'h':
            out += QString(run, QChar('H'));
            break;
        case 'n':
            out += QString(run, QChar('m'));
            break;
        default:
            out +=
                QChar('\'') + QString(format.mid(i, run)).replace(u"'"_qs, u"''"_qs) + QChar('\'');
            break;
        }
        i += run;
    }
    return out;
}

// The value's date and time as written, without a time zone: a local date-time would consult
// the zone for every value (a file check each time) and move a time that falls into a
// daylight-saving gap by an hour.
QDateTime asWritten(const TValue &value) {
    const TDateTimeMs ms = value.toDateTime();
    return QDateTime(DatePart(ms), TimePart(ms), Qt::UTC);
}

} // namespace

QString FormatValue(const QString &format, const TFieldDef &field, const TValue &value) {
    if (value.isNull())
        return QString();
    if (format.isEmpty())
        return ValueToUserText(field, value);
    switch (field.valueKind()) {
    case TValue::Integer:
        return formatWhole(format, QString::number(value.toInteger()));
    case TValue::Unsigned:
        return formatWhole(format, QString::number(value.toUnsigned()));
    case TValue::Float:
        return formatNumber(format, value.toFloat());
    case TValue::DateTime:
        return asWritten(value).toString(qtPattern(format));
    default:
        return ValueToUserText(field, value);
    }
}

QString FormatDisplayText(const TFieldDef &field, const TValue &value) {
    return FormatValue(field.displayFormat, field, value);
}

QString MemoDisplayText(const QString &text) {
    QString line = text;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return line.left(100);
}
