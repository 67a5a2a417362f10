#include "screens/entrancetest/testitems.h"

#include <QFile>

namespace {

constexpr QStringView kGap = u"___";

bool parseLine(const QString &line, TestItem &item, QString &error) {
    const QStringList fields = line.split(u'|');
    if (fields.size() != 1 + TestItems::AnswerCount) {
        error = QStringLiteral("%1 answers instead of %2")
                    .arg(fields.size() - 1)
                    .arg(TestItems::AnswerCount);
        return false;
    }
    const QString sentence = fields[0].trimmed();
    const qsizetype gap = sentence.indexOf(kGap);
    if (gap < 0 || sentence.indexOf(kGap, gap + kGap.size()) >= 0) {
        error = QStringLiteral("the sentence needs exactly one gap ___");
        return false;
    }
    item.before = sentence.left(gap);
    item.after = sentence.mid(gap + kGap.size());
    int marked = 0;
    for (qsizetype i = 1; i < fields.size(); ++i) {
        QString answer = fields[i].trimmed();
        if (answer.startsWith(u'*')) {
            answer = answer.mid(1).trimmed() + u' ';
            ++marked;
        }
        if (answer.trimmed().isEmpty()) {
            error = QStringLiteral("an empty answer");
            return false;
        }
        item.answers.append(answer);
    }
    if (marked > 1) {
        error = QStringLiteral("more than one answer is marked");
        return false;
    }
    return true;
}

} // namespace

QList<TestItem> TestItems::Parse(const QString &text, QString &error) {
    QList<TestItem> items;
    const QStringList lines = text.split(u'\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        TestItem item;
        if (!parseLine(line, item, error)) {
            error = QStringLiteral("line %1: %2").arg(n + 1).arg(error);
            return {};
        }
        items.append(item);
    }
    if (items.size() != ItemCount) {
        error = QStringLiteral("%1 items instead of %2").arg(items.size()).arg(ItemCount);
        return {};
    }
    return items;
}

QList<TestItem> TestItems::Load(const QString &path, QString &error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return {};
    }
    if (file.size() > MaxFileSize) {
        error = QStringLiteral("the file is larger than %1 bytes").arg(MaxFileSize);
        return {};
    }
    return Parse(QString::fromUtf8(file.readAll()), error);
}
