#include "cupsserver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &text, QFile::Permissions mode) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text);
    file.close();
    file.setPermissions(mode);
}

const QFile::Permissions kOpen = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                 QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                 QFile::ExeOther;

} // namespace

CupsServer::CupsServer() { m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("TELLAVO_KEEP_CUPS")); }

CupsServer::~CupsServer() {
    if (m_scheduler) {
        m_scheduler->terminate();
        m_scheduler->waitForFinished(5000);
        delete m_scheduler;
    }
}

QString CupsServer::printedFile() const {
    return m_dir.filePath(QStringLiteral("out/printed.pdf"));
}

void CupsServer::writeConfig() const {
    const QString d = m_dir.path();
    for (const char *sub : {"conf", "spool", "cache", "state", "log", "out", "bin/backend"})
        QDir(d).mkpath(QString::fromLatin1(sub));
    // The scheduler drops to an unprivileged user for jobs: the folders they write are open.
    // (the scheduler refuses to run a device program from a folder others may write to).
    for (const char *sub : {"", "/bin", "/bin/backend"})
        QFile::setPermissions(d + QString::fromLatin1(sub), kOpen);
    for (const char *sub : {"/out", "/spool"})
        QFile::setPermissions(d + QString::fromLatin1(sub), kOpen | QFile::WriteOther);
    QFile::link(QStringLiteral("/usr/lib/cups/daemon"), d + QStringLiteral("/bin/daemon"));
    writeFile(d + QStringLiteral("/conf/cupsd.conf"),
              "Listen " + d.toUtf8() + "/cups.sock\nLogLevel info\nWebInterface No\n"
              "Browsing No\nDefaultAuthType None\n<Location />\n  Order allow,deny\n"
              "  Allow all\n</Location>\n<Location /admin>\n  Order allow,deny\n  Allow all\n"
              "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
              "  </Limit>\n</Policy>\n",
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    const QByteArray root = d.toUtf8();
    writeFile(d + QStringLiteral("/conf/cups-files.conf"),
              "ServerRoot " + root + "/conf\nRequestRoot " + root + "/spool\nCacheDir " + root +
                  "/cache\nStateDir " + root + "/state\nTempDir " + root +
                  "/spool\nErrorLog " + root + "/log/error_log\nAccessLog " + root +
                  "/log/access_log\nPageLog " + root + "/log/page_log\nServerBin " + root +
                  "/bin\nDataDir /usr/share/cups\nPrintcap " + root +
                  "/printcap\nUser nobody\nGroup nogroup\n",
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    // The queue's device: each job's data into the file its address names.
    writeFile(d + QStringLiteral("/bin/backend/tofile"),
              "#!/bin/sh\n"
              "if [ $# -eq 0 ]; then echo 'direct tofile \"Unknown\" \"File\"'; exit 0; fi\n"
              "out=\"${DEVICE_URI#tofile:}\"\n"
              "if [ -n \"$6\" ]; then cat \"$6\" > \"$out.part\"; else cat > \"$out.part\"; fi\n"
              "mv \"$out.part\" \"$out\"\n",
              kOpen);
}

bool CupsServer::run(const QString &program, const QStringList &arguments, QString *why) const {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        *why = program + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool CupsServer::start(QString *why) {
    if (!QFileInfo::exists(QStringLiteral("/usr/sbin/cupsd"))) {
        *why = QStringLiteral("no print scheduler installed");
        return false;
    }
    writeConfig();
    const QString socket = m_dir.filePath(QStringLiteral("cups.sock"));
    qputenv("CUPS_SERVER", socket.toLocal8Bit());
    m_scheduler = new QProcess;
    m_scheduler->setProcessChannelMode(QProcess::ForwardedChannels);
    m_scheduler->start(QStringLiteral("/usr/sbin/cupsd"),
                       {QStringLiteral("-f"), QStringLiteral("-c"),
                        m_dir.filePath(QStringLiteral("conf/cupsd.conf")), QStringLiteral("-s"),
                        m_dir.filePath(QStringLiteral("conf/cups-files.conf"))});
    if (!QTest::qWaitFor([&] { return QFileInfo::exists(socket); }, 15000)) {
        *why = QStringLiteral("the print scheduler did not open its socket");
        return false;
    }
    return run(QStringLiteral("lpadmin"),
               {QStringLiteral("-p"), queue(), QStringLiteral("-E"), QStringLiteral("-v"),
                QStringLiteral("tofile:") + printedFile(), QStringLiteral("-m"),
                QStringLiteral("raw")},
               why) &&
           run(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue()}, why);
}
