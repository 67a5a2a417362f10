#include "scriptedseam.h"

ScriptedSeam::ScriptedSeam() {
    m_previous = InstallSeam(this);
}

ScriptedSeam::~ScriptedSeam() {
    InstallSeam(m_previous);
}

QStringList ScriptedSeam::boxTexts() const {
    QStringList texts;
    for (const MessageBoxRequest &box : boxes)
        texts.append(box.text);
    return texts;
}

int ScriptedSeam::messageBox(const MessageBoxRequest &request) {
    boxes.append(request);
    if (!boxAnswers.isEmpty())
        return boxAnswers.dequeue();
    return request.buttons.value(0, 1);
}

void ScriptedSeam::showCursor(int shape) {
    m_cursor = shape;
    cursorChanges.append(shape);
}

bool ScriptedSeam::inputText(const QString &caption, const QString &prompt, QString &value) {
    inputs.append(caption + u'|' + prompt);
    if (inputAnswers.isEmpty())
        return false;
    const QString answer = inputAnswers.dequeue();
    if (answer.isNull())
        return false;
    value = answer;
    return true;
}

QString ScriptedSeam::fileDialog(const FileDialogRequest &request) {
    fileDialogs.append(request);
    return fileAnswers.isEmpty() ? QString() : fileAnswers.dequeue();
}

bool ScriptedSeam::openDocument(const QString &pathOrUrl) {
    opened.append(pathOrUrl);
    return true;
}

bool ScriptedSeam::startProcess(const QString &program, const QStringList &arguments) {
    started.append(QStringList{program} + arguments);
    return true;
}
