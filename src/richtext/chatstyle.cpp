#include "richtext/chatstyle.h"

#include <QTextCursor>
#include <QTextDocument>

namespace {

QTextCharFormat baseFormat(qreal points) {
    QTextCharFormat f;
    f.setFontFamilies(QStringList{QStringLiteral("Arial")});
    f.setFontPointSize(points);
    return f;
}

} // namespace

QFont ChatStyle::historyFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(8);
    return font;
}

QTextCharFormat ChatStyle::headerFormat() {
    QTextCharFormat f = baseFormat(7);
    f.setFontWeight(QFont::Bold);
    f.setFontItalic(true);
    f.setForeground(QColor(128, 128, 128));
    return f;
}

QTextCharFormat ChatStyle::lineFormat(bool received) {
    QTextCharFormat f = baseFormat(8);
    f.setForeground(received ? QColor(128, 0, 128) : QColor(0, 0, 0));
    return f;
}

void ChatStyle::appendMessage(QTextDocument &document, const QString &header,
                              const QStringList &lines, bool received) {
    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    const bool empty = document.isEmpty();
    QStringList all{header};
    all += lines;
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QTextCharFormat format = i == 0 ? headerFormat() : lineFormat(received);
        if (i > 0 || !empty)
            cursor.insertBlock(QTextBlockFormat(), format);
        else
            cursor.setBlockCharFormat(format);
        cursor.insertText(all[i], format);
    }
}
