#include "server/booking/lessonmail.h"

#include "server/packets/providerqueries.h"
#include "server/store/schooldatabase.h"

#include <QSqlQuery>

MailPerson MailPerson::Load(SchoolDatabase &db, qint64 id) {
    QSqlQuery q =
        db.run(QStringLiteral("SELECT U.IDJOB, U.USERTYPE, U.EMAIL, %1,"
                              " (SELECT L.LOGINENVLANG FROM LOGINS L WHERE L.IDLOGIN ="
                              " (SELECT MAX(L2.IDLOGIN) FROM LOGINS L2 WHERE L2.IDUSER = U.IDUSER"
                              " AND L2.SUCCESS = 1))"
                              " FROM USERS U WHERE U.IDUSER = ?")
                   .arg(FullNameSql(QStringLiteral("U"))),
               {id});
    MailPerson p;
    if (!q.next())
        return p;
    p.id = id;
    p.jobId = q.value(0).toInt();
    p.userType = q.value(1).toInt();
    p.email = q.value(2).toString().trimmed();
    p.name = q.value(3).toString().trimmed();
    p.envLang = q.value(4).toInt() == 3 ? 3 : 2;
    return p;
}

namespace LessonMail {

namespace {

bool Slovak(const MailPerson &to) {
    return to.envLang == 3;
}

QString Partner(const MailPerson &to, const CalendarLesson &lesson) {
    return to.userType == 4 ? lesson.teacher : lesson.client;
}

QString Signature(const MailPerson &to) {
    return Slovak(to) ? QStringLiteral("\n\nVaša jazyková škola\n")
                      : QStringLiteral("\n\nVaše jazyková škola\n");
}

} // namespace

QString LessonTime(const QDateTime &wall) {
    return wall.toString(QStringLiteral("d. M. yyyy H:mm"));
}

OutboxMail Reminder(const MailPerson &to, const CalendarLesson &lesson) {
    const QString when = LessonTime(lesson.when);
    OutboxMail m;
    m.to = to.email;
    if (Slovak(to)) {
        m.subject = QStringLiteral("Pripomienka: lekcia %1").arg(when);
        m.body = QStringLiteral("Dobrý deň, %1,\n\npripomíname Vám lekciu %2 s %3."
                                " Termín je aj v priloženom súbore pre Váš kalendár.")
                     .arg(to.name, when, Partner(to, lesson));
    } else {
        m.subject = QStringLiteral("Připomínka: lekce %1").arg(when);
        m.body = QStringLiteral("Dobrý den, %1,\n\npřipomínáme Vám lekci %2 s %3."
                                " Termín je také v přiloženém souboru pro Váš kalendář.")
                     .arg(to.name, when, Partner(to, lesson));
    }
    m.body += Signature(to);
    return m;
}

OutboxMail Cancelled(const MailPerson &to, const CalendarLesson &lesson) {
    const QString when = LessonTime(lesson.when);
    OutboxMail m;
    m.to = to.email;
    if (Slovak(to)) {
        m.subject = QStringLiteral("Zrušená lekcia %1").arg(when);
        m.body = QStringLiteral("Dobrý deň, %1,\n\nlekcia %2 s %3 sa nekoná."
                                " Priložený súbor ju odstráni z Vášho kalendára.")
                     .arg(to.name, when, Partner(to, lesson));
    } else {
        m.subject = QStringLiteral("Zrušená lekce %1").arg(when);
        m.body = QStringLiteral("Dobrý den, %1,\n\nlekce %2 s %3 se nekoná."
                                " Přiložený soubor ji odstraní z Vašeho kalendáře.")
                     .arg(to.name, when, Partner(to, lesson));
    }
    m.body += Signature(to);
    return m;
}

OutboxMail HoursOut(const MailPerson &to) {
    OutboxMail m;
    m.to = to.email;
    if (Slovak(to)) {
        m.subject = QStringLiteral("Vaše hodiny sú vyčerpané");
        m.body =
            QStringLiteral("Dobrý deň, %1,\n\nposlednou rezerváciou ste vyčerpali všetky objednané"
                           " hodiny. Nové hodiny si objednáte v programe Tellavo: na obrazovke"
                           " Objednávky zvoľte Nová objednávka a vyberte balíček. Po zaplatení"
                           " objednávky môžete ďalej rezervovať lekcie.")
                .arg(to.name);
    } else {
        m.subject = QStringLiteral("Vaše hodiny jsou vyčerpány");
        m.body =
            QStringLiteral("Dobrý den, %1,\n\nposlední rezervací jste vyčerpal(a) všechny objednané"
                           " hodiny. Nové hodiny si objednáte v programu Tellavo: na obrazovce"
                           " Objednávky zvolte Nová objednávka a vyberte balíček. Po zaplacení"
                           " objednávky můžete dále rezervovat lekce.")
                .arg(to.name);
    }
    m.body += Signature(to);
    return m;
}

OutboxMail SlotFreed(const MailPerson &to, const QDateTime &when, const QString &teacher) {
    OutboxMail m;
    m.to = to.email;
    const QString time = LessonTime(when);
    if (Slovak(to)) {
        m.subject = QStringLiteral("Uvoľnil sa termín %1").arg(time);
        m.body = QStringLiteral("Dobrý deň, %1,\n\nu lektora %2 sa uvoľnil termín %3,"
                                " na ktorý ste čakali. Rezervovať ho môžete v rozvrhu hodín.")
                     .arg(to.name, teacher, time);
    } else {
        m.subject = QStringLiteral("Uvolnil se termín %1").arg(time);
        m.body = QStringLiteral("Dobrý den, %1,\n\nu lektora %2 se uvolnil termín %3,"
                                " na který jste čekal(a). Rezervovat si ho můžete v rozvrhu hodin.")
                     .arg(to.name, teacher, time);
    }
    m.body += Signature(to);
    return m;
}

} // namespace LessonMail
