// tellavo-server: the reference central server and lesson relay of the Tellavo school.
#include "errors/apperror.h"
#include "server/centralserver.h"
#include "server/ops/logformat.h"
#include "server/ops/schoolbackup.h"
#include "server/serveroptions.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        out << ServerUsage();
        return 0;
    }
    try {
        ServerOptions options = ParseServerOptions(arguments);
        InstallServerLog(options.jsonLog ? LogFormat::Json : LogFormat::Text);
        if (!options.backupFile.isEmpty()) {
            SchoolBackup::Backup(options.sqliteFile(), options.backupFile);
            out << "backup written to " << options.backupFile << Qt::endl;
            return 0;
        }
        if (!options.restoreFile.isEmpty()) {
            SchoolBackup::Restore(options.restoreFile, options.sqliteFile());
            out << "school restored from " << options.restoreFile << Qt::endl;
            return 0;
        }
        if (options.listen.isEmpty() && options.tlsListen.isEmpty())
            options.listen << ParseListenAddress(QStringLiteral("127.0.0.1:8080"));
        CentralServer server(options);
        for (const QString &line : server.start())
            out << line << Qt::endl;
        if (!server.certificates().caFile.isEmpty())
            out << "CA certificate " << server.certificates().caFile << Qt::endl;
        return app.exec();
    } catch (const AppError &error) {
        err << "tellavo-server: " << error.message() << Qt::endl << ServerUsage();
        return 2;
    }
}
