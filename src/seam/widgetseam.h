#pragma once

#include "seam/seam.h"

// The seam of the running program: real message boxes, dialogs, cursor, shell and clock.
class WidgetSeam : public Seam {
public:
    int messageBox(const MessageBoxRequest &request) override;
    int currentCursor() override;
    void showCursor(int shape) override;
    bool inputText(const QString &caption, const QString &prompt, QString &value) override;
    QString fileDialog(const FileDialogRequest &request) override;
    bool openDocument(const QString &pathOrUrl) override;
    bool startProcess(const QString &program, const QStringList &arguments) override;
    QDateTime now() override;
};
