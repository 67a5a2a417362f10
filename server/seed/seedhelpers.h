#pragma once

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>

class SchoolDatabase;

// Inserts many rows into one table through a single prepared statement.
class BulkInsert {
public:
    BulkInsert(SchoolDatabase &db, const QString &table, const QStringList &columns);
    void add(const QVariantList &values);
    qint64 count() const { return m_count; }

private:
    QSqlQuery m_query;
    qint64 m_count = 0;
};

// The job (school branch) every seeded user works under.
constexpr int kSeedJob = 2;

// The lookup tables every school needs, in Czech and Slovak, and the job's order types.
void SeedLookups(SchoolDatabase &db);

// The columns of a seeded user row, in BulkInsert order (UserColumns).
QStringList UserColumns();
struct SeedUser {
    qint64 id = 0;
    int type = 4;
    QString login;
    QString passHash;
    QString title, firstName, surname;
    bool slovak = false;
    QString bookIds;
    QString testResult;
    int level = 0, course = 0;
    bool active = true;
    double hourDebit = 0;
    QDateTime registered;
    QString city, street, zip;
};
SeedUser MakeSeedUser(qint64 id, int type, const QString &login, const QString &passHash,
                      const QString &title, const QString &firstName, const QString &surname,
                      bool slovak);
QVariantList UserValues(const SeedUser &u);
// An e-mail address and Skype name made from a person's name (ASCII only).
QString AsciiName(const QString &text);

QStringList OrderColumns();
QStringList OrderHistColumns();
QStringList TimetableColumns();
QStringList TtHistColumns();
QStringList LoginColumns();
QStringList MessageColumns();
