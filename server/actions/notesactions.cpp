// The notes of a lesson, kept beside the chat with the same rights: a student reads only his
// own, a teacher reads and writes only those of his own students, staff those of their school.
#include "server/actions/notesactions.h"

#include "server/actions/fileactions.h"
#include "server/http/formdata.h"
#include "server/store/schooldatabase.h"

#include <QDateTime>
#include <QSqlQuery>

namespace {

// A PDF of a lesson's notes is a few hundred kilobytes at most; this keeps one school's
// storage from being filled by one request.
constexpr qsizetype MaxNotesBytes = 4 * 1024 * 1024;

// The student whose notes are asked for or written, refused when the user may not.
qint64 studentFor(ActionContext &ctx, qint64 student) {
    if (student == 0 && ctx.isClient())
        student = ctx.userId();
    if (ctx.isClient() && student != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    if (ctx.isTeacher() && !IsOwnStudent(ctx, student))
        throw Refusal(Msg::NotAllowed);
    if (!ctx.db
             .scalar(QStringLiteral("SELECT IDUSER FROM USERS WHERE IDUSER = ? AND IDJOB = ?"
                                    " AND USERTYPE = 4"),
                     {student, ctx.jobId()})
             .isValid())
        throw Refusal(Msg::RecordNotFound);
    return student;
}

} // namespace

ActionReply PostLessonNotesAction(ActionContext &ctx) {
    if (ctx.isClient())
        throw Refusal(Msg::NotAllowed);
    const qint64 student = studentFor(ctx, ctx.intParam("aiduser"));
    if (!ctx.request.has("notesdata"))
        throw Refusal(Msg::MissingParameter, QStringLiteral("notesdata"));
    const QByteArray notes = FullFormDecode(ctx.request.param("notesdata"));
    if (!notes.startsWith("%PDF-"))
        throw Refusal(Msg::BadFieldValue, QStringLiteral("notesdata"));
    if (notes.size() > MaxNotesBytes)
        throw Refusal(Msg::ValueTooLong, QStringLiteral("notesdata"));
    Transaction transaction(ctx.db);
    const qint64 id = ctx.db.nextId(QStringLiteral("LESSONNOTES"), QStringLiteral("IDNOTE"));
    ctx.db.run(QStringLiteral("INSERT INTO LESSONNOTES (IDNOTE, IDUSER, IDTEACHER, WHENSAVED,"
                              " NOTESDATA) VALUES (?, ?, ?, ?, ?)"),
               {id, student, ctx.userId(), ctx.now(), notes});
    transaction.commit();
    return ActionReply::Ok(QByteArray::number(id));
}

ActionReply GetLessonNotesAction(ActionContext &ctx) {
    const qint64 student =
        studentFor(ctx, ctx.request.has("aiduser") ? ctx.intParam("aiduser") : 0);
    QByteArray list;
    // The teacher's name as the school's lists write full names: surname first.
    QSqlQuery rows = ctx.db.run(QStringLiteral("SELECT N.IDNOTE, N.WHENSAVED, U.SURNAME,"
                                               " U.FIRSTNAME FROM LESSONNOTES N LEFT JOIN USERS U"
                                               " ON U.IDUSER = N.IDTEACHER WHERE N.IDUSER = ?"
                                               " ORDER BY N.IDNOTE DESC"),
                                {student});
    while (rows.next()) {
        const QString teacher = (rows.value(2).toString() + u' ' + rows.value(3).toString())
                                    .simplified()
                                    .remove(u';');
        list += QByteArray::number(rows.value(0).toLongLong()) + ';' +
                rows.value(1).toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8() +
                ';' + teacher.toUtf8() + "\r\n";
    }
    ActionReply reply = ActionReply::OkZip(list);
    reply.renewable = true;
    return reply;
}

ActionReply GetLessonNoteAction(ActionContext &ctx) {
    QSqlQuery note =
        ctx.db.run(QStringLiteral("SELECT IDUSER, NOTESDATA FROM LESSONNOTES WHERE IDNOTE = ?"),
                   {ctx.intParam("idnote")});
    if (!note.next())
        throw Refusal(Msg::RecordNotFound);
    const QByteArray pdf = note.value(1).toByteArray();
    studentFor(ctx, note.value(0).toLongLong());
    ActionReply reply = ActionReply::OkZip(pdf);
    reply.renewable = true;
    return reply;
}
