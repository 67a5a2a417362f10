#include "base/logging.h"

#include "errors/apperror.h"

#include <QDateTime>
#include <QFile>
#include <QMutex>

#include <memory>

#include <exception>

Q_LOGGING_CATEGORY(lcBase, "tellavo.base")
Q_LOGGING_CATEGORY(lcNet, "tellavo.net")
Q_LOGGING_CATEGORY(lcData, "tellavo.data")
Q_LOGGING_CATEGORY(lcGrid, "tellavo.grid")
Q_LOGGING_CATEGORY(lcScreens, "tellavo.screens")
Q_LOGGING_CATEGORY(lcLesson, "tellavo.lesson")
Q_LOGGING_CATEGORY(lcOutput, "tellavo.output")
Q_LOGGING_CATEGORY(lcApp, "tellavo.app")

namespace {

QFile *g_logFile = nullptr;
QtMessageHandler g_previous = nullptr;
QMutex g_logMutex;

const char *levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return "debug";
    case QtInfoMsg:
        return "info";
    case QtWarningMsg:
        return "warning";
    case QtCriticalMsg:
        return "critical";
    case QtFatalMsg:
        return "fatal";
    }
    return "?";
}

void writeToLogFile(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    {
        QMutexLocker lock(&g_logMutex);
        if (g_logFile) {
            const QString line =
                QStringLiteral("%1 %2 %3: %4\n")
                    .arg(QDateTime::currentDateTime().toString(Qt::ISODateWithMs),
                         QLatin1String(levelName(type)),
                         QLatin1String(context.category ? context.category : "default"), message);
            g_logFile->write(line.toUtf8());
            g_logFile->flush();
        }
    }
    if (g_previous)
        g_previous(type, context, message);
}

} // namespace

QString CurrentExceptionText() {
    try {
        throw;
    } catch (const AppError &error) {
        return error.message();
    } catch (const SilentAbort &) {
        return QStringLiteral("silent abort");
    } catch (const std::exception &error) {
        return QString::fromLocal8Bit(error.what());
    } catch (...) {
        return QStringLiteral("unknown exception");
    }
}

bool StartLogFile(const QString &path) {
    if (path.isEmpty())
        return true;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    QMutexLocker lock(&g_logMutex);
    delete g_logFile;
    g_logFile = file.release();
    if (!g_previous)
        g_previous = qInstallMessageHandler(writeToLogFile);
    return true;
}
