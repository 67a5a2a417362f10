#pragma once

#include <QString>

// The installation's well-known folders and files, fixed once at start-up.
struct Locations {
    QString programFolder; // without a trailing separator (a root keeps its "/")
    QString dataFolder;    // the same folder as the program folder
    QString settingsFile;  // the program path with its extension replaced by ".ini"
    QString booksIni;      // "books.ini" in the data folder
    QString booksFolder;   // "books" in the data folder
    QString updateFile;    // "update.exe" in the system's temporary folder
};

// Fixes the locations from the program file's full path.
void InitLocations(const QString &programPath);
const Locations &AppLocations();
QString UpdateFilePath();
// Creates the data folder with all missing parents; false when that failed.
bool EnsureDataFolder();
