#include "seam/widgetseam.h"

#include "seam/messagebox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace {

QMessageBox::Icon iconOf(int type) {
    switch (type) {
    case mtWarning:
        return QMessageBox::Warning;
    case mtError:
        return QMessageBox::Critical;
    case mtInformation:
        return QMessageBox::Information;
    case mtConfirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::ButtonRole roleOf(int code) {
    switch (code) {
    case mrOK:
    case mrYes:
        return QMessageBox::AcceptRole;
    case mrCancel:
    case mrAbort:
        return QMessageBox::RejectRole;
    case mrNo:
        return QMessageBox::NoRole;
    }
    return QMessageBox::ActionRole;
}

} // namespace

int WidgetSeam::messageBox(const MessageBoxRequest &request) {
    QMessageBox box(iconOf(request.type), request.caption, request.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QPair<QAbstractButton *, int>> codes;
    for (int i = 0; i < request.buttons.size(); ++i) {
        auto *button = box.addButton(request.buttonCaptions.value(i), roleOf(request.buttons[i]));
        codes.append({button, request.buttons[i]});
    }
    if (!codes.isEmpty()) {
        box.setDefaultButton(qobject_cast<QPushButton *>(codes.first().first));
        // Escape gives Cancel where the set has one, otherwise the last button.
        QAbstractButton *escape = codes.last().first;
        for (const auto &c : codes)
            if (c.second == mrCancel)
                escape = c.first;
        box.setEscapeButton(escape);
    }
    QAbstractButton *help = nullptr;
    if (request.helpContext != 0)
        help = box.addButton(QMessageBox::Help);
    for (;;) {
        box.exec();
        QAbstractButton *clicked = box.clickedButton();
        if (clicked && clicked == help) {
            const QString page =
                QDir(QCoreApplication::applicationDirPath())
                    .filePath(QStringLiteral("help/%1.html").arg(request.helpContext));
            if (QFileInfo::exists(page))
                QDesktopServices::openUrl(QUrl::fromLocalFile(page));
            continue;
        }
        for (const auto &c : codes)
            if (c.first == clicked)
                return c.second;
        return request.buttons.contains(mrCancel) ? int(mrCancel) : request.buttons.value(0, mrOK);
    }
}

int WidgetSeam::currentCursor() {
    const QCursor *cursor = QApplication::overrideCursor();
    return cursor ? int(cursor->shape()) : -1;
}

void WidgetSeam::showCursor(int shape) {
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (shape >= 0)
        QApplication::setOverrideCursor(QCursor(Qt::CursorShape(shape)));
}

bool WidgetSeam::inputText(const QString &caption, const QString &prompt, QString &value) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                               QLineEdit::Normal, value, &ok);
    if (ok)
        value = text;
    return ok;
}

QString WidgetSeam::fileDialog(const FileDialogRequest &request) {
    const QString start = QDir(request.folder).filePath(request.fileName);
    if (request.save && !request.defaultExtension.isEmpty()) {
        // The dialog adds the extension before it asks about overwriting, so the question
        // names the file that is really written.
        QFileDialog dialog(QApplication::activeWindow(), request.caption, start, request.filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(request.defaultExtension);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    }
    return request.save ? QFileDialog::getSaveFileName(QApplication::activeWindow(),
                                                       request.caption, start, request.filter)
                        : QFileDialog::getOpenFileName(QApplication::activeWindow(),
                                                       request.caption, start, request.filter);
}

bool WidgetSeam::openDocument(const QString &pathOrUrl) {
    const QUrl url = QFileInfo::exists(pathOrUrl) ? QUrl::fromLocalFile(pathOrUrl)
                                                  : QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}

bool WidgetSeam::startProcess(const QString &program, const QStringList &arguments) {
    return QProcess::startDetached(program, arguments);
}

QDateTime WidgetSeam::now() {
    return QDateTime::currentDateTime();
}
