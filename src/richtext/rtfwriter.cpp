#include "richtext/rtfwriter.h"

#include "richtext/rtfcodepage.h"

#include <QColor>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// The character properties as written; a new run writes only what changed.
struct RunState {
    bool bold = false, italic = false, underline = false, strike = false;
    int valign = 0;
    int font = -1, halfPoints = -1, foreground = 0, background = 0;
};

// Fonts and colours of the document, numbered as the tables list them.
struct Tables {
    QStringList fonts;
    QList<QColor> colors; // index 0 is the automatic colour
    int fontIndex(const QString &family) {
        qsizetype at = fonts.indexOf(family);
        if (at < 0) {
            fonts.append(family);
            at = fonts.size() - 1;
        }
        return int(at);
    }
    int colorIndex(const QBrush &brush) {
        if (brush.style() == Qt::NoBrush)
            return 0;
        const QColor color = brush.color().toRgb();
        for (qsizetype i = 1; i < colors.size(); ++i)
            if (colors[i].rgb() == color.rgb())
                return int(i);
        colors.append(color);
        return int(colors.size() - 1);
    }
};

QString familyOf(const QTextCharFormat &format, const QString &fallback) {
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() || families[0].isEmpty() ? fallback : families[0];
}

RunState stateOf(const QTextCharFormat &f, const QFont &base, Tables &tables) {
    RunState s;
    s.bold = f.fontWeight() >= QFont::DemiBold;
    s.italic = f.fontItalic();
    s.underline = f.fontUnderline();
    s.strike = f.fontStrikeOut();
    s.valign = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
               : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2
                                                                          : 0;
    s.font = tables.fontIndex(familyOf(f, base.family()));
    const qreal points = f.fontPointSize() > 0   ? f.fontPointSize()
                         : base.pointSizeF() > 0 ? base.pointSizeF()
                                                 : 12.0;
    s.halfPoints = qBound(1, qRound(points * 2), 3276);
    s.foreground = tables.colorIndex(f.foreground());
    s.background = tables.colorIndex(f.background());
    return s;
}

void flag(QByteArray &out, bool now, bool before, const char *on, const char *off) {
    if (now != before)
        out += now ? on : off;
}

void number(QByteArray &out, int now, int before, const char *word) {
    if (now != before)
        out += word + QByteArray::number(now);
}

// The control words that turn the run state "from" into "to"; a blank ends them.
QByteArray changes(const RunState &from, const RunState &to) {
    QByteArray out;
    flag(out, to.bold, from.bold, "\\b", "\\b0");
    flag(out, to.italic, from.italic, "\\i", "\\i0");
    flag(out, to.underline, from.underline, "\\ul", "\\ulnone");
    flag(out, to.strike, from.strike, "\\strike", "\\strike0");
    if (to.valign != from.valign)
        out += to.valign == 1 ? "\\super" : to.valign == 2 ? "\\sub" : "\\nosupersub";
    number(out, to.font, from.font, "\\f");
    number(out, to.halfPoints, from.halfPoints, "\\fs");
    number(out, to.foreground, from.foreground, "\\cf");
    number(out, to.background, from.background, "\\highlight");
    if (!out.isEmpty())
        out += ' ';
    return out;
}

QByteArray hexEscape(int byte) {
    static const char digits[] = "0123456789abcdef";
    return QByteArray("\\'") + digits[byte >> 4] + digits[byte & 15];
}

QByteArray escaped(QStringView text, int codePage) {
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t ch = c.unicode();
        if (ch == u'\\' || ch == u'{' || ch == u'}') {
            out += '\\';
            out += char(ch);
        } else if (ch == u'\t') {
            out += "\\tab ";
        } else if (ch == 0x2028) {
            out += "\\line ";
        } else if (ch == 0x00A0) {
            out += "\\~";
        } else if (ch == 0x00AD) {
            out += "\\-";
        } else if (ch == 0x2011) {
            out += "\\_";
        } else if (ch < 0x20 || ch == 0x7F || ch == 0xFFFC) {
            continue; // control characters and embedded objects have no text
        } else if (ch < 0x80) {
            out += char(ch);
        } else if (const int byte = RtfCodePage::encodeChar(ch, codePage); byte >= 0) {
            out += hexEscape(byte);
        } else {
            out += "\\u" + QByteArray::number(qint16(ch)) + '?';
        }
    }
    return out;
}

// The paragraph's alignment, indents and spacing (pixels at 96 per inch, 15 twips each).
QByteArray paragraphWords(const QTextBlockFormat &format) {
    QByteArray out = "\\pard";
    const Qt::Alignment alignment = format.alignment();
    if (alignment & Qt::AlignHCenter)
        out += "\\qc";
    else if (alignment & Qt::AlignJustify)
        out += "\\qj";
    else if (alignment & Qt::AlignRight)
        out += "\\qr";
    const auto distance = [&out](const char *word, qreal pixels) {
        const int twips = qBound(-31680, qRound(pixels * 15), 31680);
        if (twips != 0)
            out += word + QByteArray::number(twips);
    };
    distance("\\li", format.leftMargin());
    distance("\\ri", format.rightMargin());
    distance("\\fi", format.textIndent());
    distance("\\sb", format.topMargin());
    distance("\\sa", format.bottomMargin());
    return out;
}

QByteArray body(const QTextDocument &document, int codePage, Tables &tables) {
    const QFont base = document.defaultFont();
    tables.fonts.append(base.family());
    tables.colors.append(QColor());
    QByteArray out;
    RunState current;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += paragraphWords(block.blockFormat());
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const RunState next = stateOf(fragment.charFormat(), base, tables);
            QByteArray words = changes(current, next);
            if (words.isEmpty() && empty)
                words = " ";
            out += words + escaped(fragment.text(), codePage);
            current = next;
            empty = false;
        }
        if (empty) {
            const RunState next = stateOf(block.charFormat(), base, tables);
            out += changes(current, next);
            current = next;
        }
        out += "\\par\r\n";
    }
    return out;
}

} // namespace

QByteArray RtfWriter::write(const QTextDocument &document, int codePage) {
    Tables tables;
    const QByteArray text = body(document, codePage, tables);
    QByteArray out = "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(codePage) + "\\deff0";
    out += "{\\fonttbl";
    const QByteArray charset = QByteArray::number(RtfCodePage::charsetOf(codePage));
    for (qsizetype i = 0; i < tables.fonts.size(); ++i) {
        QString family = tables.fonts[i];
        family.remove(u';');
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + charset + ' ' +
               escaped(family, codePage) + ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (qsizetype i = 1; i < tables.colors.size(); ++i) {
        const QColor &c = tables.colors[i];
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) +
               "\\blue" + QByteArray::number(c.blue()) + ';';
    }
    out += "}\r\n\\viewkind4\\uc1\r\n" + text + "}\r\n";
    return out;
}
