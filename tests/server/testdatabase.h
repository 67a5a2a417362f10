#pragma once

#include <QString>

// Where the server tests keep the school: a SQLite file in the harness's folder, or, when the
// test program runs against PostgreSQL (TELLAVO_TEST_PG_FILE names the file with the private
// server's address), a fresh database on that server for each harness.
namespace TestDatabase {

// Whether this run uses PostgreSQL.
bool UsesPostgres();
// Why the PostgreSQL run cannot take place; empty when it can (or when it is not asked for).
QString PostgresUnavailable();
// A new empty database's location for one harness; empty for SQLite.
QString Create();
// Drops a database made by Create.
void Drop(const QString &location);

} // namespace TestDatabase
