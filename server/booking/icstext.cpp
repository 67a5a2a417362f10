#include "server/booking/icstext.h"

void IcsText::raw(const char *name, const QByteArray &value) {
    m_out += Fold(QByteArray(name) + ':' + value);
}

void IcsText::text(const char *name, const QString &value) {
    raw(name, Escape(value));
}

void IcsText::zoned(const char *name, const QString &zone, const QDateTime &wall) {
    // A zone name is the server's own; anything that would end the parameter is dropped.
    QByteArray id = zone.toUtf8();
    id.removeIf([](char c) { return c == ':' || c == ';' || c == '"' || uchar(c) < 0x20; });
    m_out += Fold(QByteArray(name) + ";TZID=" + id + ':' +
                  wall.toString(QStringLiteral("yyyyMMdd'T'HHmmss")).toLatin1());
}

void IcsText::utc(const char *name, const QDateTime &moment) {
    raw(name, moment.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toLatin1());
}

QByteArray IcsText::Escape(const QString &value) {
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\' || c == u';' || c == u',') {
            out += u'\\';
            out += c;
        } else if (c == u'\r') {
            if (i + 1 < value.size() && value[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == u'\n' || c == QChar(0x2028) || c == QChar(0x2029)) {
            out += QStringLiteral("\\n");
        } else if (c.unicode() >= 0x20 && c.unicode() != 0x7f) {
            out += c;
        }
    }
    return out.toUtf8();
}

QByteArray IcsText::Fold(const QByteArray &line) {
    QByteArray out;
    qsizetype at = 0;
    int room = 75; // octets on the first line; later lines begin with a blank
    while (line.size() - at > room) {
        qsizetype cut = at + room;
        while (cut > at && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut; // never inside a UTF-8 sequence
        out += line.mid(at, cut - at) + "\r\n ";
        at = cut;
        room = 74;
    }
    return out + line.mid(at) + "\r\n";
}
