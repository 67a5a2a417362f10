#pragma once

#include "lesson/books/bookcatalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Stores a downloaded book file at its target, creating the folder with its parents; an old
// file there is deleted first and the new one is written whole or not at all. For an HTML
// book (file type 4) the body is the book's archive: it is kept as the target with ".zip"
// appended, extracted into the target's folder and deleted (entries that cannot be extracted
// are missing afterwards). False when the folder or the file cannot be written.
bool StoreBookFile(const QByteArray &body, const QString &target, int fileType);

// The recordings of a page in its audio menu's order: each index the catalogue lists for the
// page that names a recording title (1 .. number of titles).
QList<int> PageRecordings(const tbook &book, int page);

// Deletes the files of the shown page so that showing it again downloads them: for an HTML
// book every file in the book folder and its sub-folders, for an image book the page image and
// the page's recordings.
void DeletePageFiles(const tbook &book, int page);
