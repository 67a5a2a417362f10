#include "grid/controls/datemask.h"

#include "errors/apperror.h"
#include "lang/texts.h"
#include "lang/textutil.h"

#include <QStringList>

TDateMask ParseDateMask(const QString &mask) {
    const QStringList parts = mask.split(u';');
    QString pattern = parts.value(0);
    const QString blank = parts.size() >= 3 && !parts[2].isEmpty() ? parts[2].left(1) : "_";
    if (pattern.startsWith(u'!'))
        pattern.remove(0, 1);
    TDateMask result;
    QString input;
    int digits = 0;
    for (QChar c : pattern) {
        if (c == u'9' || c == u'0') {
            // An optional digit of the mask is an optional digit of the line edit and back.
            input += c == u'9' ? u'0' : u'9';
            ++digits;
        } else if (c == u'/' || c == u'.' || c == u'-') {
            if (digits == 0)
                return TDateMask();
            result.groups.append(digits);
            digits = 0;
            input += u'.';
        } else {
            return TDateMask();
        }
    }
    if (digits > 0)
        result.groups.append(digits);
    if (!result.usable() || result.groups[2] < 2)
        return TDateMask();
    result.inputMask = input + u';' + blank;
    return result;
}

QString FormatMaskedDate(const TDateMask &mask, const QDate &date) {
    if (!mask.usable() || !date.isValid())
        return QString();
    const int year = mask.groups[2] < 4 ? date.year() % 100 : date.year();
    const auto pad = [](int value, int width) {
        return QString::number(value).rightJustified(width, u'0', true);
    };
    return pad(date.day(), mask.groups[0]) + u'.' + pad(date.month(), mask.groups[1]) + u'.' +
           pad(year, mask.groups[2]);
}

std::optional<QDate> ReadMaskedDate(const TDateMask &mask, const QString &text, int referenceYear) {
    QStringList parts = text.split(u'.');
    bool any = false;
    QList<int> numbers;
    for (QString &part : parts) {
        QString digits;
        for (QChar c : part)
            if (c.isDigit() && c.unicode() < 128)
                digits += c;
        any = any || !digits.isEmpty();
        numbers.append(digits.isEmpty() ? -1 : digits.toInt());
    }
    if (!any)
        return std::nullopt;
    const auto invalid = [&] { return AppError(FormatText(TableTexts().invalidDate, {text})); };
    if (numbers.size() != 3 || numbers.contains(-1))
        throw invalid();
    int year = numbers[2];
    if (mask.groups.value(2) < 4 || year < 100) {
        const int lowest = referenceYear - 50;
        year += lowest / 100 * 100;
        if (year < lowest)
            year += 100;
    }
    const QDate date(year, numbers[1], numbers[0]);
    if (!date.isValid())
        throw invalid();
    return date;
}
