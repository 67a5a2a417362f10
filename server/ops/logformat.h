#pragma once

#include <QList>
#include <QString>
#include <utility>

// The server's log on standard error, one line per message whatever the message holds: text
// lines ("category: message", control characters written as \xNN, so a name with a line feed
// cannot forge a line of its own) or JSON lines (time, level, category, message, and the
// fields of a structured line).
enum class LogFormat { Text, Json };
void InstallServerLog(LogFormat format);

// The named fields of the lines this thread logs while it lives: JSON lines carry them as
// fields of their own beside the message.
class LogFields {
public:
    using Fields = QList<std::pair<QString, QString>>;
    explicit LogFields(Fields fields);
    ~LogFields();
    LogFields(const LogFields &) = delete;
    LogFields &operator=(const LogFields &) = delete;
    static const Fields *current();

private:
    Fields m_fields;
    const Fields *m_outer;
};

// One message as a JSON line (without the line feed), as the JSON format writes it.
QByteArray JsonLogLine(const QString &level, const QString &category, const QString &message,
                       const LogFields::Fields *fields);
// One message as a text line, control characters escaped.
QByteArray TextLogLine(const QString &category, const QString &message);
