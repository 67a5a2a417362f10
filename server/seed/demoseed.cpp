#include "server/seed/demoseed.h"

#include "server/seed/bookmaker.h"
#include "server/seed/demopeople.h"
#include "server/store/passwordhash.h"
#include "server/store/schooldatabase.h"
#include "server/seed/schoolgenerator.h"
#include "server/seed/seedhelpers.h"
#include "server/serveroptions.h"

namespace {

constexpr int kStudents = 26;
constexpr qint64 kDirector = 1, kManager = 2, kManager2 = 3;
const QList<qint64> kTeachers{4, 5, 6};
constexpr qint64 kClient = 7, kNewcomer = 8, kInactive = 9;

struct Account {
    qint64 id;
    int type;
    const char *login, *title, *first, *surname;
    bool slovak;
};

// The accounts named in the README; each one's password is its login name.
const Account kAccounts[] = {
    {kDirector, 1, "reditel", "Ing.", "Marek", "Dvořák", false},
    {kManager, 2, "manazer", "", "Lucie", "Horáková", false},
    {kManager2, 2, "manazer2", "", "Pavol", "Hudák", true},
    {4, 3, "lektor", "Mgr.", "Petra", "Svobodová", false},
    {5, 3, "lektor2", "", "Tomáš", "Kučera", false},
    {6, 3, "lektor3", "Mgr.", "Zuzana", "Kováčová", true},
    {kClient, 4, "klient", "", "Jan", "Novák", false},
    {kNewcomer, 4, "novacek", "", "Eva", "Malá", false},
    {kInactive, 4, "neaktivni", "", "Karel", "Starý", false},
};

QList<SeedUser> DemoUsers(const ServerOptions &options, const QDateTime &now) {
    QList<SeedUser> users;
    for (const Account &a : kAccounts) {
        SeedUser u = MakeSeedUser(a.id, a.type, QLatin1String(a.login),
                                  HashPassword(QByteArray(a.login), options.hashCost),
                                  QString::fromUtf8(a.title), QString::fromUtf8(a.first),
                                  QString::fromUtf8(a.surname), a.slovak);
        u.registered = now.addDays(-400 + int(a.id) * 3);
        u.city = a.slovak ? QStringLiteral("Bratislava") : QStringLiteral("Brno");
        u.street = a.slovak ? QStringLiteral("Obchodná 12") : QStringLiteral("Kounicova 8");
        u.zip = a.slovak ? QStringLiteral("811 06") : QStringLiteral("602 00");
        if (a.type == 4) {
            u.level = 2;
            u.course = 1;
            u.bookIds = QStringLiteral("1;2;3");
            u.testResult = a.id == kClient ? QStringLiteral("27") : QString();
            u.active = a.id != kInactive;
            u.hourDebit = a.id == kClient ? 2 : 0;
        }
        users << u;
    }
    for (int n = 0; users.size() < int(std::size(kAccounts)) + kStudents - 3; ++n) {
        const DemoPerson p = InventedPerson(n);
        const qint64 id = users.size() + 1;
        SeedUser u = MakeSeedUser(
            id, 4, QStringLiteral("student%1").arg(id, 2, 10, QLatin1Char('0')),
            HashPassword("heslo", options.hashCost), QString(), p.firstName, p.surname, p.slovak);
        u.level = 1 + int(id % 5);
        u.course = 1 + int(id % 4);
        u.bookIds = id % 4 == 0   ? QStringLiteral("1")
                    : id % 4 == 1 ? QStringLiteral("1;2")
                                  : QStringLiteral("2;3");
        u.testResult = id % 5 == 0 ? QString() : QString::number(8 + id * 7 % 30);
        u.registered = now.addDays(-300 + int(id) * 5);
        u.city = p.city;
        u.street = p.street;
        u.zip = p.zip;
        users << u;
    }
    return users;
}

void AddRemarks(SchoolDatabase &db, const QList<SeedUser> &users, const QDateTime &now) {
    const QStringList texts{
        QStringLiteral("Dobrá výslovnost, potřebuje procvičit minulý čas."),
        QStringLiteral("Aktivní v hodinách, domácí úkoly plní pravidelně."),
        QStringLiteral("Slovní zásoba k tématu cestování - zopakovat."),
        QStringLiteral("Veľmi dobrý pokrok v konverzácii."),
    };
    BulkInsert remarks(db, QStringLiteral("USERREMARKS"),
                       {"IDUSERREMARK", "IDJOB", "IDUSER", "WHOWRITE", "WHENWRITTEN", "REMARK"});
    qint64 id = 1;
    for (const SeedUser &u : users) {
        if (u.type != 4 || u.id % 2 == 0)
            continue;
        for (int k = 0; k < 1 + int(u.id % 2); ++k)
            remarks.add({id++, kSeedJob, u.id, kTeachers[int((u.id + k) % kTeachers.size())],
                         now.addDays(-int(u.id) - 9 * k), texts[int((u.id + k) % texts.size())]});
    }
    remarks.add({id++, kSeedJob, kClient, kManager, now.addDays(-3),
                 QStringLiteral("Klient chce příští měsíc přejít na obchodní angličtinu.")});
}

void AddChat(SchoolDatabase &db, const QDateTime &now) {
    const QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}"
        "{\\colortbl;\\red128\\green128\\blue128;\\red128\\green0\\blue128;}"
        "\\f0\\fs14\\cf1\\b\\i Svobodov\\'e1 Petra\\b0\\i0\\par\\fs16\\cf2 Hello Jan, are you "
        "ready for the lesson?\\par\\cf1\\fs14\\b\\i Nov\\'e1k Jan\\b0\\i0\\par\\fs16\\cf0 Yes, "
        "I am ready.\\par}";
    db.run(QStringLiteral("INSERT INTO CHATS (IDUSER, WHENSAVED, CHATDATA) VALUES (?, ?, ?)"),
           {kClient, now.addDays(-2), rtf});
}

} // namespace

