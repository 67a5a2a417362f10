#include "server/booking/bookingschema.h"

#include "server/store/schooldatabase.h"

#include <QStringList>

void CreateBookingTables(SchoolDatabase &db) {
    const QStringList statements{
        // One secret feed address per user; revoking deletes the row.
        "CREATE TABLE IF NOT EXISTS CALENDARFEEDS (IDUSER INTEGER PRIMARY KEY,"
        " IDJOB INTEGER NOT NULL, TOKEN VARCHAR(64) NOT NULL, WHENCREATED TIMESTAMP NOT NULL)",
        "CREATE UNIQUE INDEX IF NOT EXISTS CALENDARFEEDS_TOKEN ON CALENDARFEEDS (TOKEN)",
        // A reminder went to a person for a lesson at this time; its key keeps two server
        // processes from sending the same one twice.
        "CREATE TABLE IF NOT EXISTS LESSONREMINDERS (IDTIMETABLE INTEGER NOT NULL,"
        " IDUSER INTEGER NOT NULL, WHENHOUR TIMESTAMP NOT NULL, WHENSENT TIMESTAMP NOT NULL,"
        " SEQUENCE INTEGER NOT NULL, PRIMARY KEY (IDTIMETABLE, IDUSER))",
        // A client waits for a slot of a teacher on a day; told once, then the row goes.
        "CREATE TABLE IF NOT EXISTS SLOTWAITS (IDSLOTWAIT INTEGER PRIMARY KEY,"
        " IDJOB INTEGER NOT NULL, IDUSER INTEGER NOT NULL, IDTEACHER INTEGER NOT NULL,"
        " WAITDAY TIMESTAMP NOT NULL, WHENASKED TIMESTAMP NOT NULL, WHENFREED TIMESTAMP,"
        " IDTIMETABLE INTEGER)",
        "CREATE INDEX IF NOT EXISTS SLOTWAITS_TEACHERDAY ON SLOTWAITS (IDTEACHER, WAITDAY)",
    };
    Transaction transaction(db);
    for (const QString &statement : statements)
        db.run(statement);
    transaction.commit();
}
