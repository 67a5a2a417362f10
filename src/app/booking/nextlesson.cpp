#include "app/booking/nextlesson.h"

#include "base/namevaluelist.h"

std::optional<TNextLesson> TNextLesson::Parse(const QString &lines) {
    NameValueList values;
    values.setText(lines);
    TNextLesson lesson;
    lesson.id = values.value(u"idtimetable").toLongLong();
    lesson.when =
        QDateTime::fromString(values.value(u"whenhour"), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    lesson.partner = values.value(u"partner").trimmed();
    if (lesson.id < 1 || !lesson.when.isValid())
        return std::nullopt;
    return lesson;
}
