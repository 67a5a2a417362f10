#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The text of an iCalendar document built line by line: values escaped as TEXT (backslash,
// semicolon, comma, line breaks), control characters dropped, every line folded at 75 octets
// without splitting a UTF-8 sequence, CR LF line ends.
class IcsText {
public:
    // A property with a value written as it is (dates, numbers, names of the format).
    void raw(const char *name, const QByteArray &value);
    // A property with a TEXT value, escaped.
    void text(const char *name, const QString &value);
    // A date-time in the named zone ("DTSTART;TZID=Europe/Prague:20261214T090000").
    void zoned(const char *name, const QString &zone, const QDateTime &wall);
    // A date-time in UTC ("...Z").
    void utc(const char *name, const QDateTime &moment);
    void begin(const char *component) { raw("BEGIN", component); }
    void end(const char *component) { raw("END", component); }

    const QByteArray &bytes() const { return m_out; }

    static QByteArray Escape(const QString &value);
    static QByteArray Fold(const QByteArray &line);

private:
    QByteArray m_out;
};
