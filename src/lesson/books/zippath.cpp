#include "lesson/books/zippath.h"

#include <QStringList>

QString ZipTargetPath(const QString &storedName) {
    QString name = storedName;
    name.replace(u'\\', u'/');
    const qsizetype drive = name.indexOf(u":/");
    if (drive >= 0)
        name.remove(0, drive + 2);
    if (name.startsWith(u'/') || name.contains(QChar(0)))
        return {};
    QStringList parts;
    for (const QString &part : name.split(u'/', Qt::SkipEmptyParts)) {
        if (part == u"..")
            return {};
        if (part != u".")
            parts.append(part);
    }
    return parts.join(u'/');
}
