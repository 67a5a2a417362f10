#pragma once

#include "server/actions/actioncontext.h"

// "postlessonnotes": a teacher stores the notes of a lesson (a PDF, "notesdata" full form
// encoded) for his own student ("aiduser"); staff for a student of their school.
ActionReply PostLessonNotesAction(ActionContext &ctx);
// "getlessonnotes": the notes of a student ("aiduser" 0: the user's own), newest first, one
// line each: id ";" when saved ("yyyy-mm-dd hh:nn:ss") ";" the teacher's name.
ActionReply GetLessonNotesAction(ActionContext &ctx);
// "getlessonnote": the PDF of one of them ("idnote"), "okzip".
ActionReply GetLessonNoteAction(ActionContext &ctx);
