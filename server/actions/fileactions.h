#pragma once

#include "server/actions/actioncontext.h"

// "getbookfile": the bytes of a page picture, recording or HTML package of a book the user
// may use; "error" and a message otherwise.
ActionReply GetBookFileAction(ActionContext &ctx);
// "getchatfile": the stored lesson chat of a student ("aiduser" 0: the user's own), "okzip".
ActionReply GetChatFileAction(ActionContext &ctx);
// "postchatfile": stores the user's lesson chat ("chatdata", full form encoded).
ActionReply PostChatFileAction(ActionContext &ctx);

// A teacher's own students: those he has lessons with, and the one on line in his lesson.
bool IsOwnStudent(ActionContext &ctx, qint64 student);

// The file name of a book file inside the book's folder, as the client stores it too
// (the HTML package travels as one ZIP archive).
QString BookFileName(int fileType, int index);
QString BookFolderName(int book);
