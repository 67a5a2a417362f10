#include "lesson/books/bookfiles.h"

#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "lesson/books/bookfilestore.h"
#include "net/reportresult.h"
#include "net/runrequest.h"

#include <QFileInfo>

bool DownloadBookFile(int book, int index, int fileType, const QString &caption,
                      const QString &target) {
    const QString data =
        QStringLiteral("bookid=%1&fileid=%2&filetype=%3").arg(book).arg(index).arg(fileType);
    const RequestOutcome outcome =
        RunRequest(caption, QStringLiteral("getbookfile"), data, true, false);
    // The body is the file whatever it begins with, unless it begins with "error" (a refusal).
    const bool isFile =
        (outcome.result == rrOk || outcome.result == rrNotOk) && !outcome.errorPrefix;
    if (!isFile) {
        ReportResult(outcome);
        return false;
    }
    if (outcome.reply.isEmpty())
        return false;
    if (!StoreBookFile(outcome.reply, target, fileType)) {
        AppMessageBox(AppText(277), mtError, mbOK);
        return false;
    }
    return QFileInfo::exists(target);
}

QString PageDownloadCaption(int page) {
    return FormatText(AppText(276), {page});
}

QString RecordingDownloadCaption(const QString &recordingTitle) {
    return FormatText(AppText(284), {recordingTitle});
}

void ReloadPageFiles(const tbook &book, int page) {
    DeletePageFiles(book, page);
}
