#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>

class QTextDocument;

// The look of the lesson chat's history: Arial 8 points; each message is headed by a line
// with the writer's name and the time (grey, 7 points, bold italic), and its lines follow in
// 8 points regular, black when sent and purple when received.
class ChatStyle {
public:
    static QFont historyFont();
    static QTextCharFormat headerFormat();
    static QTextCharFormat lineFormat(bool received);
    // Adds a header line and the message's lines at the end of the document.
    static void appendMessage(QTextDocument &document, const QString &header,
                              const QStringList &lines, bool received);
};
