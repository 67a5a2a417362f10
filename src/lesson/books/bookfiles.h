#pragma once

#include "lesson/books/bookcatalogue.h"
#include "lesson/books/bookfilestore.h" // PageRecordings, the recordings of a page's audio menu

#include <QString>

// Course-book files as the lesson screen and the recording controls use them.

// Fetches a missing book file from the server ("getbookfile" in the progress dialog with the
// caption) and stores it at the target path (BookCatalogue::BookFilePath); an HTML book's
// archive is extracted into the book folder. A refusal, a cancelled or failed transfer and a
// file that cannot be written are shown to the user. True when the target file exists
// afterwards.
bool DownloadBookFile(int book, int index, int fileType, const QString &caption,
                      const QString &target);

// The progress dialog's captions: "Stahování strany %d" and "Stahování audia %s".
QString PageDownloadCaption(int page);
QString RecordingDownloadCaption(const QString &recordingTitle);

// "Znovu nahrát stránku": deletes the shown page's files (an HTML book: every file of the
// book; an image book: the page image and the page's recordings); showing the page again
// then downloads them.
void ReloadPageFiles(const tbook &book, int page);
