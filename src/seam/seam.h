#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// What a message box is asked to show: everything is decided before the seam is called.
struct MessageBoxRequest {
    QString caption;
    QString text;
    int type = -1;              // the message type (MsgType) that picks the icon
    QList<int> buttons;         // result codes of the buttons, in the order shown
    QStringList buttonCaptions; // captions of those buttons in the chosen language
    int helpContext = 0;        // non-zero: the box also offers help at this context
};

// A file dialog request (open or save).
struct FileDialogRequest {
    bool save = false;
    QString caption;
    QString folder;
    QString fileName;
    QString filter;
    QString defaultExtension; // added to a name typed without one (save dialogs)
};

// The one place where the program meets anything modal or external: message boxes, input
// and file dialogs, the cursor, opening documents, starting programs and the clock.
// The program installs the widget implementation; tests install a scripted responder.
class Seam {
public:
    virtual ~Seam() = default;
    // Shows a modal message box and returns the result code of the pressed button.
    virtual int messageBox(const MessageBoxRequest &request) = 0;
    // The cursor shape shown over the whole program now (-1: the normal cursor).
    virtual int currentCursor() = 0;
    // Shows this cursor shape over the whole program (-1: back to the normal cursor).
    virtual void showCursor(int shape) = 0;
    // Asks for a text; false when the user cancelled.
    virtual bool inputText(const QString &caption, const QString &prompt, QString &value) = 0;
    // Asks for a file name; empty when the user cancelled.
    virtual QString fileDialog(const FileDialogRequest &request) = 0;
    // Opens a file or web address with its default program.
    virtual bool openDocument(const QString &pathOrUrl) = 0;
    // Starts a program with parameters, detached.
    virtual bool startProcess(const QString &program, const QStringList &arguments) = 0;
    // The current local date and time.
    virtual QDateTime now() = 0;
};

// The installed seam; without one a headless seam answers (first button, no dialogs).
Seam &CurrentSeam();
// Installs a seam (nullptr restores the headless one) and returns the previous one.
Seam *InstallSeam(Seam *seam);
