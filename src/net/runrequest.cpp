#include "net/runrequest.h"

#include "base/logging.h"
#include "seam/messagebox.h"
#include "lang/texts.h"
#include "lang/textutil.h"
#include "net/httpexchange.h"
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

// The progress dialog of a direct request that takes long, with an arrow cursor over it while
// the rest of the program keeps the busy cursor.
class SlowRequestDialog : public SlowExchangeWindow {
public:
    explicit SlowRequestDialog(const std::function<void()> &cancel) : m_dialog(AppText(146)) {
        placeDialog(m_dialog);
        QObject::connect(&m_dialog, &RequestProgressDialog::cancelRequested, &m_dialog,
                         [cancel] { cancel(); });
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        m_dialog.show();
        m_dialog.raise();
        m_dialog.activateWindow();
    }
    ~SlowRequestDialog() override {
        m_dialog.hide();
        QApplication::restoreOverrideCursor();
    }
    TransferObserver *observer() override { return &m_dialog; }

private:
    RequestProgressDialog m_dialog;
};

} // namespace

void InstallSlowRequestDialog() {
    HttpExchange::setSlowWindowFactory([](std::function<void()> cancel) {
        return std::unique_ptr<SlowExchangeWindow>(new SlowRequestDialog(cancel));
    });
}

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
