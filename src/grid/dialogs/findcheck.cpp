#include "grid/dialogs/findcheck.h"

#include "data/usertext.h"
#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <algorithm>

namespace {

// The common text of the type's message, or 0 when the type takes any text.
int messageOf(TFieldType type) {
    switch (type) {
    case TFieldType::I1:
    case TFieldType::UI1:
    case TFieldType::I2:
    case TFieldType::UI2:
    case TFieldType::I4:
    case TFieldType::UI4:
    case TFieldType::I8:
    case TFieldType::UI8:
        return 16;
    case TFieldType::R8:
    case TFieldType::Fixed:
    case TFieldType::FixedFMT:
        return 76;
    case TFieldType::Date:
        return 77;
    case TFieldType::Time:
        return 78;
    case TFieldType::DateTime:
    case TFieldType::SQLDateTime:
        return 79;
    default:
        return 0;
    }
}

// Digits with an optional sign: the integer types take no grouping, decimals or exponent.
bool wholeNumber(const QString &text) {
    const QStringView digits =
        text.startsWith(u'-') || text.startsWith(u'+') ? QStringView(text).mid(1) : text;
    return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(),
                                            [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool readable(const TFieldDef &field, const QString &text) {
    if (text.trimmed().isEmpty())
        return false;
    if (messageOf(field.type) == 16 && !wholeNumber(text.trimmed()))
        return false;
    try {
        return !ValueFromUserText(field, text).isNull();
    } catch (const AppError &) {
        return false;
    }
}

} // namespace

void CheckFindText(const TFieldDef &field, const QString &text) {
    const int message = messageOf(field.type);
    if (message != 0 && !readable(field, text))
        throw AppError(FormatText(CommonText(message), {text}));
}
