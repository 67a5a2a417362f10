#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

struct RequestOutcome;

// One of a student's lesson notes as the server lists them.
struct TLessonNoteEntry {
    qint64 id = 0;
    QDateTime saved;
    QString teacher;
};

// The lesson notes on the central server, kept beside the chat history: the teacher stores a
// PDF for his student, the student lists and fetches his own. A server without these actions
// answers with a refusal, which the screen takes as "no notes here".
namespace LessonNotesServer {

// The student's notes, newest first (student id 0: the user's own); none when the server
// refused or could not be reached.
std::optional<QList<TLessonNoteEntry>> List(qint64 studentId);
// Stores the PDF for the student.
RequestOutcome Post(qint64 studentId, const QByteArray &pdf);
// The PDF of one note; none when refused or damaged.
std::optional<QByteArray> Fetch(qint64 noteId);
// The list as the server writes it: id ";" yyyy-mm-dd hh:nn:ss ";" teacher, one per line.
// Lines that do not read are skipped.
QList<TLessonNoteEntry> ParseList(const QByteArray &text);

} // namespace LessonNotesServer
