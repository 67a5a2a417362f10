#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// One event of a calendar file.
struct TCalendarEvent {
    QString uid;
    QDateTime start, end;
    QString summary;
    QString description;
};

// Writes events as an iCalendar file: UTF-8, CRLF line ends, lines folded before 75 octets
// (never inside a character), text values escaped, start, end and stamp in UTC.
class TICalendarWriter {
public:
    QByteArray Write(const QList<TCalendarEvent> &events, const QDateTime &stamp) const;

    // A text value with backslash, semicolon, comma and line breaks escaped.
    static QString EscapeText(const QString &text);
    // A date-time in UTC in the form 20260305T140000Z.
    static QByteArray UtcStamp(const QDateTime &value);
    // One content line folded to at most 75 octets per line, each ending in CRLF.
    static QByteArray FoldLine(const QByteArray &line);
};
