#pragma once

#include <QByteArray>
#include <QStringList>

// The large school (5 000 users, 100 000 lessons, 50 000 orders) as an administrator's
// program gets it: starts the reference server on it (seeded once into TELLAVO_BENCH_DATA,
// default a folder in the system's temporary folder shared with bench_serverload), signs in,
// loads the session values and the sign-in tables into the data module, and then the tables
// of the given providers (e.g. "prov_timetable") into the data module's tables of the same
// names ("cd_timetable"). The server stops afterwards.
void LoadLargeSchool(const QStringList &providers);
