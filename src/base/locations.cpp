#include "base/locations.h"

#include <QDir>
#include <QFileInfo>

namespace {
Locations g_locations;
}

void InitLocations(const QString &programPath) {
    const QFileInfo program(QDir::cleanPath(QDir(programPath).absolutePath()));
    Locations l;
    l.programFolder = program.absolutePath();
    l.dataFolder = l.programFolder;
    const QString base =
        program.completeBaseName().isEmpty() ? program.fileName() : program.completeBaseName();
    l.settingsFile = QDir(l.programFolder).filePath(base + QStringLiteral(".ini"));
    l.booksIni = QDir(l.dataFolder).filePath(QStringLiteral("books.ini"));
    l.booksFolder = QDir(l.dataFolder).filePath(QStringLiteral("books"));
    l.updateFile = QDir(QDir::tempPath()).filePath(QStringLiteral("update.exe"));
    g_locations = l;
}

const Locations &AppLocations() {
    return g_locations;
}

QString UpdateFilePath() {
    return g_locations.updateFile;
}

bool EnsureDataFolder() {
    return QDir().mkpath(g_locations.dataFolder);
}
