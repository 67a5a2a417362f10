#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>

// One event of a calendar file. Start and end are the school's wall-clock times: their date
// and time of day are read in the school's time zone, whatever zone the values carry.
struct TCalendarEvent {
    QString uid;
    QDateTime start, end;
    QString summary;
    QString description;
};

// Writes events as an iCalendar file: UTF-8, CRLF line ends, lines folded before 75 octets
// (never inside a character), text values escaped, start, end and stamp in UTC. Lesson times
// are converted from the school's zone, so a calendar in any zone shows them right.
class TICalendarWriter {
public:
    explicit TICalendarWriter(QTimeZone schoolZone = SchoolTimeZone());

    // The school's zone when the server names none.
    static QTimeZone SchoolTimeZone();

    QByteArray Write(const QList<TCalendarEvent> &events, const QDateTime &stamp) const;

    // A text value with backslash, semicolon, comma and line breaks escaped.
    static QString EscapeText(const QString &text);
    // A date-time in UTC in the form 20260305T140000Z.
    static QByteArray UtcStamp(const QDateTime &value);
    // A wall-clock time of the school as that instant in UTC. A time in the hour skipped in
    // spring counts as the same time after the change (02:30 is 03:30 summer time); a time
    // of the hour repeated in autumn as its second, standard-time occurrence.
    QDateTime SchoolTimeToUtc(QDate date, QTime time) const;
    // One content line folded to at most 75 octets per line, each ending in CRLF.
    static QByteArray FoldLine(const QByteArray &line);

private:
    QTimeZone m_zone;
};
