#include "data/usertext.h"

#include "wire/packetcodec.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QRegularExpression>

#include <limits>

namespace {

[[noreturn]] void invalidNumber(const TFieldDef &field, const QString &text) {
    throw AppError(FormatText(TableTexts().invalidFieldFloat, {text, field.name}));
}

[[noreturn]] void invalidDate(const QString &text) {
    throw AppError(FormatText(TableTexts().invalidDate, {text}));
}

// "h:mm" or "h:mm:ss" as milliseconds of the day.
bool parseTime(QStringView text, qint64 &ms) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,2}):(\\d{2})(?::(\\d{2}))?$"));
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch())
        return false;
    const int h = match.capturedView(1).toInt(), m = match.capturedView(2).toInt();
    const int s = match.capturedView(3).isEmpty() ? 0 : match.capturedView(3).toInt();
    if (h > 23 || m > 59 || s > 59)
        return false;
    ms = ((qint64(h) * 60 + m) * 60 + s) * 1000;
    return true;
}

QString formatTime(const QTime &time) {
    return time.toString(QStringLiteral("H:mm:ss"));
}

QString numberText(const QString &text) {
    QString clean = text.trimmed();
    clean.remove(QChar(' '));
    clean.remove(QChar(0x00A0));
    clean.replace(QChar(','), QChar('.'));
    return clean;
}

} // namespace

QString FormatShortDate(const QDate &date) {
    return date.toString(QStringLiteral("d.M.yyyy"));
}

bool ParseShortDateTime(QStringView text, TDateTimeMs &value) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(\\d{1,2})\\.\\s*(\\d{1,2})\\.\\s*(\\d{4})(?:\\s+(\\S+))?\\s*$"));
    const auto match = pattern.match(text.toString());
    if (!match.hasMatch())
        return false;
    const QDate date(match.capturedView(3).toInt(), match.capturedView(2).toInt(),
                     match.capturedView(1).toInt());
    if (!date.isValid())
        return false;
    qint64 ms = 0;
    if (!match.capturedView(4).isEmpty() && !parseTime(match.capturedView(4), ms))
        return false;
    value = TDateTimeMs{ToDateTimeMs(date).ms + ms};
    return true;
}

QString ValueToUserText(const TFieldDef &field, const TValue &value) {
    if (value.isNull())
        return QString();
    switch (field.valueKind()) {
    case TValue::Integer:
        return QString::number(value.toInteger());
    case TValue::Unsigned:
        return QString::number(value.toUnsigned());
    case TValue::Float:
        return QString::number(value.toFloat(), 'g', 15).replace(QChar('.'), QChar(','));
    case TValue::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TValue::DateTime: {
        const TDateTimeMs t = value.toDateTime();
        if (field.type == TFieldType::Time)
            return formatTime(TimePart(t));
        const QString date = FormatShortDate(DatePart(t));
        if (field.type == TFieldType::Date || TimePart(t) == QTime(0, 0))
            return date;
        return date + QChar(' ') + formatTime(TimePart(t));
    }
    case TValue::Bytes:
        return QString::fromLatin1(value.toBytes());
    default:
        return value.toText();
    }
}

TValue ValueFromUserText(const TFieldDef &field, const QString &text) {
    if (text.isEmpty() || (field.valueKind() != TValue::Text && text.trimmed().isEmpty()))
        return TValue();
    switch (field.valueKind()) {
    case TValue::Integer: {
        bool ok = false;
        const qint64 n = numberText(text).toLongLong(&ok);
        if (!ok)
            invalidNumber(field, text);
        return TValue::FromInteger(n);
    }
    case TValue::Unsigned: {
        bool ok = false;
        const QString digits = numberText(text);
        const quint64 n = digits.startsWith(u'-') ? 0 : digits.toULongLong(&ok);
        if (!ok)
            invalidNumber(field, text);
        return TValue::FromUnsigned(n);
    }
    case TValue::Float: {
        bool ok = false;
        const double f = numberText(text).toDouble(&ok);
        if (!ok || !std::isfinite(f))
            invalidNumber(field, text);
        return TValue::FromFloat(f);
    }
    case TValue::Bool: {
        const QString t = text.trimmed().toLower();
        if (t == u"true" || t == u"1")
            return TValue::FromBool(true);
        if (t == u"false" || t == u"0")
            return TValue::FromBool(false);
        invalidNumber(field, text);
    }
    case TValue::DateTime: {
        TDateTimeMs value;
        qint64 ms = 0;
        if (field.type == TFieldType::Time) {
            if (!parseTime(text.trimmed(), ms))
                invalidDate(text);
            return TValue::FromDateTime(TDateTimeMs{ms});
        }
        if (!ParseShortDateTime(text, value))
            invalidDate(text);
        if (field.type == TFieldType::Date)
            value = ToDateTimeMs(DatePart(value));
        return TValue::FromDateTime(value);
    }
    case TValue::Bytes:
        return TValue::FromBytes(text.toUtf8());
    default:
        return TValue::FromText(text);
    }
}

