#pragma once

#include <QString>
#include <exception>
#include <utility>

// An error raised by an operation; its message is shown to the user in an error box.
class AppError : public std::exception {
public:
    explicit AppError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// An operation cancelled silently: it ends the current action and shows nothing.
class SilentAbort : public std::exception {
public:
    const char *what() const noexcept override { return "operation cancelled"; }
};
