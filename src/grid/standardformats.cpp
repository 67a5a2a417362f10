#include "grid/standardformats.h"

#include "data/displayformat.h"

namespace {

bool isInteger32(TFieldType type) {
    switch (type) {
    case TFieldType::I1:
    case TFieldType::UI1:
    case TFieldType::I2:
    case TFieldType::UI2:
    case TFieldType::I4:
        return true;
    default:
        return false;
    }
}

// Time-stamp fields that the school fills with a day only (a birth date).
bool holdsDay(const QString &name) {
    return name.compare(QLatin1String("WHENBORN"), Qt::CaseInsensitive) == 0;
}

} // namespace

QString GridCellText(const TFieldDef &field, const TValue &value) {
    if (field.isMemo())
        return MemoDisplayText(value.toText());
    return FormatDisplayText(field, value);
}

QString FieldEditText(const TFieldDef &field, const TValue &value) {
    if (field.isMemo())
        return value.toText();
    return FormatValue(field.editFormat, field, value);
}

void ApplyStandardFormats(TFieldDef &field) {
    if (isInteger32(field.type)) {
        field.displayFormat = QStringLiteral("#,##0");
        field.editFormat = QStringLiteral("0");
        return;
    }
    switch (field.type) {
    case TFieldType::R8:
    case TFieldType::Fixed:
    case TFieldType::FixedFMT:
        field.displayFormat = QStringLiteral("#,##0.00");
        field.editFormat = QStringLiteral("0.00");
        break;
    case TFieldType::Date:
        field.displayFormat = QStringLiteral("dd.mm.yyyy");
        break;
    case TFieldType::Time:
        field.displayFormat = QStringLiteral("hh:nn");
        break;
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        // Minutes are the finest step anything in the school is planned or stamped in; a
        // field that holds a calendar day in a time stamp shows the day alone.
        field.displayFormat = holdsDay(field.name) ? QStringLiteral("dd.mm.yyyy")
                                                   : QStringLiteral("dd.mm.yyyy hh:nn");
        break;
    default:
        break;
    }
}
