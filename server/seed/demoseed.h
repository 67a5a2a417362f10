#pragma once

#include <QDateTime>

class SchoolDatabase;
struct ServerOptions;

// The demo school: staff of both types, three teachers, 26 students with Czech and Slovak
// names, orders with histories, a timetable from two months back to two months ahead with
// every status, sign-ins, e-mails, remarks, a chat and the demo course books. The demo
// accounts and their passwords are listed in the server's README.
void SeedDemoSchool(SchoolDatabase &db, const ServerOptions &options, const QDateTime &now);