void SeedDemoSchool(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now) {
    Transaction transaction(db);
    SeedLookups(db);
    const QList<SeedUser> users = DemoUsers(options, now);
    BulkInsert userRows(db, QStringLiteral("USERS"), UserColumns());
    for (const SeedUser &u : users)
        userRows.add(UserValues(u));

    SchoolGenerator school(db, now, 20240901);
    QList<StudentCapacity> students;
    for (const SeedUser &u : users) {
        school.addLogins(u.id, u.login, u.slovak, u.id == kNewcomer ? 0 : 2 + int(u.id % 5));
        if (u.type != 4 || u.id == kNewcomer)
            continue;
        const QString email = UserValues(u)[11].toString();
        const double paid = school.addOrders(u.id, email, u.slovak, kManager,
                                             u.id == kClient ? 3 : 1 + int(u.id % 3), true);
        if (u.id != kClient && u.active)
            students << StudentCapacity{u.id, paid + u.hourDebit};
    }
    // The demo client's own lessons: held ones behind him, one booked and one confirmed
    // ahead, so that every status of his timetable shows up.
    const QDate today = now.date();
    school.addLesson(kTeachers[0], kClient, QDateTime(today.addDays(-14), QTime(15, 0)), 4,
                     kManager);
    school.addLesson(kTeachers[0], kClient, QDateTime(today.addDays(-7), QTime(15, 0)), 5,
                     kManager);
    school.addLesson(kTeachers[1], kClient, QDateTime(today.addDays(3), QTime(15, 0)), 2, kManager);
    school.addLesson(kTeachers[1], kClient, QDateTime(today.addDays(5), QTime(15, 0)), 3, kManager);
    school.addTimetable(kTeachers, {{9, 10, 14}, {8, 16, 17}, {10, 11, 18}}, students, kManager, 61,
                        61, 0.7, 0.3, 0);

    AddRemarks(db, users, now);
    AddChat(db, now);
    SeedBooks(db, options.dataFolder, now);
    transaction.commit();
}
