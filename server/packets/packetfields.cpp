#include "server/packets/packetfields.h"

TFieldDef IntField(const QString &name) {
    return MakeField(name, TFieldType::I4);
}

TFieldDef FloatField(const QString &name) {
    return MakeField(name, TFieldType::R8);
}

TFieldDef MoneyField(const QString &name) {
    TFieldDef f = MakeField(name, TFieldType::R8);
    f.subtype = QStringLiteral("Money");
    return f;
}

TFieldDef TextField(const QString &name, int width) {
    return MakeField(name, TFieldType::String, width);
}

TFieldDef MemoField(const QString &name) {
    TFieldDef f = MakeField(name, TFieldType::BinHex);
    f.subtype = QStringLiteral("Text");
    return f;
}

TFieldDef DateTimeField(const QString &name) {
    return MakeField(name, TFieldType::DateTime);
}

namespace {

int Digits(QStringView text, qsizetype at, int count, bool &ok) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const QChar c = at + i < text.size() ? text[at + i] : QChar();
        if (!c.isDigit()) {
            ok = false;
            return 0;
        }
        n = n * 10 + c.digitValue();
    }
    return n;
}

} // namespace

std::optional<TDateTimeMs> ParseStoredDateTime(QStringView text) {
    bool ok = text.size() >= 10;
    const int year = Digits(text, 0, 4, ok), month = Digits(text, 5, 2, ok),
              day = Digits(text, 8, 2, ok);
    int hour = 0, minute = 0, second = 0, ms = 0;
    if (ok && text.size() >= 19) {
        hour = Digits(text, 11, 2, ok);
        minute = Digits(text, 14, 2, ok);
        second = Digits(text, 17, 2, ok);
        if (text.size() >= 23 && text[19] == QLatin1Char('.'))
            ms = Digits(text, 20, 3, ok);
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, ms);
    if (!ok || !date.isValid() || !time.isValid())
        return std::nullopt;
    return ToDateTimeMs(date, time);
}

QDateTime StoredWallTime(const QVariant &value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime t = value.toDateTime();
        return QDateTime(t.date(), t.time(), Qt::UTC);
    }
    const std::optional<TDateTimeMs> t = ParseStoredDateTime(value.toString());
    return t ? QDateTime(DatePart(*t), TimePart(*t), Qt::UTC) : QDateTime();
}

QDateTime WallTime(const QDateTime &local) {
    return QDateTime(local.date(), local.time(), Qt::UTC);
}

TValue ValueFromSql(const QVariant &value, const TFieldDef &field) {
    if (value.isNull())
        return {};
    switch (field.valueKind()) {
    case TValue::Integer:
        return TValue::FromInteger(value.toLongLong());
    case TValue::Unsigned:
        return TValue::FromUnsigned(value.toULongLong());
    case TValue::Float:
        return TValue::FromFloat(value.toDouble());
    case TValue::Bool:
        return TValue::FromBool(value.toLongLong() != 0);
    case TValue::DateTime: {
        if (value.typeId() == QMetaType::QDateTime) {
            const QDateTime t = value.toDateTime();
            return TValue::FromDateTime(ToDateTimeMs(t.date(), t.time()));
        }
        const std::optional<TDateTimeMs> t = ParseStoredDateTime(value.toString());
        return t ? TValue::FromDateTime(*t) : TValue();
    }
    case TValue::Bytes:
        if (field.isMemo())
            return TValue::FromText(value.toString());
        return TValue::FromBytes(value.toByteArray());
    default:
        return TValue::FromText(value.toString());
    }
}

QVariant ValueToSql(const TValue &value, const TFieldDef &field) {
    if (value.isNull())
        return QVariant();
    switch (field.valueKind()) {
    case TValue::Integer:
    case TValue::Bool:
        return value.toInteger();
    case TValue::Unsigned:
        return value.toUnsigned();
    case TValue::Float:
        return value.toFloat();
    case TValue::DateTime:
        return value.toQDateTime();
    case TValue::Bytes:
        return field.isMemo() ? QVariant(value.toText()) : QVariant(value.toBytes());
    default:
        return value.toText();
    }
}
