#pragma once

#include "seam/seam.h"

#include <QDateTime>
#include <QQueue>
#include <QStringList>

// Test responder for everything modal or external: answers message boxes, input and file
// dialogs from queues in order, records what was shown, keeps a settable clock, and
// installs itself for its lifetime.
class ScriptedSeam : public Seam {
public:
    ScriptedSeam();
    ~ScriptedSeam() override;

    // Answers, taken in order; a box without a queued answer takes its first button.
    QQueue<int> boxAnswers;
    QQueue<QString> inputAnswers; // a null QString cancels
    QQueue<QString> fileAnswers;
    QDateTime clock = QDateTime(QDate(2026, 1, 15), QTime(10, 0));

    // What was shown or asked.
    QList<MessageBoxRequest> boxes;
    QStringList inputs;
    QList<FileDialogRequest> fileDialogs;
    QStringList opened;
    QList<QStringList> started; // program first, then its arguments
    QList<int> cursorChanges;

    // Box texts in order, for short assertions.
    QStringList boxTexts() const;

    int messageBox(const MessageBoxRequest &request) override;
    int currentCursor() override { return m_cursor; }
    void showCursor(int shape) override;
    bool inputText(const QString &caption, const QString &prompt, QString &value) override;
    QString fileDialog(const FileDialogRequest &request) override;
    bool openDocument(const QString &pathOrUrl) override;
    bool startProcess(const QString &program, const QStringList &arguments) override;
    QDateTime now() override { return clock; }

private:
    Seam *m_previous = nullptr;
    int m_cursor = -1;
};
