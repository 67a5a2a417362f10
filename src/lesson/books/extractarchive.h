#pragma once

#include "lesson/books/ziparchive.h"

#include <QString>
#include <QStringList>

// Results of ExtractArchive other than 0 (the extraction ran).
enum ExtractResult { erArchiveMissing = -1000, erCannotOpen = -1001, erTargetMissing = -1008 };

// What one extraction did, for the log and for tests.
struct ExtractReport {
    QStringList written; // relative paths of the files written
    QStringList skipped; // "name: reason" for each entry left out
    QString error;       // the error that stopped the extraction, empty when none did
};

// Extracts every entry of a ZIP archive into the target folder: folders are created with their
// parents, files are written whole (existing ones overwritten) with the entry's modification
// time and read-only attribute. An encrypted entry or one of a method other than stored and
// deflated stops the extraction there ("Cannot process this file: " and the name). Skipped,
// and the extraction goes on: names that would leave the target folder, symbolic links,
// entries whose data is missing or damaged, whose size is absurd or grows beyond the declared
// one, whose CRC-32 does not match, and what would pass the limit on the bytes written.
// Gives 0, or erArchiveMissing, erTargetMissing or erCannotOpen with nothing extracted.
int ExtractArchive(const QString &archivePath, const QString &targetFolder,
                   ExtractReport *report = nullptr, const ZipLimits &limits = {});
