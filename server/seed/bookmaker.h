#pragma once

#include <QDateTime>
#include <QString>

class SchoolDatabase;

// Puts the demo course books into the catalogue and their files into the data folder:
// two picture books (pages drawn here, recordings from the program's resources) and one
// HTML book packaged as a ZIP archive. The catalogue gets version 1.
void SeedBooks(SchoolDatabase &db, const QString &dataFolder, const QDateTime &now);
