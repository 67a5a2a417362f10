#include "screens/timetable/lessonevents.h"

#include "base/usertypes.h"
#include "data/clienttable.h"
#include "grid/recordwalk.h"
#include "errors/apperror.h"
#include "lang/texts.h"

#include <algorithm>

namespace {

const char *const kFields[] = {"IDTIMETABLE",    "WHENHOUR",     "HOURS",  "TEACHERFULLNAME",
                               "CLIENTFULLNAME", "STATUSNAME_L", "IDUSER", "TIMETABLESTATUS"};

QList<int> lessonFields(const TClientTable &table) {
    QList<int> fields;
    for (const char *name : kFields) {
        const int index = table.FieldIndex(QString::fromLatin1(name));
        if (index < 0)
            throw AppError(QStringLiteral("%1: Field '%2' not found")
                               .arg(table.Name(), QString::fromLatin1(name)));
        fields << index;
    }
    return fields;
}

TLessonRow lessonOf(const TValue *v) {
    return {v[0].toInteger(), v[1].toQDateTime(), v[2].toFloat(),   v[3].toText(),
            v[4].toText(),    v[5].toText(),      v[6].toInteger(), int(v[7].toInteger())};
}

} // namespace

QList<TLessonRow> ListedLessons(TClientTable &timetable) {
    QList<TLessonRow> lessons;
    if (!timetable.Active())
        return lessons;
    const QList<int> fields = lessonFields(timetable);
    std::vector<TValue> values(size_t(fields.size()));
    WalkRecords(timetable, [&] {
        for (qsizetype i = 0; i < fields.size(); ++i)
            values[size_t(i)] = timetable.Field(fields[i]).Value();
        lessons << lessonOf(values.data());
    });
    return lessons;
}

QList<TLessonRow> BookedLessons(const TClientTable &timetable, qint64 idUser) {
    QList<TLessonRow> lessons;
    if (!timetable.Active())
        return lessons;
    timetable.ForEachRow(lessonFields(timetable), [&](const TValue *values) {
        const TLessonRow lesson = lessonOf(values);
        if (lesson.idUser == idUser && (lesson.statusId == 2 || lesson.statusId == 3))
            lessons << lesson;
    });
    std::stable_sort(lessons.begin(), lessons.end(),
                     [](const TLessonRow &a, const TLessonRow &b) { return a.when < b.when; });
    return lessons;
}

TCalendarEvent LessonEvent(const TLessonRow &lesson, int userType, const QString &host) {
    QStringList names;
    if (userType == UserTypes::Client)
        names << lesson.teacher;
    else if (userType == UserTypes::Teacher)
        names << lesson.client;
    else
        names << lesson.teacher << lesson.client;
    names.removeAll(QString());
    QString summary = AppText(1301);
    if (!names.isEmpty())
        summary += QStringLiteral(": ") + names.join(QStringLiteral(" – "));
    if (!lesson.status.isEmpty())
        summary += QStringLiteral(" (") + lesson.status + u')';
    QStringList details;
    const auto detail = [&details](int caption, const QString &value) {
        if (!value.isEmpty())
            details << AppText(caption) + QStringLiteral(": ") + value;
    };
    detail(360, lesson.teacher);
    detail(361, lesson.client);
    detail(362, lesson.status);
    TCalendarEvent event;
    event.uid = QStringLiteral("timetable-%1@%2").arg(lesson.id).arg(host);
    event.start = lesson.when;
    // An event must end after it starts: a lesson without a length counts one hour.
    const double hours = lesson.hours > 0 ? lesson.hours : 1;
    event.end = lesson.when.addSecs(qint64(hours * 3600 + 0.5));
    event.summary = summary;
    event.description = details.join(u'\n');
    return event;
}
