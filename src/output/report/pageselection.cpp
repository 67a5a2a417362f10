#include "output/report/pageselection.h"

#include <QStringList>
#include <algorithm>

QList<int> ParsePageSelection(const QString &text, int pageCount) {
    QList<int> pages;
    for (const QString &rawPart : text.split(u',', Qt::SkipEmptyParts)) {
        const QString part = rawPart.trimmed();
        const qsizetype dash = part.indexOf(u'-');
        bool okFrom = true, okTo = true;
        int from = 0, to = 0;
        if (dash < 0) {
            from = to = part.toInt(&okFrom);
        } else {
            const QString left = part.left(dash).trimmed(), right = part.mid(dash + 1).trimmed();
            from = left.isEmpty() ? 1 : left.toInt(&okFrom);
            to = right.isEmpty() ? pageCount : right.toInt(&okTo);
        }
        if (!okFrom || !okTo)
            continue;
        from = std::max(from, 1);
        to = std::min(to, pageCount);
        for (int page = from; page <= to; ++page)
            pages.append(page);
    }
    return pages;
}
