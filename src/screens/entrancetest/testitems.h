#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One item of the entrance test: a sentence with a gap and the answers offered for the gap.
// The correct answer's text ends with a blank (invisible in the list); an item has at most one.
struct TestItem {
    QString before; // the sentence up to the gap
    QString after;  // the sentence after the gap
    QStringList answers;
};

// The entrance test's items as the program ships them: a UTF-8 text file with one item a
// line, "sentence with ___ | answer | answer | ...", the correct answer marked by a leading
// "*"; blank lines and lines starting with "#" are comments.
class TestItems {
public:
    static constexpr int ItemCount = 40;
    static constexpr int AnswerCount = 4;
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    // Reads the items; on failure returns no items and says why in error (for the log).
    static QList<TestItem> Load(const QString &path, QString &error);
    static QList<TestItem> Parse(const QString &text, QString &error);
    // Whether the answer text is marked as the correct one.
    static bool IsCorrect(const QString &answer) { return answer.endsWith(u' '); }
};
