#include "output/outputtexts.h"

#include "data/displayformat.h"
#include "data/usertext.h"
#include "output/fieldkinds.h"

QString OutputTimeStamp(const QDateTime &when) {
    return FormatShortDate(when.date()) + u' ' + when.time().toString(QStringLiteral("H:mm:ss"));
}

QString FormatSum(const TFieldDef &field, double sum) {
    const bool formatted = IsInteger32Field(field) || IsFloatField(field);
    if (formatted && !field.displayFormat.isEmpty()) {
        TFieldDef number = field;
        number.type = TFieldType::R8;
        return FormatValue(field.displayFormat, number, TValue::FromFloat(sum));
    }
    return QString::number(sum, 'g', 15).replace(u'.', u',');
}

QString FormatCount(qint64 count) {
    TFieldDef number;
    number.type = TFieldType::R8;
    return FormatValue(QStringLiteral("#,##0"), number, TValue::FromFloat(double(count)));
}
