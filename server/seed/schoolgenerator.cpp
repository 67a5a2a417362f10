#include "server/seed/schoolgenerator.h"

#include "server/store/schooldatabase.h"

namespace {

struct OrderType {
    int id;
    double hours, amount;
    int months;
    const char *text;
};

const OrderType kTypes[] = {{1, 10, 3900, 6, "Balíček 10 lekcí"},
                            {2, 20, 7400, 12, "Balíček 20 lekcí"},
                            {3, 1, 0, 1, "Zkušební lekce"},
                            {4, 40, 13900, 12, "Intenzivní kurz 40 lekcí"}};

} // namespace

SchoolGenerator::SchoolGenerator(SchoolDatabase &db, const QDateTime &now, quint32 seed)
    : m_db(db), m_now(now), m_random(seed), m_orders(new BulkInsert(db, "ORDERS", OrderColumns())),
      m_orderHist(new BulkInsert(db, "ORDERHIST", OrderHistColumns())),
      m_lessons(new BulkInsert(db, "TIMETABLE", TimetableColumns())),
      m_lessonHist(new BulkInsert(db, "TTSTATUSHIST", TtHistColumns())),
      m_logins(new BulkInsert(db, "LOGINS", LoginColumns())),
      m_msgs(new BulkInsert(db, "MSGS", MessageColumns())) {}

SchoolGenerator::~SchoolGenerator() = default;

qint64 SchoolGenerator::lessonCount() const {
    return m_lessons->count();
}

QDateTime SchoolGenerator::past(const QDateTime &t) const {
    return t < m_now ? t : m_now.addSecs(-3600);
}

double SchoolGenerator::addOrders(qint64 student, const QString &email, bool slovak, qint64 staff,
                                  int count, bool withMessages) {
    double paidHours = 0;
    QList<int> ages;
    for (int i = 0; i < count; ++i)
        ages << 3 + int(m_random.bounded(170));
    std::sort(ages.begin(), ages.end(), std::greater<int>());
    for (int i = 0; i < count; ++i) {
        const OrderType &type =
            kTypes[i == 0 && m_random.bounded(4) == 0 ? 2 : m_random.bounded(4)];
        const QDateTime when = m_now.addDays(-ages[i]).addSecs(-int(m_random.bounded(36000)));
        const bool latest = i + 1 == count;
        const int roll = int(m_random.bounded(100));
        const int status = latest && roll < 30 ? 1 : roll < 10 ? 4 : roll < 55 ? 2 : 3;
        const qint64 id = m_nextOrder++;
        QList<QPair<int, QDateTime>> changes{{1, when}};
        if (status == 4)
            changes << qMakePair(4, past(when.addDays(1)));
        if (status == 2 || status == 3)
            changes << qMakePair(2, past(when.addDays(2)));
        if (status == 3)
            changes << qMakePair(3, past(when.addDays(10)));
        int previous = 0;
        for (const auto &change : changes) {
            const qint64 who = change.first == 1 ? student : staff;
            m_orderHist->add({m_nextOrderHist++, id, change.second,
                              previous ? QVariant(previous) : QVariant(), change.first, who});
            if (withMessages && (change.first == 2 || change.first == 3)) {
                const QString varSymbol = QStringLiteral("%1").arg(id, 8, 10, QLatin1Char('0'));
                m_msgs->add({m_nextMsg++, kSeedJob, slovak ? 3 : 2, QStringLiteral("ORDERSTATUS"),
                             email, staff, student, change.second,
                             m_random.bounded(3) ? QVariant(change.second.addDays(1)) : QVariant(),
                             QStringLiteral("Objednávka %1 - změna stavu").arg(varSymbol),
                             QStringLiteral("Dobrý den,\n\nstav Vaší objednávky %1 se změnil.\n")
                                 .arg(varSymbol),
                             1, id});
            }
            previous = change.first;
        }
        m_orders->add({id, student, kSeedJob, type.id, when,
                       when.toString(QStringLiteral("yyMM")) +
                           QStringLiteral("%1").arg(id, 6, 10, QLatin1Char('0')),
                       QString::fromUtf8(type.text), type.amount, type.hours, type.months, status,
                       changes.last().second, changes.size() > 1 ? staff : student});
        if (status == 2 || status == 3)
            paidHours += type.hours;
    }
    return paidHours;
}

int SchoolGenerator::pastStatus() {
    const int roll = int(m_random.bounded(100));
    return roll < 74 ? 4 : roll < 82 ? 5 : roll < 87 ? 6 : roll < 95 ? 7 : 8;
}

