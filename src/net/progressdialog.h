#pragma once

#include "net/transferobserver.h"
#include "net/transferstatus.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;

// The modal progress dialog of a server request: an upper status line, a bar and a lower line
// that follow the exchange, and the cancel button. Cancelling (the button, Escape or closing
// the window) only asks for the cancel; the request's owner closes the dialog when the
// exchange has ended.
class RequestProgressDialog : public QDialog, public TransferObserver {
    Q_OBJECT
public:
    explicit RequestProgressDialog(const QString &caption, QWidget *parent = nullptr);

    QString upperText() const;
    QString lowerText() const;
    QPushButton *cancelButton() const { return m_cancel; }

    void connected() override;
    void transferBegins(qint64 total, bool sending) override;
    void transferProgress(qint64 count) override;
    void transferEnds(bool sending) override;

    void reject() override;

signals:
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showStatus();

    TransferStatus m_status;
    QElapsedTimer m_clock;
    QLabel *m_upper;
    QLabel *m_lower;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
};