namespace {

// Whether a whole number fits the integer type of its field (the packet's value range).
bool fitsIntegerType(TFieldType type, qint64 n) {
    switch (type) {
    case TFieldType::I1:
        return n >= -128 && n <= 127;
    case TFieldType::UI1:
        return n >= 0 && n <= 255;
    case TFieldType::I2:
        return n >= -32768 && n <= 32767;
    case TFieldType::UI2:
        return n >= 0 && n <= 65535;
    case TFieldType::I4:
        return n >= std::numeric_limits<qint32>::min() && n <= std::numeric_limits<qint32>::max();
    case TFieldType::UI4:
        return n >= 0 && n <= std::numeric_limits<quint32>::max();
    default:
        return true;
    }
}

// Whether a float lies in [low, high) (a float beyond a whole number's range cannot become one).
bool wholeInRange(double value, double low, double high) {
    return value >= low && value < high;
}

TValue convertKind(const TFieldDef &field, const TValue &value) {
    const TValue::Kind kind = field.valueKind();
    if (value.isNull() || value.kind() == kind)
        return value;
    if (value.kind() == TValue::Text)
        return ValueFromUserText(field, value.toText());
    switch (kind) {
    case TValue::Text:
        return TValue::FromText(ValueToUserText(field, value));
    case TValue::Integer:
        if (value.kind() == TValue::Float &&
            !wholeInRange(value.toFloat(), -9223372036854775808.0, 9223372036854775808.0))
            break;
        if (value.kind() == TValue::Unsigned &&
            value.toUnsigned() > quint64(std::numeric_limits<qint64>::max()))
            break;
        if (value.kind() == TValue::Float || value.kind() == TValue::Bool ||
            value.kind() == TValue::Unsigned)
            return TValue::FromInteger(value.toInteger());
        break;
    case TValue::Unsigned:
        if (value.kind() == TValue::Float &&
            !wholeInRange(value.toFloat(), 0, 18446744073709551616.0))
            break;
        if (value.kind() == TValue::Integer && value.toInteger() < 0)
            break;
        if (value.kind() == TValue::Float || value.kind() == TValue::Bool ||
            value.kind() == TValue::Integer)
            return TValue::FromUnsigned(value.toUnsigned());
        break;
    case TValue::Float:
        if (value.kind() == TValue::Integer || value.kind() == TValue::Bool ||
            value.kind() == TValue::Unsigned)
            return TValue::FromFloat(value.toFloat());
        break;
    case TValue::Bool:
        if (value.kind() == TValue::Integer || value.kind() == TValue::Unsigned)
            return TValue::FromBool(value.toBool());
        break;
    case TValue::Bytes:
        return TValue::FromBytes(value.toBytes());
    default:
        break;
    }
    throw AppError(FormatText(TableTexts().invalidFieldFloat, {value.toText(), field.name}));
}

} // namespace

TValue ConvertForField(const TFieldDef &field, const TValue &value) {
    return convertKind(field, value);
}

void CheckStorableText(const QString &name, const TFieldDef *field, const QString &text) {
    const qsizetype at = field && field->isMemo() ? PacketCodec::UnencodableCharacter(text, true)
                                                  : PacketCodec::UnwritableCharacter(text);
    if (at >= 0)
        throw AppError(FormatText(
            AppText(1050),
            {name, QStringLiteral("U+%1").arg(text[at].unicode(), 4, 16, QChar('0')).toUpper()}));
}

TValue ConvertForStoring(const TFieldDef &field, const TValue &value) {
    const TValue converted = convertKind(field, value);
    if (converted.kind() == TValue::Text)
        CheckStorableText(field.name, &field, converted.toText());
    if (converted.kind() == TValue::Integer && !fitsIntegerType(field.type, converted.toInteger()))
        throw AppError(FormatText(TableTexts().invalidFieldFloat, {value.toText(), field.name}));
    return converted;
}
