#include "wire/fielddef.h"

#include <array>

namespace {

struct TypeName {
    TFieldType type;
    const char16_t *name;
};

constexpr std::array<TypeName, 19> kTypeNames{{
    {TFieldType::I1, u"i1"},
    {TFieldType::UI1, u"ui1"},
    {TFieldType::I2, u"i2"},
    {TFieldType::UI2, u"ui2"},
    {TFieldType::I4, u"i4"},
    {TFieldType::UI4, u"ui4"},
    {TFieldType::I8, u"i8"},
    {TFieldType::UI8, u"ui8"},
    {TFieldType::R8, u"r8"},
    {TFieldType::Fixed, u"fixed"},
    {TFieldType::FixedFMT, u"fixedFMT"},
    {TFieldType::Boolean, u"boolean"},
    {TFieldType::Date, u"date"},
    {TFieldType::Time, u"time"},
    {TFieldType::DateTime, u"dateTime"},
    {TFieldType::SQLDateTime, u"SQLdateTime"},
    {TFieldType::String, u"string"},
    {TFieldType::StringUni, u"string.uni"},
    {TFieldType::BinHex, u"bin.hex"},
}};

} // namespace

QString FieldTypeName(TFieldType type) {
    for (const TypeName &entry : kTypeNames)
        if (entry.type == type)
            return QString::fromUtf16(entry.name);
    return QString();
}

bool FieldTypeFromName(QStringView name, TFieldType &type) {
    for (const TypeName &entry : kTypeNames) {
        if (name == QStringView(entry.name)) {
            type = entry.type;
            return true;
        }
    }
    return false;
}

TValue::Kind TFieldDef::valueKind() const {
    switch (type) {
    case TFieldType::R8:
    case TFieldType::Fixed:
    case TFieldType::FixedFMT:
        return TValue::Float;
    case TFieldType::Boolean:
        return TValue::Bool;
    case TFieldType::Date:
    case TFieldType::Time:
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        return TValue::DateTime;
    case TFieldType::String:
    case TFieldType::StringUni:
        return TValue::Text;
    case TFieldType::BinHex:
        return isMemo() ? TValue::Text : TValue::Bytes;
    case TFieldType::UI8:
        return TValue::Unsigned;
    default:
        return TValue::Integer;
    }
}

bool TFieldDef::isMemo() const {
    return type == TFieldType::BinHex && subtype.compare(u"Text", Qt::CaseInsensitive) == 0;
}

bool TFieldDef::isBlob() const {
    return type == TFieldType::BinHex && !isMemo();
}

namespace {

// The field properties that the program may set: the flags and the formats. Name, type,
// width, scale and subtype describe the stored values and always come from the packet.
template <typename Visit> void programSettings(Visit visit) {
    visit(&TFieldDef::readOnly);
    visit(&TFieldDef::required);
    visit(&TFieldDef::hidden);
    visit(&TFieldDef::linkField);
    visit(&TFieldDef::displayFormat);
    visit(&TFieldDef::editFormat);
}

} // namespace

bool ProgramChangedField(const TFieldDef &loaded, const TFieldDef &current) {
    bool changed = false;
    programSettings([&](auto member) { changed = changed || loaded.*member != current.*member; });
    return changed;
}

void CarryProgramSettings(const TFieldDef &loaded, const TFieldDef &current, TFieldDef &reloaded) {
    programSettings([&](auto member) {
        if (loaded.*member != current.*member)
            reloaded.*member = current.*member;
    });
}

TFieldDef MakeField(const QString &name, TFieldType type, int width) {
    TFieldDef def;
    def.name = name;
    def.type = type;
    def.width = width;
    return def;
}
