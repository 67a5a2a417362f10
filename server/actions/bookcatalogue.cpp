#include "server/actions/bookcatalogue.h"

#include "server/store/schooldatabase.h"

QString CatalogueVersion(SchoolDatabase &db) {
    return db
        .scalar(QStringLiteral("SELECT VALUE FROM SERVERINFO WHERE NAME = ?"),
                {QStringLiteral("BooksVersion")})
        .toString();
}

QStringList CatalogueLines(SchoolDatabase &db, const QString &clientVersion) {
    bool known = false;
    const qint64 since = clientVersion.toLongLong(&known);
    const qint64 current = CatalogueVersion(db).toLongLong();
    if (since > current)
        known = false;
    QStringList books;
    QStringList deleted;
    QSqlQuery q = db.run(QStringLiteral("SELECT IDBOOK, NAME, LESSONS, AUDIOPAGES, AUDIONAMES,"
                                        " VERSION FROM BOOKS ORDER BY IDBOOK"));
    int count = 0;
    while (q.next()) {
        const QString n = q.value(0).toString();
        count = qMax(count, q.value(0).toInt());
        books << QStringLiteral("Name") + n + QLatin1Char('=') + q.value(1).toString()
              << QStringLiteral("Lessons") + n + QLatin1Char('=') + q.value(2).toString()
              << QStringLiteral("Audiopages") + n + QLatin1Char('=') + q.value(3).toString()
              << QStringLiteral("Audionames") + n + QLatin1Char('=') + q.value(4).toString();
        if (!known || q.value(5).toLongLong() > since)
            deleted << n;
    }
    QStringList lines{QStringLiteral("BooksVersion=") + CatalogueVersion(db)};
    if (!deleted.isEmpty())
        lines << QStringLiteral("DeleteBooks=") + deleted.join(QLatin1Char(';'));
    lines << QStringLiteral("Books=") + QString::number(count);
    return lines + books;
}

bool MayUseBook(int userType, const QString &bookIds, int book) {
    if (bookIds.isEmpty())
        return userType != 4;
    return (QLatin1Char(';') + bookIds + QLatin1Char(';'))
        .contains(QLatin1Char(';') + QString::number(book) + QLatin1Char(';'));
}
