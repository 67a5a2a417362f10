#include "server/seed/largeseed.h"

#include "server/seed/bookmaker.h"
#include "server/seed/demopeople.h"
#include "server/store/passwordhash.h"
#include "server/store/schooldatabase.h"
#include "server/seed/schoolgenerator.h"
#include "server/seed/seedhelpers.h"
#include "server/serveroptions.h"

namespace {

constexpr int kUsers = 5000, kStaff = 11, kTeachers = 89;
constexpr int kOrders = 50000;
constexpr qint64 kLessons = 100000;
constexpr int kSeedIterations = 1000;

SeedUser LargeUser(int id, const QDateTime &now) {
    const DemoPerson p = InventedPerson(id);
    const int type = id == 1 ? 1 : id <= kStaff ? 2 : id <= kStaff + kTeachers ? 3 : 4;
    const QString prefix = type == 4   ? QStringLiteral("student")
                           : type == 3 ? QStringLiteral("lektor")
                                       : QStringLiteral("manazer");
    SeedUser u = MakeSeedUser(
        id, type, prefix + QStringLiteral("%1").arg(id, 4, 10, QLatin1Char('0')),
        HashPassword("heslo", kSeedIterations), QString(), p.firstName, p.surname, p.slovak);
    if (type == 4) {
        u.level = 1 + id % 5;
        u.course = 1 + id % 4;
        u.bookIds = id % 2 ? QStringLiteral("1;2") : QStringLiteral("1;2;3");
        u.testResult = QString::number(id % 41);
    }
    u.registered = now.addDays(-(id % 700));
    u.city = p.city;
    u.street = p.street;
    u.zip = p.zip;
    return u;
}

} // namespace

void SeedLargeSchool(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now) {
    Transaction transaction(db);
    SeedLookups(db);
    BulkInsert userRows(db, QStringLiteral("USERS"), UserColumns());
    QList<SeedUser> students;
    QList<qint64> teachers;
    for (int id = 1; id <= kUsers; ++id) {
        const SeedUser u = LargeUser(id, now);
        userRows.add(UserValues(u));
        if (u.type == 4)
            students << u;
        else if (u.type == 3)
            teachers << u.id;
    }

    SchoolGenerator school(db, now, 5000);
    QList<StudentCapacity> capacity;
    int ordersLeft = kOrders;
    for (int i = 0; i < students.size(); ++i) {
        const SeedUser &s = students[i];
        const int count = ordersLeft / int(students.size() - i);
        ordersLeft -= count;
        const double paid =
            school.addOrders(s.id, UserValues(s)[11].toString(), s.slovak, 2, count, i % 10 == 0);
        capacity << StudentCapacity{s.id, paid};
        school.addLogins(s.id, s.login, s.slovak, 2);
    }
    // 13 lesson hours a working day per teacher fill the four months around today.
    QList<int> hours;
    for (int h = 7; h < 20; ++h)
        hours << h;
    school.addTimetable(teachers, {hours}, capacity, 2, 61, 70, 0.8, 0.85, kLessons);
    SeedBooks(db, options.dataFolder, now);
    transaction.commit();
}
