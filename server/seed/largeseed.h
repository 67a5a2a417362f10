#pragma once

#include <QDateTime>

class SchoolDatabase;
struct ServerOptions;

// A school of realistic size for load measurements: 5 000 users (11 staff, 89 teachers,
// 4 900 students named studentNNNN, password "heslo"), 50 000 orders and 100 000 lessons.
// Password hashes use 1 000 iterations so that seeding stays quick; the accounts are for
// measurements only.
void SeedLargeSchool(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now);
