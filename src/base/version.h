#pragma once

#include <QString>

// The program's product version "major.minor.release.build", set by the build.
QString ProgramVersion();
// The version as the about box writes it: "a.b, release c, build d".
QString VersionText(const QString &version);
