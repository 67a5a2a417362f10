#include "net/reportresult.h"

#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"

QString ResultText(int result) {
    switch (result) {
    case rrBadLogin:
        return AppText(141);
    case rrFailed:
        return AppText(142);
    case rrCancelled:
        return AppText(143);
    case rrNotOk:
        return AppText(144);
    }
    return FormatText(AppText(145), {result});
}

QString SignInBlockedText(int seconds) {
    // Whole minutes from two minutes up, seconds below, always rounded up.
    const QString wait = seconds < 120 ? QStringLiteral("%1 s").arg(seconds)
                                       : QStringLiteral("%1 min").arg((seconds + 59) / 60);
    return FormatText(AppText(1072), {wait});
}

void ReportResult(int result, const QString &reply, const QString &successText) {
    if (result == rrOk) {
        if (!successText.isEmpty())
            AppMessageBox(successText, mtInformation, mbOK);
        return;
    }
    QString text = ResultText(result);
    if (!reply.isEmpty())
        text += QChar(13) + reply;
    AppMessageBox(text, mtError, mbOK);
}

void ReportResult(const RequestOutcome &outcome, const QString &successText) {
    if (outcome.sessionLost)
        return;
    if (outcome.result == rrBadLogin && outcome.retryAfter > 0) {
        AppMessageBox(SignInBlockedText(outcome.retryAfter), mtError, mbOK);
        return;
    }
    if (outcome.result == rrFailed) {
        AppMessageBox(NetworkFailureMessage(outcome.failure, outcome.detail), mtError, mbOK);
        return;
    }
    ReportResult(outcome.result, ReplyText(outcome.reply), successText);
}
