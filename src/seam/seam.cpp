#include "seam/seam.h"

#include <QDebug>
#include <QProcess>

namespace {

// Used where no interface is present (the server, command-line tools): messages go to the
// log, questions take the first button, dialogs are cancelled.
class HeadlessSeam : public Seam {
public:
    int messageBox(const MessageBoxRequest &request) override {
        qWarning().noquote() << request.caption << ":" << request.text;
        return request.buttons.isEmpty() ? 1 : request.buttons.first();
    }
    int currentCursor() override { return m_cursor; }
    void showCursor(int shape) override { m_cursor = shape; }
    bool inputText(const QString &, const QString &, QString &) override { return false; }
    QString fileDialog(const FileDialogRequest &) override { return {}; }
    bool openDocument(const QString &) override { return false; }
    bool startProcess(const QString &program, const QStringList &arguments) override {
        return QProcess::startDetached(program, arguments);
    }
    QDateTime now() override { return QDateTime::currentDateTime(); }

private:
    int m_cursor = -1;
};

HeadlessSeam g_headless;
Seam *g_seam = &g_headless;

} // namespace

Seam &CurrentSeam() {
    return *g_seam;
}

Seam *InstallSeam(Seam *seam) {
    Seam *previous = g_seam;
    g_seam = seam ? seam : &g_headless;
    return previous;
}
