#pragma once

#include "lessonnotesserver.h"
#include "lessonrecord.h"

#include "grid/services.h"

#include <QObject>

class Tfrlearn;
class TClassroomBar;
struct TTextReport;

// The notes of a lesson: the teacher's screen records the pages and recordings of the lesson
// and, at the end, sends the student a PDF of them with the chat and a note of the teacher's,
// stored on the central server beside the chat; the student's screen lists the notes he got,
// newest first, and opens one. Against a server that does not keep notes, both buttons stay
// hidden.
class TLessonNotes : public QObject {
    Q_OBJECT
public:
    TLessonNotes(Tfrlearn &screen, const TServices &services, TClassroomBar &bar);

    // The lesson begins with a new student (teacher) or ends.
    void partnerPresence(bool present);
    // The student's screen is shown: the list is fetched anew.
    void screenEntered();
    void pageShown();
    void recordingPlayed(int recording);
    // The partner said new notes were stored.
    void notesArrived();

    // Teacher: asks for the note and sends the notes; true when stored.
    bool sendNotes();
    // The document of the lesson as it stands, with the teacher's note.
    TTextReport notesReport(const QString &teacherNote) const;
    // Student: opens the note with that id (fetched to the data folder).
    void openNote(qint64 id);
    const QList<TLessonNoteEntry> &notes() const { return m_notes; }
    bool serverKeepsNotes() const { return m_supported; }
    const TLessonRecord &record() const { return m_record; }

private:
    bool student() const;
    void refreshList();
    void updateButtons();

    Tfrlearn &m_screen;
    TServices m_services;
    TClassroomBar &m_bar;
    TLessonRecord m_record;
    QList<TLessonNoteEntry> m_notes;
    bool m_supported = false;
};
