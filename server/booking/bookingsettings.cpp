#include "server/booking/bookingsettings.h"

#include "server/store/schooldatabase.h"

#include <QSqlQuery>

namespace {

// A stored number within [low, high], or the fallback.
double Bounded(const QVariant &stored, double low, double high, double fallback) {
    bool ok = false;
    const double value = stored.toString().trimmed().toDouble(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

} // namespace

BookingSettings BookingSettings::Read(SchoolDatabase &db) {
    BookingSettings s;
    QSqlQuery q =
        db.run(QStringLiteral("SELECT NAME, VALUE FROM SERVERINFO WHERE NAME IN"
                              " ('REMINDERHOURS', 'CANCELDEADLINEHOURS', 'LOWBALANCEHOURS')"));
    while (q.next()) {
        const QString name = q.value(0).toString();
        if (name == QLatin1String("REMINDERHOURS"))
            s.reminderHours = int(Bounded(q.value(1), 0, 24 * 14, s.reminderHours));
        else if (name == QLatin1String("CANCELDEADLINEHOURS"))
            s.cancelDeadlineHours = int(Bounded(q.value(1), 0, 24 * 14, s.cancelDeadlineHours));
        else
            s.lowBalanceHours = Bounded(q.value(1), 0, 1000, s.lowBalanceHours);
    }
    return s;
}

void BookingSettings::Write(SchoolDatabase &db, const char *name, double value) {
    Transaction transaction(db);
    db.run(QStringLiteral("DELETE FROM SERVERINFO WHERE NAME = ?"), {QString::fromLatin1(name)});
    db.run(QStringLiteral("INSERT INTO SERVERINFO (NAME, VALUE) VALUES (?, ?)"),
           {QString::fromLatin1(name), QString::number(value)});
    transaction.commit();
}
