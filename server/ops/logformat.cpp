#include "server/ops/logformat.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <cstdio>

namespace {

thread_local const LogFields::Fields *t_fields = nullptr;
std::atomic<bool> g_json{false};

QString LevelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("debug");
    case QtInfoMsg:
        return QStringLiteral("info");
    case QtWarningMsg:
        return QStringLiteral("warning");
    case QtCriticalMsg:
        return QStringLiteral("critical");
    case QtFatalMsg:
        return QStringLiteral("fatal");
    }
    return QStringLiteral("info");
}

void WriteLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message) {
    const QString category = QString::fromLatin1(context.category ? context.category : "default");
    const QByteArray line =
        (g_json ? JsonLogLine(LevelName(type), category, message, t_fields)
                : TextLogLine(category, message)) +
        '\n';
    // One write per line, so lines of several threads never mix.
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

LogFields::LogFields(Fields fields) : m_fields(std::move(fields)), m_outer(t_fields) {
    t_fields = &m_fields;
}

LogFields::~LogFields() {
    t_fields = m_outer;
}

const LogFields::Fields *LogFields::current() {
    return t_fields;
}

QByteArray JsonLogLine(const QString &level, const QString &category, const QString &message,
                       const LogFields::Fields *fields) {
    QJsonObject object{
        {QStringLiteral("time"),
         QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs)},
        {QStringLiteral("level"), level},
        {QStringLiteral("category"), category},
        {QStringLiteral("message"), message},
    };
    if (fields)
        for (const auto &[name, value] : *fields)
            object.insert(name, value);
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QByteArray TextLogLine(const QString &category, const QString &message) {
    QByteArray text = category.toUtf8() + ": ";
    for (const char c : message.toUtf8()) {
        if (uchar(c) < 0x20 || c == 0x7f || c == '\\')
            text += c == '\\' ? QByteArray("\\\\")
                              : "\\x" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        else
            text += c;
    }
    return text;
}

void InstallServerLog(LogFormat format) {
    g_json = format == LogFormat::Json;
    qInstallMessageHandler(WriteLogLine);
}
