#include "screens/timetable/icalendarwriter.h"

namespace {

constexpr int kLineOctets = 75;

bool continuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

TICalendarWriter::TICalendarWriter(QTimeZone schoolZone) : m_zone(std::move(schoolZone)) {
    if (!m_zone.isValid())
        m_zone = QTimeZone::utc();
}

QTimeZone TICalendarWriter::SchoolTimeZone() {
    return QTimeZone(QByteArrayLiteral("Europe/Prague"));
}

QDateTime TICalendarWriter::SchoolTimeToUtc(QDate date, QTime time) const {
    // The wall clock read as if it were UTC, then moved back by the zone's offset at that
    // instant; a second pass settles the offset near a change of time.
    const QDateTime wall(date, time.isValid() ? time : QTime(0, 0), QTimeZone::utc());
    QDateTime utc = wall.addSecs(-m_zone.offsetFromUtc(wall));
    utc = wall.addSecs(-m_zone.offsetFromUtc(utc));
    return utc;
}

QString TICalendarWriter::EscapeText(const QString &text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c.unicode() < 0x20 && c != u'\t') {
            continue; // other control characters are not allowed in a text value
        } else {
            out += c;
        }
    }
    return out;
}

QByteArray TICalendarWriter::UtcStamp(const QDateTime &value) {
    return value.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1();
}

QByteArray TICalendarWriter::FoldLine(const QByteArray &line) {
    QByteArray out;
    qsizetype pos = 0;
    int room = kLineOctets;
    while (line.size() - pos > room) {
        qsizetype cut = pos + room;
        while (cut > pos && continuationByte(line[cut]))
            --cut;
        out += line.mid(pos, cut - pos);
        out += "\r\n ";
        pos = cut;
        room = kLineOctets - 1; // the leading space counts
    }
    out += line.mid(pos);
    out += "\r\n";
    return out;
}

QByteArray TICalendarWriter::Write(const QList<TCalendarEvent> &events,
                                   const QDateTime &stamp) const {
    QByteArray out;
    const auto line = [&out](const QByteArray &text) { out += FoldLine(text); };
    const auto textLine = [&line](const char *name, const QString &value) {
        line(QByteArray(name) + ':' + EscapeText(value).toUtf8());
    };
    line("BEGIN:VCALENDAR");
    line("VERSION:2.0");
    line("PRODID:-//Tellavo//Tellavo//CS");
    line("CALSCALE:GREGORIAN");
    line("METHOD:PUBLISH");
    const QByteArray stamped = UtcStamp(stamp);
    for (const TCalendarEvent &event : events) {
        line("BEGIN:VEVENT");
        textLine("UID", event.uid);
        line("DTSTAMP:" + stamped);
        const QDateTime start = SchoolTimeToUtc(event.start.date(), event.start.time());
        // An end the caller could not compute (it fell into the machine's own skipped hour)
        // still gives an event: it lasts an hour.
        const QDateTime end = event.end.date().isValid()
                                  ? SchoolTimeToUtc(event.end.date(), event.end.time())
                                  : start.addSecs(3600);
        line("DTSTART:" + UtcStamp(start));
        line("DTEND:" + UtcStamp(end));
        textLine("SUMMARY", event.summary);
        if (!event.description.isEmpty())
            textLine("DESCRIPTION", event.description);
        line("END:VEVENT");
    }
    line("END:VCALENDAR");
    return out;
}
