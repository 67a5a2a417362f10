#include "lessonnotesserver.h"

#include "base/logging.h"
#include "net/formencode.h"
#include "net/requestoutcome.h"
#include "net/runrequest.h"
#include "net/serverrequest.h"
#include "wire/actionnames.h"

namespace LessonNotesServer {

std::optional<QList<TLessonNoteEntry>> List(qint64 studentId) {
    const RequestOutcome outcome =
        RunRequest(QString(), QString::fromLatin1(ActionNames::GetLessonNotes),
                   QStringLiteral("aiduser=%1").arg(studentId), false, false);
    if (!outcome.ok()) {
        qCInfo(lcLesson) << "lesson notes not listed (the server may not keep them): result"
                         << outcome.result;
        return std::nullopt;
    }
    const std::optional<QByteArray> list = ReplyPayload(outcome.reply);
    if (!list)
        return std::nullopt;
    return ParseList(*list);
}

RequestOutcome Post(qint64 studentId, const QByteArray &pdf) {
    ServerRequest request;
    request.action = QString::fromLatin1(ActionNames::PostLessonNotes);
    request.data = "aiduser=" + QByteArray::number(studentId) + "&notesdata=" + FormEncode(pdf);
    return RunRequest(request);
}

std::optional<QByteArray> Fetch(qint64 noteId) {
    const RequestOutcome outcome =
        RunRequest(QString(), QString::fromLatin1(ActionNames::GetLessonNote),
                   QStringLiteral("idnote=%1").arg(noteId), false, false);
    if (!outcome.ok())
        return std::nullopt;
    return ReplyPayload(outcome.reply);
}

QList<TLessonNoteEntry> ParseList(const QByteArray &text) {
    QList<TLessonNoteEntry> entries;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(';');
        if (fields.size() < 3)
            continue;
        bool ok = false;
        const qint64 id = fields[0].toLongLong(&ok);
        const QDateTime saved = QDateTime::fromString(QString::fromUtf8(fields[1]),
                                                      QStringLiteral("yyyy-MM-dd hh:mm:ss"));
        if (!ok || id <= 0 || !saved.isValid())
            continue;
        entries.append({id, saved, QString::fromUtf8(fields[2])});
    }
    return entries;
}

} // namespace LessonNotesServer
