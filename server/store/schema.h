#pragma once

#include <QStringList>

// The school database's tables and indexes as portable SQL statements, in creation order.
QStringList SchemaStatements();

// What was added to the schema later, created with it and given to older schools that lack
// the DATAVERSIONS table: the version of the timetable data and the triggers that raise it
// on every change of lessons, of the names shown in them and of the statuses, so that rows
// kept in memory can tell whether they still hold (several server processes may share one
// database).
QStringList SchemaAdditions(bool postgres);
// The notes of lessons that teachers send their students (a PDF each), added later: made with
// new schools and, when missing, in older ones.
QString LessonNotesTable();
QString LessonNotesIndex();
// Indexes added later, each created when missing: they find a user's last successful
// sign-in without reading his others, and sum his lesson hours without reading the lessons.
QStringList LaterIndexes();
