#include "output/fieldkinds.h"

#include <algorithm>

namespace {

// The average width of a character of the grid's font, in pixels.
constexpr int kPixelsPerCharacter = 7;

} // namespace

bool IsInteger32Field(const TFieldDef &field) {
    switch (field.type) {
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

bool IsFloatField(const TFieldDef &field) {
    return field.type == TFieldType::R8 || field.type == TFieldType::Fixed ||
           field.type == TFieldType::FixedFMT;
}

bool IsNumericField(const TFieldDef &field) {
    switch (field.type) {
    case TFieldType::UI4:
    case TFieldType::I8:
    case TFieldType::UI8:
        return true;
    default:
        return IsInteger32Field(field) || IsFloatField(field);
    }
}

TOutputAlignment FieldAlignment(const TFieldDef &field) {
    return IsNumericField(field) ? TOutputAlignment::Right : TOutputAlignment::Left;
}

QString FieldDisplayLabel(const TFieldDef &field) {
    return field.name;
}

int FieldDisplayWidth(const TFieldDef &field) {
    switch (field.type) {
    case TFieldType::String:
    case TFieldType::StringUni:
        return std::clamp(field.width, 1, 60);
    case TFieldType::Boolean:
        return 5;
    case TFieldType::Date:
    case TFieldType::Time:
        return 10;
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        return 18;
    case TFieldType::BinHex:
        return 30;
    case TFieldType::I8:
    case TFieldType::UI8:
        return 15;
    default:
        return IsFloatField(field) ? 12 : 10;
    }
}

int FieldDisplayPixels(const TFieldDef &field) {
    return FieldDisplayWidth(field) * kPixelsPerCharacter;
}
