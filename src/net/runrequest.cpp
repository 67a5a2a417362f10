#include "net/runrequest.h"

#include "base/logging.h"
#include "lang/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/progressdialog.h"
#include "net/requestrunner.h"

#include <QApplication>
#include <optional>

namespace {

std::optional<QPoint> g_dialogPosition;

void placeDialog(RequestProgressDialog &dialog) {
    if (g_dialogPosition) {
        dialog.move(*g_dialogPosition);
    } else if (const QWidget *window = QApplication::activeWindow()) {
        const QRect frame = window->frameGeometry();
        dialog.move(frame.left() + (frame.width() - dialog.width()) / 2,
                    frame.top() + (frame.height() - dialog.height()) / 2);
    }
}

RequestOutcome runInDialog(RequestRunner &runner, const ServerRequest &call) {
    // No parent: the window that started the request may go away while it runs.
    RequestProgressDialog dialog(call.caption.isEmpty() ? AppText(146) : call.caption);
    placeDialog(dialog);
    QObject::connect(&dialog, &RequestProgressDialog::cancelRequested, &runner,
                     [&runner] { runner.cancel(); });
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    const RequestOutcome outcome = runner.run(call, &dialog, false);
    dialog.hide();
    return outcome;
}

} // namespace

RequestOutcome RunRequest(const ServerRequest &call) {
    try {
        RequestRunner &runner = AppRequestRunner();
        if (call.useDialog)
            return runInDialog(runner, call);
        BusyCursorScope busy(Qt::WaitCursor);
        return runner.run(call, nullptr, true);
    } catch (...) {
        qCWarning(lcNet).noquote()
            << "Request" << call.action << "failed:" << CurrentExceptionText();
        return RequestOutcome{};
    }
}

RequestOutcome RunRequest(const QString &caption, const QString &action, const QString &data,
                          bool useDialog, bool withoutSession) {
    return RunRequest(ServerRequest{caption, action, ToWin1250(data), useDialog, withoutSession});
}

QSize RequestDialogSize() {
    return RequestProgressDialog(QString()).size();
}

void SetRequestDialogPosition(const QPoint &topLeft) {
    g_dialogPosition = topLeft;
}
