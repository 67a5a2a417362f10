#include "server/actions/fileactions.h"

#include "server/actions/bookcatalogue.h"
#include "server/http/formdata.h"
#include "server/store/schooldatabase.h"

#include <QFile>

QString BookFileName(int fileType, int index) {
    const QString n = QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0'));
    switch (fileType) {
    case 1:
        return n + QStringLiteral(".jpg");
    case 2:
        return QStringLiteral("a") + n + QStringLiteral(".mp3");
    case 3:
        return QStringLiteral("v") + n + QStringLiteral(".avi");
    case 4:
        return QStringLiteral("book.zip");
    default:
        return {};
    }
}

QString BookFolderName(int book) {
    return QStringLiteral("%1").arg(book, 2, 10, QLatin1Char('0'));
}

ActionReply GetBookFileAction(ActionContext &ctx) {
    const qint64 book = ctx.intParam("bookid");
    const qint64 index = ctx.intParam("fileid");
    const qint64 type = ctx.intParam("filetype");
    if (book < 1 || book > 9999 || index < 0 || index > 999 || type < 1 || type > 4)
        throw Refusal(Msg::FileNotFound);
    const QString bookIds =
        ctx.db.scalar(QStringLiteral("SELECT BOOKIDS FROM USERS WHERE IDUSER = ?"), {ctx.userId()})
            .toString();
    const bool known =
        ctx.db.scalar(QStringLiteral("SELECT IDBOOK FROM BOOKS WHERE IDBOOK = ?"), {book})
            .isValid();
    if (!known || !MayUseBook(ctx.userType(), bookIds, int(book)))
        throw Refusal(Msg::BookNotAllowed);
    // The path is built from numbers only, so a request cannot leave the books folder.
    QFile file(ctx.options.dataFolder + QStringLiteral("/books/") + BookFolderName(int(book)) +
               QLatin1Char('/') + BookFileName(int(type), int(index)));
    if (!file.open(QIODevice::ReadOnly))
        throw Refusal(Msg::FileNotFound);
    return ActionReply::Raw(file.readAll());
}

bool IsOwnStudent(ActionContext &ctx, qint64 student) {
    if (ctx.db
            .scalar(QStringLiteral("SELECT 1 FROM TIMETABLE WHERE IDJOB = ? AND IDTEACHER = ?"
                                   " AND IDUSER = ? LIMIT 1"),
                    {ctx.jobId(), ctx.userId(), student})
            .isValid())
        return true;
    const QString lessonId =
        QStringLiteral("%1_%2_%3").arg(ctx.jobId()).arg(ctx.userId()).arg(student);
    return ctx.onlineClientIds && ctx.onlineClientIds().contains(lessonId);
}

ActionReply GetChatFileAction(ActionContext &ctx) {
    qint64 student = ctx.request.has("aiduser") ? ctx.intParam("aiduser") : 0;
    if (student == 0)
        student = ctx.userId();
    if (ctx.isClient() && student != ctx.userId())
        throw Refusal(Msg::NotAllowed);
    if (ctx.isTeacher() && student != ctx.userId() && !IsOwnStudent(ctx, student))
        throw Refusal(Msg::NotAllowed);
    if (!ctx.db
             .scalar(QStringLiteral("SELECT IDUSER FROM USERS WHERE IDUSER = ? AND IDJOB = ?"),
                     {student, ctx.jobId()})
             .isValid())
        throw Refusal(Msg::RecordNotFound);
    const QByteArray chat =
        ctx.db.scalar(QStringLiteral("SELECT CHATDATA FROM CHATS WHERE IDUSER = ?"), {student})
            .toByteArray();
    ActionReply reply = ActionReply::OkZip(chat);
    reply.renewable = true;
    return reply;
}

ActionReply PostChatFileAction(ActionContext &ctx) {
    if (!ctx.request.has("chatdata"))
        throw Refusal(Msg::MissingParameter, QStringLiteral("chatdata"));
    const QByteArray chat = FullFormDecode(ctx.request.param("chatdata"));
    Transaction transaction(ctx.db);
    ctx.db.run(QStringLiteral("DELETE FROM CHATS WHERE IDUSER = ?"), {ctx.userId()});
    ctx.db.run(QStringLiteral("INSERT INTO CHATS (IDUSER, WHENSAVED, CHATDATA) VALUES (?, ?, ?)"),
               {ctx.userId(), ctx.now(), chat});
    transaction.commit();
    return ActionReply::Ok();
}
