#include "screens/profile/bookids.h"

#include <QStringList>

bool BookListed(const QString &bookIds, int book) {
    const QString listed = u';' + bookIds + u';';
    return listed.contains(u';' + QString::number(book) + u';');
}

QString JoinBookIds(const QList<int> &books) {
    QStringList parts;
    for (int book : books)
        parts << QString::number(book);
    return parts.join(u';');
}
