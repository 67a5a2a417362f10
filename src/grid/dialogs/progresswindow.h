#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QProgressBar;
class QPushButton;

// The window shown while an export or a report runs: a caption, a text line, a progress bar
// and a disabled abort button. Its owner window is disabled meanwhile, and the user cannot
// close it: only CloseProgress does.
class Tfprogress : public QDialog {
    Q_OBJECT
public:
    explicit Tfprogress(QWidget *owner);

    QLabel *lb;
    QProgressBar *pb;
    QPushButton *btnabort;

    QWidget *Owner() const { return m_owner; }
    bool OwnerWasEnabled() const { return m_ownerWasEnabled; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    friend Tfprogress *OpenProgress(const QString &, const QString &, int, QWidget *);
    friend void CloseProgress(Tfprogress *&);

    QPointer<QWidget> m_owner;
    bool m_ownerWasEnabled = false;
    bool m_mayClose = false;
};

// Opens the progress window over the owner (the active window when none is given),
// disabling the owner, and paints it at once.
Tfprogress *OpenProgress(const QString &caption, const QString &text, int maximum,
                         QWidget *owner = nullptr);
// Replaces the text line and repaints it at once.
void SetProgressText(Tfprogress *window, const QString &text);
// Re-enables the owner, closes and frees the window and clears the reference; an empty
// reference does nothing.
void CloseProgress(Tfprogress *&window);
