#pragma once

#include <QString>
#include <QTemporaryDir>

class QProcess;

// A private print server for tests: the system's print scheduler started on a socket in a
// temporary folder, with one queue whose device writes every job's data to a file there
// (the data as the program sent it: the program's own PDF). CUPS_SERVER points the
// program's print support at it; set before the first printer is looked up.
class CupsServer {
public:
    CupsServer();
    ~CupsServer();
    // Starts the scheduler and adds the queue; false (with the reason) when it cannot.
    bool start(QString *why);
    QString queue() const { return QStringLiteral("tellavo-test"); }
    // The file the queue's last job was written to.
    QString printedFile() const;

private:
    bool run(const QString &program, const QStringList &arguments, QString *why) const;
    void writeConfig() const;

    QTemporaryDir m_dir;
    QProcess *m_scheduler = nullptr;
};
