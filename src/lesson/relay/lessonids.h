#pragma once

#include <QByteArray>
#include <QString>

// The relay client ids of one side of a lesson. Ids are decimal numbers joined by "_": the
// teacher signs on as job "_" teacher, a student as job "_" teacher "_" student, so that a
// student's id begins with the id of the teacher it belongs to.
class LessonIds {
public:
    LessonIds() = default;
    LessonIds(bool student, int jobId, int userId)
        : m_student(student), m_jobId(jobId), m_userId(userId) {}

    bool student() const { return m_student; }
    int jobId() const { return m_jobId; }
    int userId() const { return m_userId; }

    // Job "_" the given user id.
    QByteArray ClientId(const QString &userId) const;
    // The client id of the other side: the teacher's id on the student side (partner id is the
    // teacher's user id), the student's id under this teacher on the teacher side.
    QByteArray PartnerClientId(const QString &partnerId) const;
    // The id this side signs on with; a student names the chosen teacher.
    QByteArray OwnClientId(const QString &teacherId) const;
    // Teacher side: the student's user id when the client id is one of this teacher's students,
    // otherwise empty.
    QString StudentOf(const QByteArray &clientId) const;

private:
    bool m_student = true;
    int m_jobId = 0;
    int m_userId = 0;
};
