#pragma once

#include <QString>

// Copies of a school kept in SQLite: a consistent copy of the live database, taken while the
// server runs (SQLite's online backup in one read transaction, so writers go on meanwhile and
// the copy holds exactly what was committed when it began), and putting a copy back while no
// server runs on the school. Both raise AppError with the reason when they cannot.
class SchoolBackup {
public:
    // Writes the copy to the file, whole or not at all (0600).
    static void Backup(const QString &database, const QString &file);
    // Replaces the school's contents with the copy's, after checking that the copy is a sound
    // school database and that no server holds the school open.
    static void Restore(const QString &file, const QString &database);

    // The lock file every server on an SQLite school holds shared while it runs, and a restore
    // holds alone.
    static QString LockFile(const QString &database) { return database + QStringLiteral(".lock"); }
    // Takes the lock shared (a server) or alone (a restore); -1 when it is held otherwise. The
    // lock lasts until the returned descriptor is closed.
    static int TakeLock(const QString &database, bool alone);
};
