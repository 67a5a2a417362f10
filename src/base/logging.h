#pragma once

#include <QLoggingCategory>
#include <QString>

// Log categories, one per source folder. The on-screen texts are fixed; the log carries the
// technical reason (transport errors, statuses, faults caught on the way) for the school's
// administrator. Turn them up with QT_LOGGING_RULES="tellavo.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcBase)
Q_DECLARE_LOGGING_CATEGORY(lcNet)
Q_DECLARE_LOGGING_CATEGORY(lcData)
Q_DECLARE_LOGGING_CATEGORY(lcGrid)
Q_DECLARE_LOGGING_CATEGORY(lcScreens)
Q_DECLARE_LOGGING_CATEGORY(lcLesson)
Q_DECLARE_LOGGING_CATEGORY(lcOutput)
Q_DECLARE_LOGGING_CATEGORY(lcApp)

// The message of the exception being handled, for use inside a catch block: the text of an
// AppError or std::exception, "silent abort", or "unknown exception".
QString CurrentExceptionText();

// Sends every log message, with a time stamp and its category, to the file as well (appended,
// UTF-8). An empty path does nothing. Gives false when the file cannot be opened.
bool StartLogFile(const QString &path);
// The environment variable that names a log file when the command line does not.
inline constexpr char kLogFileVariable[] = "TELLAVO_LOG";