void SchoolGenerator::lessonHistory(qint64 id, qint64 teacher, qint64 student,
                                    const QDateTime &when, int status, qint64 staff,
                                    QDateTime &lastWhen, qint64 &lastWho) {
    struct Step {
        int status;
        QDateTime when;
        qint64 who;
        qint64 user;
    };
    QList<Step> steps{{1, past(when.addDays(-21)), teacher, 0}};
    if (student != 0) {
        steps << Step{2, past(when.addDays(-10)), student, student};
        if (status != 2)
            steps << Step{3, past(when.addDays(-7)), teacher, student};
        if (status >= 4)
            steps << Step{status, past(when.addSecs(3600)), status == 7 ? staff : teacher,
                          status == 7 ? 0 : student};
    } else if (status == 7) {
        steps << Step{7, past(when.addDays(-2)), staff, 0};
    }
    QVariant oldStatus;
    qint64 oldUser = 0;
    for (const Step &s : steps) {
        m_lessonHist->add({m_nextLessonHist++, id, s.when, s.who, oldStatus, s.status, teacher,
                           teacher, oldUser, s.user});
        oldStatus = s.status;
        oldUser = s.user;
    }
    lastWhen = steps.last().when;
    lastWho = steps.last().who;
}

void SchoolGenerator::addLesson(qint64 teacher, qint64 student, const QDateTime &when, int status,
                                qint64 staff) {
    const qint64 id = m_nextLesson++;
    QDateTime lastWhen;
    qint64 lastWho = 0;
    lessonHistory(id, teacher, student, when, status, staff, lastWhen, lastWho);
    // A lesson cancelled by the school keeps no client.
    const qint64 client = status == 7 ? 0 : student;
    m_lessons->add({id, kSeedJob, teacher, client, when, 1.0, status, lastWhen, lastWho});
}

void SchoolGenerator::addTimetable(const QList<qint64> &teachers, const QList<QList<int>> &hours,
                                   QList<StudentCapacity> &students, qint64 staff, int daysBack,
                                   int daysAhead, double pastTaken, double futureBooked,
                                   qint64 maxLessons) {
    auto pickStudent = [&]() -> StudentCapacity * {
        for (int attempt = 0; attempt < 6 && !students.isEmpty(); ++attempt) {
            StudentCapacity &s = students[int(m_random.bounded(int(students.size())))];
            if (s.hours >= 1)
                return &s;
        }
        return nullptr;
    };
    const QDate today = m_now.date();
    for (QDate day = today.addDays(-daysBack); day <= today.addDays(daysAhead);
         day = day.addDays(1)) {
        if (day.dayOfWeek() > 5)
            continue;
        for (int t = 0; t < teachers.size(); ++t) {
            for (int hour : hours[t % hours.size()]) {
                if (maxLessons > 0 && lessonCount() >= maxLessons)
                    return;
                const QDateTime when(day, QTime(hour, 0));
                const bool isPast = when < m_now;
                const double chance = m_random.generateDouble();
                StudentCapacity *student =
                    chance < (isPast ? pastTaken : futureBooked) ? pickStudent() : nullptr;
                int status = 1;
                if (student) {
                    status = isPast ? pastStatus() : (m_random.bounded(5) < 2 ? 2 : 3);
                    if (status != 7 && status != 8)
                        student->hours -= 1;
                } else if (m_random.bounded(100) < 8) {
                    status = 7;
                }
                addLesson(teachers[t], student ? student->id : 0, when, status, staff);
            }
        }
    }
}

void SchoolGenerator::addLogins(qint64 user, const QString &login, bool slovak, int count) {
    QList<qint64> ages;
    for (int i = 0; i < count; ++i)
        ages << qint64(m_random.bounded(60 * 86400)) + 3600;
    std::sort(ages.begin(), ages.end(), std::greater<qint64>());
    for (int i = 0; i < count; ++i) {
        const QDateTime when = m_now.addSecs(-ages[i]);
        const bool failed = m_random.bounded(12) == 0;
        m_logins->add(
            {m_nextLogin++, user, when,
             QStringLiteral("10.%1.%2.%3").arg(user % 200).arg(i % 250).arg(7 + user % 40), 1,
             QStringLiteral("1.0.0.%1").arg(int(m_random.bounded(3))), login, kSeedJob,
             slovak ? 3 : 2, QStringLiteral("1"), QString(), QStringLiteral("Linux b6 Debian 12"),
             int(m_random.bounded(2)), 0, 0, failed ? 0 : 1});
    }
}
