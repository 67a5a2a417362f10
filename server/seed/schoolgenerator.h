#pragma once

#include "server/seed/seedhelpers.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <memory>

class SchoolDatabase;

// A student as the lesson generator sees him: how many lesson hours his paid orders still
// cover.
struct StudentCapacity {
    qint64 id;
    double hours;
};

// Generates the history of a school around "now": orders with their status history and
// e-mails, lessons from weeks back to weeks ahead with every status and their history,
// and sign-in records. Deterministic for a given seed and "now".
class SchoolGenerator {
public:
    SchoolGenerator(SchoolDatabase &db, const QDateTime &now, quint32 seed);
    ~SchoolGenerator();

    // count orders for the student (the latest may still wait for payment, some are
    // cancelled); returns the paid hours. Every order gets its history; paid ones an e-mail
    // when withMessages is set.
    double addOrders(qint64 student, const QString &email, bool slovak, qint64 staff, int count,
                     bool withMessages);
    // Lessons on working days from daysBack before to daysAhead after today, for each
    // teacher at his hours; past ones mostly held, future ones partly booked.
    void addTimetable(const QList<qint64> &teachers, const QList<QList<int>> &hours,
                      QList<StudentCapacity> &students, qint64 staff, int daysBack, int daysAhead,
                      double pastTaken, double futureBooked, qint64 maxLessons);
    // One lesson with its history; status 1 leaves it free.
    void addLesson(qint64 teacher, qint64 student, const QDateTime &when, int status, qint64 staff);
    void addLogins(qint64 user, const QString &login, bool slovak, int count);
    qint64 lessonCount() const;

private:
    QDateTime past(const QDateTime &t) const;
    void lessonHistory(qint64 id, qint64 teacher, qint64 student, const QDateTime &when, int status,
                       qint64 staff, QDateTime &lastWhen, qint64 &lastWho);
    int pastStatus();

    SchoolDatabase &m_db;
    QDateTime m_now;
    QRandomGenerator m_random;
    std::unique_ptr<BulkInsert> m_orders, m_orderHist, m_lessons, m_lessonHist, m_logins, m_msgs;
    qint64 m_nextOrder = 1, m_nextOrderHist = 1, m_nextLesson = 1, m_nextLessonHist = 1,
           m_nextLogin = 1, m_nextMsg = 1;
};
